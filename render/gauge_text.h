// The texts of the text gauges, formatted the way the cluster has always written them. Every
// function writes a zero-terminated text of at most size - 1 characters into a fixed buffer and
// is safe for any float the feeds may hold (NaN, infinities, 1e38): the text is cut, never
// overrun.
#pragma once

#include <cstddef>
#include <cstdint>

// A gauge's text buffer: at most 33 characters and the terminator.
constexpr std::size_t kGaugeTextSize = 34;

// How the frame composer writes a text gauge's value.
enum class TextStyle {
    None,          // not a plain number (coordinates, time, date, trip, distance home, graphics)
    OneDecimal,    // "%5.1f"
    TwoDecimals,   // "%5.02f"
    ThreeDecimals, // "%5.03f"
    Integer,       // truncated, "%4d"
    SignedInteger, // truncated, "+%d" above 0 else "%d", then right-aligned to four ("%4s")
};

// The number style of a kind (0 to 58); None for the kinds written otherwise.
TextStyle NumberTextStyle(int kind);

// The value in the given style.
void FormatNumber(TextStyle style, float value, char* text, std::size_t size);

// Truncation toward zero that saturates at the int32 limits; NaN gives 0.
int32_t TruncateToInt(double value);

// A latitude (isLatitude) or longitude of the GPS record. format 0: hemisphere letter (N/S, or
// W for longitudes >= 0 and E below, the record's longitudes being positive to the west),
// degrees "%3d", the degree sign byte 0xB0 of the ANSI code page, minutes "%2d", an apostrophe,
// seconds "%2.2f" and a double quote. Other formats: signed decimal degrees with min(format, 9)
// decimals.
void FormatCoordinate(float degrees, bool isLatitude, uint16_t format, char* text,
                      std::size_t size);
