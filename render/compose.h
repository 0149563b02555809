// The frame composer: draws one complete frame of the cluster into the back buffer (black,
// background, every shown gauge kind in index order, the heading-rose needle last) and then
// invalidates what changed. The main window calls Compose on the frame timer after the gauge
// value computation, when a value changed or while the configuration dialog is open.
#pragma once

#include <cstdint>

#include "render/gauge_display.h"
#include "state/app_state.h"
#include "state/nav_state.h"

// Draws one frame of frameWidth × frameHeight pixels; heading is the displayed heading in whole
// degrees 0 to 359. Reads the live skin (AppState::skin, which the text primitive may repair),
// the options and home of `app`, the GPS record and trip distance of `nav`, and the values of
// display.values; ends with FinishFrame(display, false).
void Compose(GaugeDisplay& display, AppState& app, const NavState& nav, int32_t frameWidth,
             int32_t frameHeight, int32_t heading);

// The area repainted for a changed gauge: its hit rectangle widened by the text's padding.
RectI32 RepaintArea(const RectI32& hitRect);

// The frame's end: with repaintAll or a pending full repaint, the whole window is invalidated
// (and the pending flag cleared); otherwise each drawn kind whose value changed is invalidated
// over its repaint area, and the layout editor (display.renderers.editStep) runs for each drawn
// kind.
void FinishFrame(GaugeDisplay& display, bool repaintAll);

// --- single gauges of the composer, exposed for the style renderers and the tests ---

// The "Dist Home" text and its arrival beep: the distance from the GPS position to home, in km
// (metric) or statute miles, at most 999.9, stored as the kind's value. The beep sounds once
// when the distance falls to 0.008 or less after having been above 0.03.
void DrawDistanceHome(GaugeDisplay& display, const AppState& app, const GpsSnapshot& gps,
                      char* text, std::size_t size);

// The twelve "Signal" bars from the satellites' signal-to-noise ratios.
void DrawSignalBars(GaugeDisplay& display, const SkinRecord& skin, const GpsSnapshot& gps);

// The "Clock" hands at a local time: the skin's Hour, Minute and Second images, or polygon
// needles for the hands without an image.
void DrawClockHands(GaugeDisplay& display, const SkinRecord& skin, const SystemTime16& local);

// The heading-rose needle: the Arrow image or a polygon needle, turned to `heading` with fixed
// north and to 360 - heading otherwise.
void DrawHeadingRose(GaugeDisplay& display, const SkinRecord& skin, uint32_t options,
                     int32_t heading);
