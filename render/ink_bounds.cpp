#include "render/ink_bounds.h"

#include <algorithm>
#include <cmath>

#include "render/gdiplus.h"

namespace gfx {

namespace {

constexpr double kAntiAliasing = 1.0;  // a smoothed edge reaches one pixel further
constexpr double kLineHeightEms = 1.5; // higher than any line of a text font
constexpr double kPaddingEms = 0.5;    // GDI+ pads a text by about a sixth of an em each side
constexpr double kMeasuredOverhangEms = 0.25; // past a measured box, see MeasuredText
constexpr double kPi = 3.14159265358979323846;
// Past this the box only says "everywhere": keeps the arithmetic finite on absurd input.
constexpr double kFar = 1e7;
constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr double kPixelsPerInch = 96.0;
// GDI+ mitres a join up to ten half widths out before it bevels it.
constexpr float kMiterReach = 5.0f;

double Limit(double v) {
    if (std::isnan(v)) return 0;
    return std::min(std::max(v, -kFar), kFar);
}

} // namespace

constexpr uint64_t kDigestStart = 1469598103934665603ull; // FNV-1a
constexpr uint64_t kDigestPrime = 1099511628211ull;

void InkBounds::Begin() {
    any_ = false;
    everything_ = false;
    digest_ = kDigestStart;
}

void InkBounds::Mix(const void* bytes, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < size; ++i)
        digest_ = (digest_ ^ p[i]) * kDigestPrime;
}

void InkBounds::MixState() {
    // A clip that was lifted says nothing, whatever its bounds were.
    const double clip[4] = {clipLeft_, clipTop_, clipRight_, clipBottom_};
    const double state[7] = {m11_, m12_, m21_, m22_, dx_, dy_, clipped_ ? 1.0 : 0.0};
    Mix(state, sizeof state);
    if (clipped_) Mix(clip, sizeof clip);
}

bool InkBounds::End(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom) {
    if (!any_) return false;
    double l = everything_ ? -kFar : left_;
    double t = everything_ ? -kFar : top_;
    double r = everything_ ? kFar : right_;
    double b = everything_ ? kFar : bottom_;
    if (clipped_) {
        l = std::max(l, clipLeft_);
        t = std::max(t, clipTop_);
        r = std::min(r, clipRight_);
        b = std::min(b, clipBottom_);
        if (l >= r || t >= b) return false;
    }
    *left = int32_t(std::floor(l));
    *top = int32_t(std::floor(t));
    *right = int32_t(std::ceil(r));
    *bottom = int32_t(std::ceil(b));
    return true;
}

namespace {

struct Affine {
    double m11, m12, m21, m22, dx, dy;
};

// a then b, row vectors as GDI+ keeps them.
Affine Then(const Affine& a, const Affine& b) {
    return {a.m11 * b.m11 + a.m12 * b.m21,      a.m11 * b.m12 + a.m12 * b.m22,
            a.m21 * b.m11 + a.m22 * b.m21,      a.m21 * b.m12 + a.m22 * b.m22,
            a.dx * b.m11 + a.dy * b.m21 + b.dx, a.dx * b.m12 + a.dy * b.m22 + b.dy};
}

} // namespace

#define INK_COMBINE(step, order)                                                                   \
    do {                                                                                           \
        Affine world{m11_, m12_, m21_, m22_, dx_, dy_};                                            \
        Affine next = (order) == MatrixOrder::Prepend ? Then(step, world) : Then(world, step);     \
        m11_ = next.m11;                                                                           \
        m12_ = next.m12;                                                                           \
        m21_ = next.m21;                                                                           \
        m22_ = next.m22;                                                                           \
        dx_ = next.dx;                                                                             \
        dy_ = next.dy;                                                                             \
    } while (false)

void InkBounds::Translate(float dx, float dy, MatrixOrder order) {
    Affine step{1, 0, 0, 1, dx, dy};
    INK_COMBINE(step, order);
}

void InkBounds::Rotate(float degrees, MatrixOrder order) {
    double t = double(degrees) * kPi / 180.0;
    Affine step{std::cos(t), std::sin(t), -std::sin(t), std::cos(t), 0, 0};
    INK_COMBINE(step, order);
}

void InkBounds::Scale(float sx, float sy, MatrixOrder order) {
    Affine step{sx, 0, 0, sy, 0, 0};
    INK_COMBINE(step, order);
}

#undef INK_COMBINE

void InkBounds::Transform(double out[6]) const {
    out[0] = m11_;
    out[1] = m12_;
    out[2] = m21_;
    out[3] = m22_;
    out[4] = dx_;
    out[5] = dy_;
}

void InkBounds::ResetTransform() {
    m11_ = 1;
    m12_ = 0;
    m21_ = 0;
    m22_ = 1;
    dx_ = 0;
    dy_ = 0;
}

void InkBounds::Clip(const RectF& b, CombineMode mode) {
    double l = Limit(b.x), t = Limit(b.y);
    double r = Limit(double(b.x) + b.width), bottom = Limit(double(b.y) + b.height);
    switch (mode) {
    case CombineMode::Replace:
        clipped_ = true;
        clipLeft_ = l, clipTop_ = t, clipRight_ = r, clipBottom_ = bottom;
        break;
    case CombineMode::Intersect:
        if (!clipped_) {
            clipped_ = true;
            clipLeft_ = l, clipTop_ = t, clipRight_ = r, clipBottom_ = bottom;
        } else {
            clipLeft_ = std::max(clipLeft_, l);
            clipTop_ = std::max(clipTop_, t);
            clipRight_ = std::min(clipRight_, r);
            clipBottom_ = std::min(clipBottom_, bottom);
        }
        break;
    default: // a union, a difference or an exclusion reach at most as far as both together
        if (clipped_) {
            clipLeft_ = std::min(clipLeft_, l);
            clipTop_ = std::min(clipTop_, t);
            clipRight_ = std::max(clipRight_, r);
            clipBottom_ = std::max(clipBottom_, bottom);
        }
        break;
    }
}

void InkBounds::ResetClip() {
    clipped_ = false;
}

void InkBounds::AddDevice(double l, double t, double r, double b) {
    l = Limit(l - kAntiAliasing);
    t = Limit(t - kAntiAliasing);
    r = Limit(r + kAntiAliasing);
    b = Limit(b + kAntiAliasing);
    if (!any_) {
        any_ = true;
        left_ = l, top_ = t, right_ = r, bottom_ = b;
        return;
    }
    left_ = std::min(left_, l);
    top_ = std::min(top_, t);
    right_ = std::max(right_, r);
    bottom_ = std::max(bottom_, b);
}

void InkBounds::Box(const RectF& box, float grow) {
    double x0 = double(box.x) - grow, y0 = double(box.y) - grow;
    double x1 = double(box.x) + box.width + grow, y1 = double(box.y) + box.height + grow;
    if (x1 < x0) std::swap(x0, x1);
    if (y1 < y0) std::swap(y0, y1);
    const double xs[4] = {x0, x1, x0, x1};
    const double ys[4] = {y0, y0, y1, y1};
    double l = kFar, t = kFar, r = -kFar, b = -kFar;
    for (int i = 0; i < 4; ++i) {
        double x = xs[i] * m11_ + ys[i] * m21_ + dx_;
        double y = xs[i] * m12_ + ys[i] * m22_ + dy_;
        l = std::min(l, x), r = std::max(r, x);
        t = std::min(t, y), b = std::max(b, y);
    }
    AddDevice(l, t, r, b);
}

void InkBounds::Points(const PointF* points, int32_t count, float grow) {
    if (points == nullptr || count <= 0) return;
    double l = kFar, t = kFar, r = -kFar, b = -kFar;
    for (int32_t i = 0; i < count; ++i) {
        double x = Limit(points[i].x), y = Limit(points[i].y);
        l = std::min(l, x), r = std::max(r, x);
        t = std::min(t, y), b = std::max(b, y);
    }
    Box({float(l), float(t), float(r - l), float(b - t)}, grow);
}

namespace {

// Where a line of ink `width` x `height` lies in its layout, `pad` added on every side: at the
// layout's left, centre or right (a layout without size is a point, all three at once), and
// likewise its top, middle or bottom; GDI+ clips a text to a layout box that has a size.
bool PlaceText(const RectF& layout, StringAlignment alignment, StringAlignment lineAlignment,
               double width, double height, double pad, RectF* box) {
    auto place = [](double origin, double extent, double ink, StringAlignment a) {
        switch (a) {
        case StringAlignment::Center:
            return origin + extent / 2 - ink / 2;
        case StringAlignment::Far:
            return origin + extent - ink;
        default:
            return origin;
        }
    };
    const bool sized = layout.width > 0 && layout.height > 0;
    const double w = sized ? double(layout.width) : 0;
    const double h = sized ? double(layout.height) : 0;
    double x0 = place(layout.x, w, width, alignment) - pad;
    double y0 = place(layout.y, h, height, lineAlignment) - pad;
    double x1 = x0 + width + 2 * pad;
    double y1 = y0 + height + 2 * pad;
    if (sized) {
        x0 = std::max(x0, double(layout.x));
        y0 = std::max(y0, double(layout.y));
        x1 = std::min(x1, double(layout.x) + layout.width);
        y1 = std::min(y1, double(layout.y) + layout.height);
        if (x0 >= x1 || y0 >= y1) return false;
    }
    *box = {float(x0), float(y0), float(x1 - x0), float(y1 - y0)};
    return true;
}

} // namespace

void InkBounds::Text(const RectF& layout, StringAlignment alignment, StringAlignment lineAlignment,
                     float emPixels, int32_t characters) {
    if (characters <= 0) return;
    const double em = std::fabs(double(emPixels));
    RectF box;
    if (PlaceText(layout, alignment, lineAlignment, double(characters) * em, kLineHeightEms * em,
                  kPaddingEms * em + 1, &box))
        Box(box, 0);
}

void InkBounds::MeasuredText(const RectF& layout, StringAlignment alignment,
                             StringAlignment lineAlignment, float emPixels, float width,
                             float height) {
    // The measured box holds GDI+'s own padding; a glyph may still overhang it a little (Wine's
    // far alignment puts the last one up to a sixth of the line past it).
    const double pad = kMeasuredOverhangEms * std::fabs(double(emPixels)) + 1;
    RectF box;
    if (PlaceText(layout, alignment, lineAlignment, width, height, pad, &box)) Box(box, 0);
}

void InkBounds::Everything() {
    any_ = true;
    everything_ = true;
}

float EmPixelsOf(float emSize, Unit unit) {
    switch (unit) {
    case Unit::Point:
        return float(double(emSize) * kPixelsPerPoint);
    case Unit::Inch:
        return float(double(emSize) * kPixelsPerInch);
    default:
        return emSize;
    }
}

RectF BoundsOf(const PointF* points, int32_t count) {
    if (points == nullptr || count <= 0) return {};
    float l = points[0].x, t = points[0].y, r = l, b = t;
    for (int32_t i = 1; i < count; ++i) {
        l = std::min(l, points[i].x), r = std::max(r, points[i].x);
        t = std::min(t, points[i].y), b = std::max(b, points[i].y);
    }
    return {l, t, r - l, b - t};
}

float JoinReach(const Pen& pen) {
    return kMiterReach * pen.Width();
}

void InkLine(InkBounds& ink, const Pen& pen, const PointF* from, const PointF* to) {
    const PointF ends[2] = {*from, *to};
    // A square cap reaches a half width past the end, diagonally at most this far.
    ink.Points(ends, 2, pen.Width() * 0.7072f);
}

int32_t InkRuns(InkBounds& ink, const Pen& pen, const PointF* points, const int32_t* counts,
                int32_t runs) {
    int32_t total = 0;
    for (int32_t r = 0; r < runs; ++r) {
        const PointF* run = points + total;
        // A run of two points is a line with caps and no join.
        if (counts[r] == 2)
            InkLine(ink, pen, &run[0], &run[1]);
        else
            ink.Points(run, counts[r], JoinReach(pen));
        total += counts[r];
    }
    return total;
}

void GraphicsPath::Include(const RectF& box) {
    if (!hasBounds_) {
        bounds_ = box;
        hasBounds_ = true;
        return;
    }
    float l = std::min(bounds_.x, box.x), t = std::min(bounds_.y, box.y);
    float r = std::max(bounds_.x + bounds_.width, box.x + box.width);
    float b = std::max(bounds_.y + bounds_.height, box.y + box.height);
    bounds_ = {l, t, r - l, b - t};
}

void Region::CombineBounds(const RectF& box, CombineMode mode) {
    if (mode == CombineMode::Replace) {
        bounds_ = box;
        return;
    }
    if (mode == CombineMode::Intersect) {
        float l = std::max(bounds_.x, box.x), t = std::max(bounds_.y, box.y);
        float r = std::min(bounds_.x + bounds_.width, box.x + box.width);
        float b = std::min(bounds_.y + bounds_.height, box.y + box.height);
        bounds_ = {l, t, std::max(r - l, 0.0f), std::max(b - t, 0.0f)};
        return;
    }
    if (mode == CombineMode::Exclude) return; // takes away only
    float l = std::min(bounds_.x, box.x), t = std::min(bounds_.y, box.y);
    float r = std::max(bounds_.x + bounds_.width, box.x + box.width);
    float b = std::max(bounds_.y + bounds_.height, box.y + box.height);
    bounds_ = {l, t, r - l, b - t};
}

bool Graphics::Sketch(int32_t op, Argb color, float width, const float* numbers, int32_t count,
                      const void* extra, std::size_t extraSize) {
    ink_.Mix(&op, sizeof op);
    ink_.Mix(&color, sizeof color);
    ink_.Mix(&width, sizeof width);
    if (numbers != nullptr && count > 0) ink_.Mix(numbers, sizeof(float) * std::size_t(count));
    if (extra != nullptr) ink_.Mix(extra, extraSize);
    ink_.MixState();
    return probe_;
}

bool Graphics::SketchText(const std::u16string& text, const Font& font, const RectF& layout,
                          const StringFormat* format, const SolidBrush& brush) {
    const void* handle = font.Handle();
    const float emPixels = font.EmPixels();
    const int32_t alignment[2] = {format ? int32_t(format->Alignment()) : -1,
                                  format ? int32_t(format->LineAlignment()) : -1};
    ink_.Mix(&handle, sizeof handle);
    ink_.Mix(&emPixels, sizeof emPixels);
    ink_.Mix(alignment, sizeof alignment);
    return Sketch(kSketchDrawString, brush.Color(), 0, &layout.x, 4, text.data(),
                  text.size() * sizeof(char16_t));
}

void Graphics::NoteMeasure(const std::u16string& text, const Font& font, const RectF& layout,
                           const RectF& bounds) const {
    // A measure that the layout box cut short says nothing of the whole text's size.
    const bool cut = (layout.width > 0 && bounds.width >= layout.width - 0.5f) ||
                     (layout.height > 0 && bounds.height >= layout.height - 0.5f);
    NotedMeasure& noted = noted_[notedNext_];
    notedNext_ = (notedNext_ + 1) % kNotedMeasures;
    noted.font = cut ? nullptr : font.Handle();
    noted.text = text;
    noted.bounds = bounds;
}

void Graphics::InkText(const std::u16string& text, const Font& font, const RectF& layout,
                       const StringFormat* format) {
    const StringAlignment alignment = format ? format->Alignment() : StringAlignment::Near;
    const StringAlignment line = format ? format->LineAlignment() : StringAlignment::Near;
    // Newest first: a text measured again in the same font goes by its last measure.
    for (int back = 1; back <= kNotedMeasures; ++back) {
        const NotedMeasure& noted = noted_[(notedNext_ - back + kNotedMeasures) % kNotedMeasures];
        if (noted.text != text || noted.font != font.Handle()) continue;
        if (noted.font == nullptr || !(noted.bounds.width > 0 && noted.bounds.height > 0)) break;
        ink_.MeasuredText(layout, alignment, line, font.EmPixels(), noted.bounds.width,
                          noted.bounds.height);
        return;
    }
    ink_.Text(layout, alignment, line, font.EmPixels(), int32_t(text.size()));
}

} // namespace gfx
