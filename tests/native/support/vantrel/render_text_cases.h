// Texts of the text gauges that both builds must write byte for byte alike (the native tests and
// the Windows-side tests run the same table against their C runtimes' printf).
#pragma once

#include <cstdint>

#include "render/gauge_text.h"

struct NumberTextCase {
    TextStyle style;
    float value;
    const char* text;
};

inline constexpr NumberTextCase kNumberTextCases[] = {
    {TextStyle::OneDecimal, 12.34f, " 12.3"},   {TextStyle::OneDecimal, 1234.56f, "1234.6"},
    {TextStyle::OneDecimal, -0.04f, " -0.0"},   {TextStyle::TwoDecimals, 3.0f, " 3.00"},
    {TextStyle::TwoDecimals, 999.9f, "999.90"}, {TextStyle::ThreeDecimals, 1.5f, "1.500"},
    {TextStyle::Integer, 3.9f, "   3"},         {TextStyle::Integer, -3.9f, "  -3"},
    {TextStyle::Integer, 12345.0f, "12345"},    {TextStyle::Integer, 1e38f, "2147483647"},
    {TextStyle::SignedInteger, 0.0f, "   0"},   {TextStyle::SignedInteger, 3.9f, "  +3"},
    {TextStyle::SignedInteger, 0.4f, "  +0"},   {TextStyle::SignedInteger, -0.4f, "   0"},
    {TextStyle::SignedInteger, -12.7f, " -12"}, {TextStyle::SignedInteger, 100.0f, "+100"},
};

struct CoordinateTextCase {
    float degrees;
    bool latitude;
    uint16_t format;
    const char* text;
};

inline constexpr CoordinateTextCase kCoordinateTextCases[] = {
    {47.75f, true, 0,
     "N 47\xB0"
     "45'0.00\""},
    {-33.5f, true, 0,
     "S 33\xB0"
     "30'0.00\""},
    {5.25f, true, 0,
     "N  5\xB0"
     "15'0.00\""},
    {122.5f, false, 0,
     "W122\xB0"
     "30'0.00\""},
    {-8.5125f, false, 0,
     "E  8\xB0"
     "30'45.00\""},
    {0.0f, false, 0,
     "W  0\xB0"
     " 0'0.00\""},
    {11.25f, false, 3, "11.250"},
    {11.25f, false, 40, "11.250000000"},
    {-33.5f, true, 1, "-33.5"},
};
