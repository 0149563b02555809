// Writing the trip log line (Windows side: folders, the file, the locale's date and time).
#pragma once

#include <string>

#include "state/win_types.h"
#include "state/nav_state.h"

// Appends the line of the current trip, from nav.tripStart to `endTime` (local time), to the
// month's file of `tripLogPath`, when logging is on and the trip has a distance. The distance
// returns to 0 only once the whole line was written; otherwise it goes into the next line.
// Callers: process teardown (now), suspend query (now), resume (AppState::suspendTime),
// configuration dialog OK (now).
void WriteTripLine(NavState& nav, const char* tripLogPath, const SystemTime16& endTime);

// The local time now, for the callers that end the trip now.
SystemTime16 LocalTimeNow();

// A date as the user's short date and a time in the user's default time format; "" when the
// conversion fails.
std::string FormatShortDate(const SystemTime16& time);
std::string FormatTime(const SystemTime16& time);
