// The frame tick's entry to the course hold with the program's AppState, whose settings
// "Odometer" and "OdoLastPos" the odometer and trip steps advance.
#pragma once

#include "state/app_state.h"
#include "state/nav_state.h"

void HoldCourseAndSpeed(NavState& nav, AppState& app);
