// The stand-in as a receiver that logs: one second of its record as the NMEA 0183 sentences a
// receiver writes (RMC, GGA, GSA, GSV, VTG, DPT), each with its checksum and CR LF. Numbers are
// formatted without the C library's locale.
#pragma once

#include <string>
#include <string_view>

#include "state/gps_snapshot.h"

// "$" + body + "*hh" + CR LF.
std::string WithChecksum(std::string_view body);

// The sentences of one second.
std::string NmeaSentencesOf(const GpsSnapshot& record);
