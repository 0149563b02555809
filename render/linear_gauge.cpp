#include "render/primitives.h"
#include "render/linear_gauge.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "render/dial_gauge.h"
#include "render/gauge_text.h"

namespace {

constexpr float kFontPerLength = 0.09f;
constexpr char16_t kSampleNumber[] = u"012"; // sizes the number interval
constexpr float kTextRoom = 2;               // added to the sample's measured size
constexpr int32_t kHitMargin = 10;
constexpr float kTickPenWidth = 1.0f;
// Start values beyond this come only from garbled feeds; within it every number fits an int.
constexpr int32_t kStartLimit = 1000000000;

struct ScaleText {
    gfx::Graphics& graphics;
    const gfx::Font& font;
    gfx::RectF layout; // the measuring box of every number
    gfx::RectF Measure(const std::u16string& text) const {
        gfx::RectF box;
        graphics.MeasureString(text, font, layout, nullptr, &box);
        return box;
    }
};

std::string ScaleNumber(const LinearScale& scale, const LinearArgs& args, int64_t u) {
    char text[32];
    if (args.signedScale)
        std::snprintf(text, sizeof text, "%s%lld", u > 0 ? "+" : "", (long long)u);
    else
        std::snprintf(text, sizeof text, "%lld", (long long)(scale.start + u));
    return text;
}

// One value mark: a major tick with its number, or a minor tick. `at` is the pixel along the
// scale (x of a horizontal scale, y of a vertical one), `base` the baseline across it.
void DrawMark(const ScaleText& text, const gfx::Pen& pen, const gfx::SolidBrush& brush,
              const LinearScale& scale, const LinearArgs& args, int64_t at, int32_t base, int64_t u,
              int64_t q) {
    float along = float(at);
    float from = float(base);
    bool major = u % q == 0;
    if (!major && u % (q / 2) != 0) return;
    float to = from + float(major ? scale.thick / 3 : scale.thick / 5);
    if (args.vertical)
        text.graphics.DrawLine(pen, {from, along}, {to, along});
    else
        text.graphics.DrawLine(pen, {along, from}, {along, to});
    if (!major) return;

    std::u16string number = gfx::AnsiToUtf16(ScaleNumber(scale, args, u).c_str());
    gfx::RectF box = text.Measure(number);
    float beside = from + float(scale.thick / 3 + 1);
    gfx::RectF place = args.vertical ? gfx::RectF{beside, along - box.height / 2, 0, 0}
                                     : gfx::RectF{along - box.width / 2, beside, 0, 0};
    text.graphics.DrawString(number, text.font, place, nullptr, brush);
}

// The scale value offset of pixel step k.
int64_t StepValue(const LinearScale& scale, const LinearArgs& args, int64_t k) {
    int64_t l = scale.length;
    if (args.signedScale) return ((k - l / 2) * scale.span / l) * 2;
    return (k * scale.span) / l;
}

void DrawScale(GaugeDisplay& display, const GaugeRecord& record, const LinearScale& scale,
               const LinearArgs& args) {
    float em = float(scale.length) * kFontPerLength;
    ScaleText text{
        display.graphics, KindScaleFont(display, args.kind, record, em), {0, 0, 6 * em, 2 * em}};
    gfx::RectF sample = text.Measure(kSampleNumber);
    int64_t q =
        LinearNumberInterval(scale, args, sample.width + kTextRoom, sample.height + kTextRoom);
    if (q == 0) return; // too short for a single number: no scale

    bool marker = display.images[args.vertical ? kImageGaugeV : kImageGaugeH].Valid();
    int32_t base = (args.vertical ? record.x : record.y) + (marker ? 0 : scale.thick);
    int64_t offset = 0;
    if (args.vertical && args.scroll) {
        // The lift repeats every q pixels for negative values as for positive ones; a negative
        // remainder would push the scale below the gauge.
        offset = int64_t(TruncateToInt(float(q) * args.value)) % q;
        if (offset < 0) offset += q;
    }

    gfx::Pen pen(record.color, kTickPenWidth);
    gfx::SolidBrush brush(record.color);
    int64_t bottom = int64_t(record.y) + scale.length - offset;
    int64_t steps = args.vertical ? bottom - record.y : scale.length;
    int64_t previous = 0;
    for (int64_t k = 0; k <= steps; ++k) {
        int64_t u = StepValue(scale, args, k);
        if (k > 0 && u == previous) continue;
        previous = u;
        int64_t at = args.vertical ? bottom - k : int64_t(record.x) + k;
        DrawMark(text, pen, brush, scale, args, at, base, u, q);
    }
}

RectI32 ScaleHitRect(const GaugeRecord& record, const LinearScale& scale, bool vertical) {
    int32_t x = record.x, y = record.y, l = scale.length, t = scale.thick;
    if (vertical) return {x - t, y - kHitMargin, x - t + 2 * l + kHitMargin, y + l + kHitMargin};
    return {x - kHitMargin, y + t, x + l + kHitMargin, y + 3 * t + kHitMargin};
}

void DrawVerticalIndicator(GaugeDisplay& display, const gfx::SolidBrush& needle,
                           const GaugeRecord& record, const LinearScale& scale,
                           const LinearArgs& args, int32_t pos, RectI32& hit) {
    int32_t x = record.x, y = record.y, l = scale.length;
    const gfx::Image& image = display.images[kImageGaugeV];
    if (image.Valid()) {
        int32_t w = int32_t(image.Width()), h = int32_t(image.Height());
        int32_t top = (args.signedScale ? y + l / 2 : y + l) - pos - h / 2;
        display.graphics.DrawImage(image, {float(x), float(top), float(w), float(h)},
                                   {0, 0, float(w), float(h)}, gfx::Unit::Pixel);
        hit.right = x + w;
        hit.bottom = y + h / 2 + l;
        // A tall marker at full scale reaches above the usual margin; repaint all of it.
        hit.top = std::min(hit.top, y - h / 2);
        return;
    }
    if (pos == 0) pos = 1;
    float t = float(scale.thick);
    if (args.signedScale)
        display.graphics.FillRectangle(
            needle, {float(x), float(y + l / 2 - std::max(pos, 0)), t, float(std::abs(pos))});
    else
        display.graphics.FillRectangle(needle, {float(x), float(y + l - pos), t, float(pos)});
    hit.right = x + scale.thick + 1;
}

void DrawHorizontalIndicator(GaugeDisplay& display, const gfx::SolidBrush& needle,
                             const GaugeRecord& record, const LinearScale& scale,
                             const LinearArgs& args, int32_t pos, RectI32& hit) {
    int32_t x = record.x, y = record.y, l = scale.length;
    const gfx::Image& image = display.images[kImageGaugeH];
    if (image.Valid()) {
        int32_t w = int32_t(image.Width()), h = int32_t(image.Height());
        int32_t left = (args.signedScale ? x + l / 2 : x) + pos - w / 2;
        display.graphics.DrawImage(image, {float(left), float(y), float(w), float(h)},
                                   {0, 0, float(w), float(h)}, gfx::Unit::Pixel);
        hit.left -= w / 2;
        hit.right = x + l + w / 2;
        hit.bottom = y + h;
        hit.top = y; // the marker's top edge is y, above the scale's rectangle
        return;
    }
    if (pos == 0) pos = 1;
    float t = float(scale.thick);
    if (args.signedScale)
        display.graphics.FillRectangle(
            needle, {float(x + l / 2 + std::min(pos, 0)), float(y), float(std::abs(pos)), t});
    else
        display.graphics.FillRectangle(needle, {float(x), float(y), float(pos), t});
    hit.top = y;
    hit.right = x + l + 1;
    hit.bottom = y + scale.thick + 1;
}

} // namespace

LinearScale LinearScaleOf(const GaugeRecord& record, const LinearArgs& args) {
    LinearScale scale;
    scale.length = record.paramB;
    scale.thick = std::max(scale.length / 10, 1);
    int64_t range = record.paramA == 0 ? 1 : record.paramA;
    scale.start = std::clamp(TruncateToInt(args.startValue), -kStartLimit, kStartLimit);
    bool movingTape = args.drawScale && !args.drawIndicator;
    scale.span = std::max<int64_t>(movingTape ? range : range - scale.start, 1);
    return scale;
}

int32_t LinearPosition(const LinearScale& scale, const LinearArgs& args) {
    float travel = (args.value - args.startValue) * float(scale.length + 1) / float(scale.span);
    int32_t pos = TruncateToInt(travel); // NaN gives 0, infinities the int limits
    if (args.signedScale) return std::clamp(pos / 2, -(scale.length / 2), scale.length / 2);
    return std::clamp(pos, 0, scale.length);
}

int64_t LinearNumberInterval(const LinearScale& scale, const LinearArgs& args, float sampleWidth,
                             float sampleHeight) {
    float across = args.vertical ? sampleHeight : sampleWidth;
    int64_t m = across > 0 ? TruncateToInt(float(scale.length) / across) : 0;
    if (m <= 0) return 0;
    int64_t n = (args.signedScale ? 2 * scale.span : scale.span) / m;
    int64_t q = ((n + 5) / 10) * 10;
    return q == 0 ? 10 : q;
}

void DrawLinearGauge(GaugeDisplay& display, SkinRecord& skin, const LinearArgs& args) {
    if (args.kind < 0 || args.kind >= kGaugeKindCount) return;
    const GaugeRecord& record = KindRecord(skin, args.kind);
    LinearScale scale = LinearScaleOf(record, args);
    int32_t pos = LinearPosition(scale, args);
    // The frame cache holds the scale of a gauge whose scale stands still; the cache's own pass
    // draws nothing else.
    const bool scaleCached =
        display.layer == DrawLayer::MovingParts && display.cache.cached[args.kind];
    if (args.drawScale && !scaleCached) DrawScale(display, record, scale, args);
    if (display.layer == DrawLayer::StaticParts) return;

    RectI32 hit = ScaleHitRect(record, scale, args.vertical);
    if (args.drawIndicator) {
        gfx::SolidBrush needle(KindRecord(skin, kKindNeedleColor).color);
        if (args.vertical)
            DrawVerticalIndicator(display, needle, record, scale, args, pos, hit);
        else
            DrawHorizontalIndicator(display, needle, record, scale, args, pos, hit);
    }
    display.hitRects[args.kind] = hit;
}

void DrawLinearStyle(GaugeDisplay& display, SkinRecord& skin, const StyledGauge& gauge) {
    if (gauge.kind < 0 || gauge.kind >= kGaugeKindCount) return;
    LinearArgs args;
    args.value = gauge.value;
    args.kind = gauge.kind;
    args.signedScale = gauge.signedScale;
    args.startValue = gauge.startValue;
    args.vertical = gauge.style == 6 || gauge.style == 7 || gauge.style == 10;
    switch (gauge.style) {
    case 4:
    case 6:
        break;
    case 5:
    case 7:
        args.drawScale = false;
        break;
    case 9:
    case 10: {
        // The moving tape: the scale is re-labelled around the value, half its range below it.
        int32_t half = KindRecord(skin, gauge.kind).paramA / 2;
        args.startValue = gauge.value - float(half);
        args.drawIndicator = false;
        args.scroll = true;
        break;
    }
    default:
        return;
    }
    DrawLinearGauge(display, skin, args);
}
