// Stand-ins for the Windows services of the drawing code: invalidations and beeps are counted,
// the clock is a fixed local time, the time and date texts are plain numeric forms, the active
// window and the pointer are set by the test, and focus rectangles are recorded.
#pragma once

#include <vector>

#include "render/gauge_display.h"

namespace fakes {

struct DisplayServices {
    std::vector<RectI32> invalidated; // whole-window invalidations are all-zero rectangles
    int wholeWindowInvalidations = 0;
    int beeps = 0;
    SystemTime16 systemLocal{}; // the local time of the system clock
    const SystemTime16* lastUtc = nullptr;
    int localTimeCalls = 0;
    WindowHandle activeWindow = nullptr;
    PointI32 cursor{}; // screen coordinates
    std::vector<RectI32> focusRects;
};

// The services behind FakeDisplayHooks(); Reset() clears them.
DisplayServices& Services();
void ResetServices();

// Time "HH:MM:SS", short date "D.M.YYYY", long date "long D/M/YYYY";
// local time = the UTC time given plus one hour, or Services().systemLocal without one.
DisplayHooks FakeDisplayHooks();

} // namespace fakes
