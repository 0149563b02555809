// The local time the gauges show: the fix's UTC time while the fix is valid, otherwise the
// system's UTC time, converted with the current time-zone information.
#pragma once

#include "state/win_types.h"
#include "state/gps_snapshot.h"

SystemTime16 GaugeLocalTime(const GpsSnapshot& snapshot);
