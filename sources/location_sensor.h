// The location sensor's data keys and how one report lands in the GpsSnapshot. The COM side
// (sources/location_sensor_win.cpp) turns each key's value into a SensorField; everything that
// decides what the snapshot shows is here.
#pragma once

#include <cstdint>

#include "state/gps_snapshot.h"
#include "state/win_types.h"

// Property ids of the location data keys (all in the platform's location format id), in the
// order a report is read: latitude first, because it decides whether there is a fix at all.
constexpr int kLocationKeyCount = 17;
constexpr uint32_t kLocationKeyIds[kLocationKeyCount] = {
    2,  // latitude, degrees
    3,  // longitude, degrees, positive to the east
    4,  // altitude above sea level, metres
    6,  // speed, knots
    7,  // true heading, degrees
    12, // position dilution of precision
    13, // horizontal dilution of precision
    14, // vertical dilution of precision
    10, // fix quality
    34, // geoidal separation, metres
    15, // satellites used (count)
    17, // satellites in view (count)
    16, // PRNs of the satellites used (byte vector)
    39, // ids of the satellites in view (byte vector)
    21, // signal-to-noise ratios (byte vector)
    20, // azimuths (byte vector)
    19, // elevations (byte vector)
};
constexpr uint32_t kLocationLatitudeKey = 2;

// One key's value as the report gave it.
struct SensorField {
    enum class Kind : uint8_t {
        Unreadable, // the read failed, the key is absent, or its type is not one we know
        Error,      // the platform's error value (VT_ERROR): no fix
        Number,     // any scalar, widened to double
        Bytes,      // a byte vector: its full element count and up to 12 elements
    };
    Kind kind = Kind::Unreadable;
    double number = 0.0;
    uint32_t count = 0;
    uint8_t bytes[kSatelliteSlots] = {};
};

// One report: the fields in kLocationKeyIds order and the report's UTC time.
struct LocationReport {
    SensorField field[kLocationKeyCount];
    SystemTime16 utcTime{};
};

// Copies a report into the snapshot. A latitude that is an error value or cannot be read means
// no fix: fixValid becomes 0 and nothing else changes. Otherwise every field that could be read
// is stored and every other one keeps what it had; the longitude changes sign, because the
// snapshot counts it positive to the west; utcTime takes the report's time, which the clock
// gauges show and whose seconds step the odometer. Vectors fill min(count, 12) entries and leave
// the entries after them as they were.
void ApplyLocationReport(const LocationReport& report, GpsSnapshot& snapshot);

// The debugger line for a failed creation of the sensor manager, or null for a silent failure.
const char* SensorManagerFailureText(uint32_t hresult);
