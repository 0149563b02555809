// gpsd's JSON reports into the stand-in's record. gpsd speaks metres per second, metres and
// degrees east; the record speaks knots, metres and feet, and degrees west.
//
//  - TPV: fix mode (0 unknown and 1 no fix: no fix; 2 and 3: a 2D or 3D fix), time, latitude,
//    longitude, altitude above sea level, geoid separation, speed, course and depth;
//  - SKY: the satellites in view (PRN, elevation, azimuth, signal) and which are used, and the
//    dilutions of precision.
//
// A field gpsd leaves out (it has no value for it) leaves the record's value as it was. A report
// is taken whole or not at all: one that is not JSON, has a field of the wrong type or out of
// range, or a TPV without its mode changes nothing.
#pragma once

#include <string_view>

#include "tools/gps_server/receiver_state.h"

// The command that asks gpsd for JSON reports, sent once after connecting.
constexpr char kGpsdWatchCommand[] = "?WATCH={\"enable\":true,\"json\":true};\r\n";

constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;
constexpr double kFeetPerMetre = 1.0 / 0.3048;

// Applies one report line. Returns true when it was a TPV or SKY report and was applied; other
// classes (VERSION, DEVICES, WATCH, ERROR, ...) return false and change nothing.
bool ApplyGpsdReport(ReceiverState& state, std::string_view line);
