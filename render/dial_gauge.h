// The circular dial of the analog gauge kinds (styles 0 to 3 and 8): a scale arc with ticks and
// numbers in steps of 5 value units, and a needle (image or polygon) or an arc bar in the needle
// colour of kind 20.
#pragma once

#include <cstdint>

#include "render/gauge_display.h"
#include "render/gauge_renderers.h"
#include "render/gdiplus.h"
#include "state/skin_record.h"

// What a dial is drawn with; the styles differ only in these.
struct DialArgs {
    float value = 0;
    int32_t kind = 0;
    int32_t halfSweep = 0; // the caller's default; the companion's "Sweep" overrides it
    bool signedScale = false;
    float startValue = 0;
    bool noScale = false;
    int32_t centreAngle = 0; // degrees clockwise from twelve o'clock
    bool arcBar = false;
    bool showIndicator = true;
};

// The dial's frame: angles in degrees clockwise from twelve o'clock.
struct DialGeometry {
    int32_t h = 0;  // half the diameter
    int32_t cx = 0; // centre
    int32_t cy = 0;
    int32_t halfSweep = 0; // after the companion's "Sweep"
    int32_t firstAngle = 0;
    int32_t lastAngle = 0;
    bool reversed = false; // numbers and indicator run counter-clockwise
};

// How the scale is stepped: steps of 5 value units from step i0, K degrees apart.
struct DialSteps {
    int32_t stepsToTop = 0;
    int32_t firstStep = 0; // i0
    float stepAngle = 0;   // K
    float fontSize = 0;    // em size of the numbers, also the spacing's pixel estimate
    int32_t tickInterval = 1;
    int32_t numberInterval = 1;
};

DialGeometry DialGeometryOf(const SkinRecord& skin, const DialArgs& args);
DialSteps DialStepsOf(const GaugeRecord& record, const DialGeometry& dial, const DialArgs& args);

// The indicator's travel K in degrees from the scale's start (halved on a signed scale) and its
// angle L, normalised into 0 to 360.
struct DialIndicator {
    float travel = 0;
    float angle = 0;
};
DialIndicator DialIndicatorOf(const GaugeRecord& record, const DialGeometry& dial,
                              const DialArgs& args);

// Draws the dial of args.kind into the back buffer and records its hit rectangle. A "Size"
// (paramB) of 0 draws nothing and leaves the hit rectangle alone.
void DrawDialGauge(GaugeDisplay& display, SkinRecord& skin, const DialArgs& args);

// The composer's entry for the dial styles 0 to 3 and 8; other styles draw nothing.
void DrawDialStyle(GaugeDisplay& display, SkinRecord& skin, const StyledGauge& gauge);
