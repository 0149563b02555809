// Gauge values: once per frame tick the feeds become one number per gauge kind in the unit that
// gauge shows, the kinds whose picture must change are marked, and dial needles swing a step
// towards their values. All renderers read the result.
#pragma once

#include <cstdint>

#include "state/win_types.h"
#include "state/skin_record.h"
#include "state/gps_snapshot.h"
#include "sources/obd_snapshot.h"

constexpr int kHistorySamples = 512;
constexpr int kSpeedRingSamples = 12;
// A value no reading has, so the first pass after a reset reports every shown kind as changed.
constexpr float kNoLastValue = 20000.9f;

struct GaugeValues {
    uint32_t changedMask[4] = {};                         // bit k: kind k changed in the last pass
    float lastValue[kGaugeKindCount] = {};                // value at the end of the previous pass
    float value[kGaugeKindCount] = {};                    // current value, display units
    float needleValue[kGaugeKindCount] = {};              // damped value the dials draw
    float history[kGaugeKindCount][kHistorySamples] = {}; // one sample per pass, shown kinds
    int32_t historyIndex[kGaugeKindCount] = {};           // next write position, 0..511
    float speedRing[kSpeedRingSamples] = {};              // last 12 speed samples ("Avg Speed")
    int32_t speedRingIndex = 0;
};

// Everything the pass reads besides the skin. The frame tick fills it; the clock read that
// gives `localTime` is Windows glue (GaugeLocalTime in sources/gauge_clock_win.h).
struct GaugeInputs {
    const GpsSnapshot* snapshot = nullptr; // NavState::snapshot, never null in the program
    float shownSpeed = 0.0f;               // knots, from the course hold
    float shownCourse = 0.0f;              // degrees, from the course hold
    int32_t displayedHeading = 0;          // smoothed heading, 0..359
    bool metric = false;                   // option bit 0x01
    float odometer = 0.0f;                 // statute miles, AppState::odometer
    float tripDistance = 0.0f;             // statute miles, NavState::tripDistance
    SystemTime16 localTime{};              // local time of the fix, or of the system clock
    // True while the OBD-II reader's record is attached. The pass then fills the OBD-II kinds
    // 21 to 55 from `obd` (when given) and takes the speed ring's sample from kind 21; while
    // false, kinds 21 and 22 show the held GPS speed in knots and kinds 23 to 55 keep their last
    // values.
    bool obdAttached = false;
    const ObdSnapshot* obd = nullptr; // the reader's record while attached
};

// Whether kind k is a needle dial (damping and range growth apply).
bool IsDialKind(int kind);

// Whether kind k's bit is set in changedMask.
bool KindChanged(const GaugeValues& values, int kind);

// Program start: everything zero, then the skin-load reset.
void ResetGaugeValuesAtStart(GaugeValues& values, const SkinRecord& skin);
// Every skin load: lastValue 20000.9, value 0 and the needles at each kind's paramB; the
// history and the speed ring stay as they are.
void ResetGaugeValuesForSkin(GaugeValues& values, const SkinRecord& skin);

// The computation pass. `hitRects` (59 rectangles of the drawing object, or null) are cleared
// for the renderers of this frame. A grown dial "Range" is written into `skin` and persists with
// it. Returns true when a shown kind changed or a needle moved; with the skin's opacity 0 it
// returns false at once and touches nothing.
bool ComputeGaugeValues(GaugeValues& values, SkinRecord& skin, const GaugeInputs& in,
                        RectI32* hitRects);
