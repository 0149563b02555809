// Played-back receiver records for the GPS server stand-in: the cluster's log playback sends
// the lines of a recorded log with WM_COPYDATA, and the stand-in publishes what they say.
// Understood: RMC (time, validity, position, speed, course), GGA (quality, satellites used,
// HDOP, altitude), GSA (fix mode, PDOP/HDOP/VDOP), GSV (satellites in view), DPT and DBT
// (depth); any talker. Other sentences and binary packets are ignored.
#pragma once

#include <string>

#include "state/gps_snapshot.h"

struct NmeaFeed {
    GpsSnapshot record{};
    int fixMode = 3; // from GSA: 1 no fix, 2 2D, 3 3D
};

// Applies one record (text, possibly with line ends). Returns true when the record changed
// something the server should publish.
bool ApplyNmeaSentence(NmeaFeed& feed, const std::string& sentence);
