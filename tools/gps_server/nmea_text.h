// The text layer of NMEA 0183: a sentence checked against its checksum and split into fields,
// and the field formats (numbers, positions, time, date) read without the C locale, so a
// receiver's "12.5" means the same on every machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "state/win_types.h"

// Longest sentence accepted, from '$' to the checksum. The standard's limit is 82 characters,
// but high-precision receivers write longer ones.
constexpr size_t kMaxSentenceLength = 160;

// A sentence whose checksum matched: the talker ("GP"), the type ("RMC") and the fields after
// the address, field 1 first (fields[0] is the field after "$GPRMC,").
struct NmeaSentence {
    std::string_view talker;
    std::string_view type;
    std::vector<std::string_view> fields;

    // The field or an empty one when the sentence is shorter.
    std::string_view Field(size_t number) const {
        return number >= 1 && number <= fields.size() ? fields[number - 1] : std::string_view();
    }
};

// Checks and splits "$GPRMC,...*hh" (trailing line ends allowed). False for a missing or wrong
// checksum, a character outside printable ASCII, an over-long sentence, or an address that is
// not a two-letter talker and a three-letter type (proprietary "$P..." sentences included).
bool ParseNmeaSentence(std::string_view line, NmeaSentence& sentence);

// "-12.345": an optional sign, digits, an optional decimal point; no exponent, no blanks.
bool ParseDecimal(std::string_view text, double& value);
// Digits only, at most nine.
bool ParseWhole(std::string_view text, uint32_t& value);
// "ddmm.mmmm" with "N"/"S" (or "dddmm.mmmm" with "E"/"W") to signed degrees, north and east
// positive.
bool ParseLatitude(std::string_view text, std::string_view hemisphere, double& degrees);
bool ParseLongitude(std::string_view text, std::string_view hemisphere, double& degrees);
// "hhmmss" or "hhmmss.sss" into the time of day of `time` (the date is left alone).
bool ParseTimeOfDay(std::string_view text, SystemTime16& time);
// "ddmmyy" into the date of `time`; years before 80 are 20yy.
bool ParseDate(std::string_view text, SystemTime16& time);
// Sets the date and its day of the week; false for an impossible date.
bool SetDate(uint32_t year, uint32_t month, uint32_t day, SystemTime16& time);
