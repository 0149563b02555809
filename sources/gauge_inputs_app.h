// The gauge value pass's inputs as the frame tick gathers them from the program's state.
#pragma once

#include "state/app_state.h"
#include "sources/gauge_values.h"
#include "state/nav_state.h"

// `localTime` comes from GaugeLocalTime (sources/gauge_clock_win.h); `obdAttached` from the
// OBD-II feed.
GaugeInputs MakeGaugeInputs(const NavState& nav, const AppState& app, const SystemTime16& localTime,
                            bool obdAttached);
