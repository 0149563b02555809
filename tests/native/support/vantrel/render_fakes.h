// Stand-ins for the Windows services of the drawing code: invalidations and beeps are counted,
// the clock is a fixed local time, and the time and date texts are plain numeric forms.
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
};

// The services behind FakeDisplayHooks(); Reset() clears them.
DisplayServices& Services();
void ResetServices();

// Time "HH:MM:SS", short date "D.M.YYYY", long date "long D/M/YYYY";
// local time = the UTC time given plus one hour, or Services().systemLocal without one.
DisplayHooks FakeDisplayHooks();

} // namespace fakes
