// The end of a trip (suspend query, configuration dialog OK, process teardown): the trip line,
// the trail store, and a fresh trip reference so the next trip is measured from the next fix.
#pragma once

#include "state/win_types.h"
#include "state/nav_state.h"

// Writes the trip line ending at `endTime` (Trip log), saves "Trails.dat" and clears trailRef.
void EndTrip(NavState& nav, const char* tripLogPath, const SystemTime16& endTime);
