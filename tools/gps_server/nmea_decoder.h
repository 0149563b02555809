// NMEA 0183 sentences into the GPS server stand-in's record: RMC, GGA and GLL (time, fix,
// position, speed, course, altitude, satellites used), GSA (fix mode, dilution, satellites used),
// GSV (satellites in view, in groups of several sentences, per constellation: talkers GP, GL,
// GA, GB, GQ, GN), VTG (speed and course), ZDA (date and time), DPT and DBT (depth).
//
// A sentence is taken whole or not at all: one with a wrong checksum, too few fields or a field
// that does not read as its format changes nothing.
#pragma once

#include <string_view>

#include "tools/gps_server/receiver_state.h"

// Applies one sentence ("$GPRMC,...*hh", line ends allowed). Returns true when it was understood
// and applied; sentences of other types return false and change nothing.
bool ApplyNmeaSentence(ReceiverState& state, std::string_view line);
