#include "render/primitives.h"
#include "render/heading_tape.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int32_t kPixelsPerDegree = 2;
constexpr int32_t kLabelEvery = 15;  // degrees between labels and major ticks
constexpr int32_t kMinorEvery = 3;   // degrees between minor ticks
constexpr int32_t kNamedEvery = 45;  // labels shown by compass name
constexpr float kEmPerHeight = 0.4f; // label size from the tape's height
constexpr float kTickPenWidth = 2.0f;
// The layout box a label is measured in, in ems.
constexpr float kLabelBoxWidthEms = 6.0f;
constexpr float kLabelBoxHeightEms = 2.0f;

const char* const kCompassNames[8] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};

// Draws the label of `degree` with its measured box centred on px and its top at y; returns the
// measured width (0 when the font could not be made and nothing was drawn).
float DrawLabel(gfx::Graphics& g, const gfx::Font& font, const gfx::SolidBrush& brush,
                int32_t degree, float px, float y, float emSize) {
    if (!font.Valid()) return 0;
    char text[8];
    TapeLabel(degree, text, sizeof text);
    std::u16string wide = gfx::AnsiToUtf16(text);
    gfx::RectF box;
    g.MeasureString(wide, font, {0, 0, kLabelBoxWidthEms * emSize, kLabelBoxHeightEms * emSize},
                    nullptr, &box);
    // A layout box without size starts the text at the measured box's left edge and can never
    // wrap or clip the label.
    g.DrawString(wide, font, {px - box.width / 2, y, 0, 0}, nullptr, brush);
    return box.width;
}

} // namespace

int32_t FirstTapeDegree(int32_t heading, int32_t width) {
    // A full modulo rather than one correction, so any stored width and any heading give a
    // degree in 0..359 (and the heading is reduced first so the difference cannot overflow).
    int32_t n = (heading % 360 - width / 4) % 360;
    return n < 0 ? n + 360 : n;
}

void TapeLabel(int32_t degree, char* text, std::size_t size) {
    if (degree % kNamedEvery == 0 && degree >= 0 && degree < 360)
        std::snprintf(text, size, "%s", kCompassNames[degree / kNamedEvery]);
    else
        std::snprintf(text, size, "%03d", int(degree));
}

void DrawHeadingTape(GaugeDisplay& display, const SkinRecord& skin, int32_t heading) {
    const GaugeRecord& record = KindRecord(skin, kKindHorizVantrel);
    const int32_t x = record.x;
    const int32_t y = record.y;
    const int32_t width = record.paramA;
    const int32_t height = record.paramB;
    const float emSize = float(height) * kEmPerHeight;

    const gfx::Font& font = KindScaleFont(display, kKindHorizVantrel, record, emSize);
    gfx::SolidBrush brush(record.color);
    gfx::Pen pen(record.color, kTickPenWidth);
    gfx::Graphics& g = display.graphics;
    const float bottom = float(y + height);
    const float majorTop = float(y + height - height / 2); // H/2 long, standing on the bottom
    const float minorTop = float(y + height - height / 4);

    // The ticks go down together, one call for all those before each label, since under Wine
    // every wide line is a path of its own to fill; the labels still come between them in the
    // order a tick-by-tick drawing has, so a label overlaps the same ticks.
    const int32_t maxTicks = width / (kPixelsPerDegree * kMinorEvery) + 2;
    std::vector<gfx::PointF> ticks;
    std::vector<int32_t> twos;
    ticks.reserve(std::size_t(2 * maxTicks));
    auto drawTicks = [&] {
        if (ticks.empty()) return;
        twos.assign(ticks.size() / 2, 2);
        g.DrawLineRuns(pen, ticks.data(), twos.data(), int32_t(twos.size()));
        ticks.clear();
    };
    int32_t n = FirstTapeDegree(heading, width);
    float labelWidth = 0; // of the last label drawn
    for (int32_t px = x; px < x + width; px += kPixelsPerDegree) {
        if (n >= 360) n -= 360;
        const float fx = float(px);
        if (n % kLabelEvery == 0) {
            ticks.push_back({fx, majorTop});
            ticks.push_back({fx, bottom});
            drawTicks();
            labelWidth = DrawLabel(g, font, brush, n, fx, float(y), emSize);
        } else if (n % kMinorEvery == 0) {
            ticks.push_back({fx, minorTop});
            ticks.push_back({fx, bottom});
        }
        ++n;
    }
    drawTicks();
    display.hitRects[kKindHorizVantrel] = {int32_t(float(x) - labelWidth / 2), y,
                                           int32_t(float(x + width) + labelWidth / 2), y + height};
}

void DrawHeadingTapeEntry(GaugeDisplay& display, SkinRecord& skin, int32_t heading) {
    DrawHeadingTape(display, skin, heading);
}
