// What the cluster takes from its peers' shared records. The GPS server and the OBD-II reader
// are other programs and may publish anything in their sections; a value that is not a number,
// or one no receiver or vehicle can report, is taken as "no value" here, where the records
// enter, so that no gauge, dial range, trail point or trip line ever sees it.
#pragma once

#include "sources/obd_snapshot.h"
#include "state/gps_snapshot.h"

// The ranges a receiver can report. Receivers stop reporting above 1000 knots (the export limit
// of GPS receivers); the altitudes span the deepest dry land to beyond any balloon; the depths
// the deepest ocean.
constexpr float kMaxLatitude = 90.0f;
constexpr float kMaxLongitude = 180.0f;
constexpr float kMaxSpeedKnots = 1000.0f;
constexpr float kMaxCourse = 360.0f;
constexpr float kMinAltitudeMetres = -2000.0f;
constexpr float kMaxAltitudeMetres = 60000.0f;
constexpr float kMaxDepthMetres = 11100.0f;
constexpr float kMaxDepthFeet = 36500.0f;
// The reader's factor for the PID 0x0D speed converts km/h to the unit shown (0.621371 for mph);
// no unit is more than ten times as fine as km/h.
constexpr float kMaxObdSpeedFactor = 10.0f;

// This tick's reading of the server's record: a copy of `shared` in which every field a reader
// uses holds a value a receiver can report. A position that is not a number or lies off the
// globe is no position: latitude and longitude 0 (unset) and no fix. A speed, course, altitude
// or depth out of range reads 0; a fix time with a field out of range reads all zero; other
// floats that are not numbers read 0. Bytes the cluster does not read are copied unchanged.
GpsSnapshot ReadGpsSnapshot(const GpsSnapshot& shared);

// Whether every field that ReadGpsSnapshot guards holds a value it would pass.
bool GpsReadingUsable(const GpsSnapshot& reading);

// The reader's speed factor when it is a number from 0 to kMaxObdSpeedFactor; 0 (no speed)
// otherwise.
float UsableObdSpeedFactor(float factor);
