// The straight-scale analog gauge (styles 4 to 7, 9 and 10): a horizontal or vertical scale with
// major and minor ticks and numbers, and a bar in the needle colour of kind 20 or a sliding
// marker image (GaugeH / GaugeV); or a moving tape re-labelled around the current value.
#pragma once

#include <cstdint>

#include "render/gauge_display.h"
#include "render/gauge_renderers.h"
#include "state/skin_record.h"

// What a linear gauge is drawn with; the styles differ only in these.
struct LinearArgs {
    float value = 0;
    int32_t kind = 0;
    bool signedScale = false;
    float startValue = 0;
    bool vertical = false;
    bool drawScale = true;
    bool drawIndicator = true;
    bool scroll = false; // the moving tape: a vertical scale slides with the value
};

// The scale's quantities from the record (integers, as the scale counts pixels and values).
struct LinearScale {
    int32_t length = 0; // L, paramB
    int32_t thick = 1;  // L / 10, at least 1
    int32_t start = 0;  // whole start value of the numbers
    int64_t span = 1;   // values the scale covers, at least 1
};

LinearScale LinearScaleOf(const GaugeRecord& record, const LinearArgs& args);

// The indicator's position in pixels from the low end (from the middle on a signed scale),
// held within the scale.
int32_t LinearPosition(const LinearScale& scale, const LinearArgs& args);

// The number interval Q for a sample text of the measured size (width and height already grown
// by 2); 0 when the scale is too short to hold one number (then no scale is drawn).
int64_t LinearNumberInterval(const LinearScale& scale, const LinearArgs& args, float sampleWidth,
                             float sampleHeight);

// Draws the gauge of args.kind into the back buffer and records its hit rectangle.
void DrawLinearGauge(GaugeDisplay& display, SkinRecord& skin, const LinearArgs& args);

// The composer's entry for the styles 4 to 7, 9 and 10; other styles draw nothing.
void DrawLinearStyle(GaugeDisplay& display, SkinRecord& skin, const StyledGauge& gauge);
