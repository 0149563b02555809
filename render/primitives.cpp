#include "render/primitives.h"

#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr float kPi = 3.1415927f;    // single precision, as the needle arithmetic has always used
constexpr float kNeedleTurn = 1.56f; // turns "0 = right" into "0 = up", almost
constexpr char kFallbackFontName[] = "Arial";
constexpr uint16_t kFallbackFontSize = 20;
// The hit rectangle of a rotated image reaches this far beyond half its height.
constexpr int32_t kRotatedImageMargin = 10;

bool Finite(float v) {
    return std::isfinite(v);
}

// Builds the kind's font; repairs an empty name and a zero size in the record first.
gfx::Font BuildKindFont(GaugeRecord& record) {
    if (record.fontName[0] == '\0')
        std::memcpy(record.fontName, kFallbackFontName, sizeof(kFallbackFontName));
    if (record.paramA == 0) record.paramA = kFallbackFontSize;

    return RecordFont(record, float(record.paramA));
}

} // namespace

gfx::Font RecordFont(const GaugeRecord& record, float emSize) {
    // A stored name may fill all 64 bytes without a terminator.
    char name[kFontNameSize + 1] = {};
    std::memcpy(name, record.fontName, kFontNameSize);
    gfx::FontFamily family(gfx::AnsiToUtf16(name));
    if (!family.Valid()) family = gfx::FontFamily::GenericSansSerif();
    gfx::Font font(family, emSize, gfx::FontStyle::Regular, gfx::Unit::Point);
    if (!font.Valid()) {
        gfx::FontFamily generic = gfx::FontFamily::GenericSansSerif();
        font = gfx::Font(generic, emSize, gfx::FontStyle::Regular, gfx::Unit::Point);
    }
    return font;
}

const gfx::Font& KindScaleFont(GaugeDisplay& display, int kind, const GaugeRecord& record,
                               float emSize) {
    GaugeDisplay::ScaleFont& cached = display.scaleFonts[kind];
    if (!cached.font || cached.emSize != emSize ||
        std::memcmp(cached.name, record.fontName, kFontNameSize) != 0) {
        cached.font = RecordFont(record, emSize);
        cached.emSize = emSize;
        std::memcpy(cached.name, record.fontName, kFontNameSize);
    }
    return *cached.font;
}

NeedleTriangle PolygonNeedleCorners(int32_t x, int32_t y, float length, float halfWidth,
                                    float angle, float unitsPerHalfTurn) {
    float t = kPi * angle / unitsPerHalfTurn;
    float half = unitsPerHalfTurn / 2;
    float t1 = kPi * (angle + half) / unitsPerHalfTurn;
    float t2 = kPi * (angle - half) / unitsPerHalfTurn;
    float fx = float(x);
    float fy = float(y);
    NeedleTriangle n;
    n.tip = {fx + length * std::cos(t - kNeedleTurn), fy + length * std::sin(t - kNeedleTurn)};
    n.base1 = {fx + halfWidth * std::cos(t1 - kNeedleTurn),
               fy + halfWidth * std::sin(t1 - kNeedleTurn)};
    n.base2 = {fx + halfWidth * std::cos(t2 - kNeedleTurn),
               fy + halfWidth * std::sin(t2 - kNeedleTurn)};
    return n;
}

void DrawRotatedImage(GaugeDisplay& display, const gfx::Image& image, int32_t x, int32_t y,
                      float angle, float scale, int kind) {
    if (angle < 0) angle += 360;
    if (angle > 360) angle -= 360;
    float w = float(image.Width());
    float h = float(image.Height());
    gfx::Graphics& g = display.graphics;
    if (Finite(angle) && Finite(scale)) {
        g.TranslateTransform(float(x), float(y), gfx::MatrixOrder::Prepend);
        g.RotateTransform(angle, gfx::MatrixOrder::Prepend);
        g.DrawImage(image, {-w * scale / 2, -h * scale / 2, w * scale, h * scale}, {0, 0, w, h},
                    gfx::Unit::Pixel);
        g.ResetTransform();
    }
    if (kind >= 0 && kind < kGaugeKindCount) {
        int32_t r = int32_t(image.Height()) / 2 + kRotatedImageMargin;
        display.hitRects[kind] = {x - r, y - r, x + r, y + r};
    }
}

void DrawPolygonNeedle(gfx::Graphics& graphics, int32_t x, int32_t y, float length, float halfWidth,
                       float angle, float unitsPerHalfTurn, gfx::Argb color) {
    if (!Finite(length) || !Finite(halfWidth) || !Finite(angle) || !Finite(unitsPerHalfTurn) ||
        unitsPerHalfTurn == 0)
        return;
    NeedleTriangle n = PolygonNeedleCorners(x, y, length, halfWidth, angle, unitsPerHalfTurn);
    gfx::PointF corners[3] = {n.tip, n.base1, n.base2};
    gfx::SolidBrush brush(color);
    graphics.FillPolygon(brush, corners, 3, gfx::FillMode::Alternate);
    graphics.FillEllipse(
        brush, {float(x) - halfWidth, float(y) - halfWidth, 2 * halfWidth, 2 * halfWidth});
}

void DrawGaugeText(GaugeDisplay& display, SkinRecord& skin, int kind, const char* text) {
    if (kind < 0 || kind >= kGaugeKindCount || text == nullptr) return;
    GaugeRecord& record = KindRecord(skin, kind);
    std::optional<gfx::Font>& font = display.textFonts[kind];
    if (!font) font = BuildKindFont(record);
    if (!font->Valid()) return;

    std::u16string wide = gfx::AnsiToUtf16(text);
    float n = float(wide.size());
    float s = float(record.paramA);
    gfx::RectF box;
    display.graphics.MeasureString(wide, *font, {0, 0, n * s * 2, s * 2}, nullptr, &box);

    gfx::SolidBrush brush(record.color);
    gfx::StringFormat format(0, 0);
    format.SetAlignment(gfx::StringAlignment::Far);
    // A layout box without size: far alignment ends the text at x + W, so it begins at about x.
    float x = float(record.x);
    float y = float(record.y);
    display.graphics.DrawString(wide, *font, {x + box.width, y, 0, 0}, &format, brush);

    display.hitRects[kind] = {record.x, record.y, record.x + int32_t(box.width),
                              record.y + int32_t(box.height)};
}
