// Scripted fixes for tests: the GPS server stand-in publishes one line per second instead of
// the simulated drive.
//
// The script is plain text, one command per line; blank lines and lines starting with '#' are
// ignored; numbers use a '.' decimal point:
//
//   fix LAT LON KNOTS COURSE [ALT [DEPTH_M [SATS]]]   a valid fix (3D); longitude positive WEST;
//                                                     altitude in metres (default 0), depth in
//                                                     metres (default 0), SATS satellites in view
//                                                     (0..12, default 8) with fixed signals
//   nofix                                             no fix: the position and speed of the
//                                                     previous line stay, fixValid 0, "No Fix"
//   hold N                                            publish the previous line for N more seconds
//
// After the last line the server keeps publishing the last record (with a fresh time) unless it
// was started with /loop, which starts the script again.
#pragma once

#include <string>
#include <vector>

#include "state/win_types.h"
#include "state/gps_snapshot.h"

struct ScriptedFix {
    bool valid = false;
    float latitude = 0.0f;
    float longitude = 0.0f;
    float speedKnots = 0.0f;
    float course = 0.0f;
    float altitude = 0.0f;
    float depthMeters = 0.0f;
    int satellites = 8;
};

// Parses a whole script into one entry per published second. On a malformed line returns false
// and names the line in `error`.
bool ParseFixScript(const std::string& text, std::vector<ScriptedFix>& fixes, std::string& error);

// The record for one scripted second (clientCount left 0).
void ScriptedSnapshot(const ScriptedFix& fix, const SystemTime16& utcTime, GpsSnapshot& out);
