// The location sensor feed: a GPS-type sensor of the Windows Sensor and Location platform,
// found once at start-up and read into the built-in GpsSnapshot at every frame tick.
#pragma once

#include <windows.h>

#include <sensorsapi.h>

#include "state/nav_state.h"

// Platform identifiers this feed needs; mingw-w64's headers lack some of them, so all are defined
// here once from the public SDK values.
extern const GUID kSensorManagerClsid;
extern const GUID kSensorManagerIid;
extern const GUID kSensorTypeLocationGps;
extern const GUID kLocationDataFormat; // format id of every location data key

// Initialises COM for this thread and looks for a GPS-type sensor. Without one (no sensor
// platform, access disabled by policy, no such sensor) nav.sensor stays null and the GPS server
// feed is used; the first two cases write a line to the debugger output.
void FindLocationSensor(NavState& nav);

// The search with a given manager: the sensor of the last index wins and its current report is
// taken; if getting the last one fails, nav.sensor is null (no sensor mode). Sensors passed over
// are released. The manager stays the caller's.
void AdoptLocationSensor(NavState& nav, ISensorManager* manager);

// Every frame tick in sensor mode: takes a new report and copies it into nav.builtInSnapshot.
// Without a new report (the sensor went away) the snapshot keeps its last values.
void ReadLocationSensor(NavState& nav);

// At exit: releases the report and the sensor.
void ReleaseLocationSensor(NavState& nav);
