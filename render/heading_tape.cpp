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

// A label to draw: its text, measured box and where it goes.
struct PlacedLabel {
    std::u16string text;
    gfx::RectF box; // at its place on the frame
    int32_t ticksBefore = 0;
};

// Measures the label of `degree` and places its box centred on px with its top at y.
PlacedLabel PlaceLabel(gfx::Graphics& g, const gfx::Font& font, int32_t degree, float px, float y,
                       float emSize) {
    char text[8];
    TapeLabel(degree, text, sizeof text);
    PlacedLabel label;
    label.text = gfx::AnsiToUtf16(text);
    gfx::RectF box;
    g.MeasureString(label.text, font,
                    {0, 0, kLabelBoxWidthEms * emSize, kLabelBoxHeightEms * emSize}, nullptr, &box);
    label.box = {px - box.width / 2, y, box.width, box.height};
    return label;
}

// Whether a label's box (with a pixel of anti-aliasing) keeps clear of every tick drawn after
// it: then the order of labels and ticks decides no pixel.
bool ClearOfLaterTicks(const PlacedLabel& label, const std::vector<gfx::PointF>& ticks) {
    const float left = label.box.x - 1 - kTickPenWidth / 2;
    const float right = label.box.x + label.box.width + 1 + kTickPenWidth / 2;
    const float bottom = label.box.y + label.box.height + 1;
    for (std::size_t t = std::size_t(label.ticksBefore) * 2; t < ticks.size(); t += 2)
        if (ticks[t].x > left && ticks[t].x < right && ticks[t].y < bottom) return false;
    return true;
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

    std::vector<gfx::PointF> ticks;
    std::vector<PlacedLabel> labels;
    ticks.reserve(std::size_t(2 * (width / (kPixelsPerDegree * kMinorEvery) + 2)));
    int32_t n = FirstTapeDegree(heading, width);
    for (int32_t px = x; px < x + width; px += kPixelsPerDegree) {
        if (n >= 360) n -= 360;
        const float fx = float(px);
        if (n % kLabelEvery == 0) {
            ticks.push_back({fx, majorTop});
            ticks.push_back({fx, bottom});
            if (font.Valid()) {
                labels.push_back(PlaceLabel(g, font, n, fx, float(y), emSize));
                labels.back().ticksBefore = int32_t(ticks.size() / 2);
            }
        } else if (n % kMinorEvery == 0) {
            ticks.push_back({fx, minorTop});
            ticks.push_back({fx, bottom});
        }
        ++n;
    }

    // The ticks go down in as few calls as the labels allow, since under Wine every wide line
    // is a path of its own to fill: all at once when no label reaches a tick to its right,
    // otherwise those before each label in one call, so that every label overlaps the same
    // ticks as in a tick-by-tick drawing.
    bool apart = true;
    for (const PlacedLabel& label : labels)
        apart = apart && ClearOfLaterTicks(label, ticks);
    std::vector<int32_t> twos(ticks.size() / 2, 2);
    int32_t drawn = 0;
    auto drawTicksUpTo = [&](int32_t end) {
        if (end <= drawn) return;
        g.DrawLineRuns(pen, ticks.data() + 2 * drawn, twos.data(), end - drawn);
        drawn = end;
    };
    if (apart) drawTicksUpTo(int32_t(twos.size()));
    for (const PlacedLabel& label : labels) {
        drawTicksUpTo(label.ticksBefore);
        // A layout box without size starts the text at the measured box's left edge and can
        // never wrap or clip the label.
        g.DrawString(label.text, font, {label.box.x, label.box.y, 0, 0}, nullptr, brush);
    }
    drawTicksUpTo(int32_t(twos.size()));
    const float labelWidth = labels.empty() ? 0.0f : labels.back().box.width; // of the last
    display.hitRects[kKindHorizVantrel] = {int32_t(float(x) - labelWidth / 2), y,
                                           int32_t(float(x + width) + labelWidth / 2), y + height};
}

void DrawHeadingTapeEntry(GaugeDisplay& display, SkinRecord& skin, int32_t heading) {
    DrawHeadingTape(display, skin, heading);
}
