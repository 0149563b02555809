#include "render/primitives.h"
#include "render/heading_tape.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "render/scale_marks.h"

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

// Measures the label of `degree` and adds it centred on px with its top at y.
void AddLabel(ScaleMarks& marks, gfx::Graphics& g, const gfx::Font& font, int32_t degree, float px,
              float y, float emSize) {
    char text[8];
    TapeLabel(degree, text, sizeof text);
    std::u16string wide = gfx::AnsiToUtf16(text);
    gfx::RectF box;
    g.MeasureString(wide, font, {0, 0, kLabelBoxWidthEms * emSize, kLabelBoxHeightEms * emSize},
                    nullptr, &box);
    // A layout box without size starts the text at the measured box's left edge and can never
    // wrap or clip the label.
    const gfx::PointF at{px - box.width / 2, y};
    marks.AddNumber(std::move(wide), at, {at.x, at.y, box.width, box.height});
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

    ScaleMarks marks;
    int32_t n = FirstTapeDegree(heading, width);
    for (int32_t px = x; px < x + width; px += kPixelsPerDegree) {
        if (n >= 360) n -= 360;
        const float fx = float(px);
        if (n % kLabelEvery == 0) {
            marks.AddTick({fx, majorTop}, {fx, bottom});
            if (font.Valid()) AddLabel(marks, g, font, n, fx, float(y), emSize);
        } else if (n % kMinorEvery == 0) {
            marks.AddTick({fx, minorTop}, {fx, bottom});
        }
        ++n;
    }
    DrawScaleMarks(g, pen, font, brush, marks);
    // Widened by half the last label on each side.
    const float labelWidth = marks.numbers.empty() ? 0.0f : marks.numbers.back().ink.width;
    display.hitRects[kKindHorizVantrel] = {int32_t(float(x) - labelWidth / 2), y,
                                           int32_t(float(x + width) + labelWidth / 2), y + height};
}

void DrawHeadingTapeEntry(GaugeDisplay& display, SkinRecord& skin, int32_t heading) {
    DrawHeadingTape(display, skin, heading);
}
