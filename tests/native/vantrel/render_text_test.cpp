// The number and coordinate texts of the text gauges, including values no feed should send.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "render/gauge_text.h"
#include "state/skin_record.h"
#include "vantrel/render_text_cases.h"

namespace {

std::string Number(TextStyle style, float value) {
    char text[kGaugeTextSize];
    std::memset(text, 'x', sizeof text);
    FormatNumber(style, value, text, sizeof text);
    return text;
}

std::string Coordinate(float value, bool latitude, uint16_t format) {
    char text[kGaugeTextSize];
    FormatCoordinate(value, latitude, format, text, sizeof text);
    return text;
}

TEST(GaugeText, NumberStylesOfTheKinds) {
    EXPECT_EQ(NumberTextStyle(kKindCourse), TextStyle::OneDecimal);
    EXPECT_EQ(NumberTextStyle(kKindObd2Volts), TextStyle::OneDecimal);
    EXPECT_EQ(NumberTextStyle(kKindAvgSpeed), TextStyle::TwoDecimals);
    EXPECT_EQ(NumberTextStyle(kKindObd2Trip), TextStyle::ThreeDecimals);
    EXPECT_EQ(NumberTextStyle(kKindObd2CoolantTemp), TextStyle::Integer);
    EXPECT_EQ(NumberTextStyle(kKindObd2Ltft2), TextStyle::SignedInteger);
    for (int kind : {kKindLongitude, kKindTime, kKindTrip, kKindDistHome, kKindSignal,
                     kKindSpeedometer, kKindNeedleColor})
        EXPECT_EQ(NumberTextStyle(kind), TextStyle::None) << kind;
}

TEST(GaugeText, NumbersAndCoordinatesAsBothBuildsWriteThem) {
    for (const NumberTextCase& c : kNumberTextCases)
        EXPECT_EQ(Number(c.style, c.value), c.text) << c.value;
    for (const CoordinateTextCase& c : kCoordinateTextCases)
        EXPECT_EQ(Coordinate(c.degrees, c.latitude, c.format), c.text) << c.degrees;
    EXPECT_EQ(Number(TextStyle::None, 1.0f), "");
}

TEST(GaugeText, AnyFloatStaysWithinTheBuffer) {
    const float nasty[] = {std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(),
                           1e38f,
                           -1e38f,
                           std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::denorm_min()};
    const TextStyle styles[] = {TextStyle::OneDecimal, TextStyle::TwoDecimals,
                                TextStyle::ThreeDecimals, TextStyle::Integer,
                                TextStyle::SignedInteger};
    for (float v : nasty) {
        for (TextStyle style : styles) {
            std::string text = Number(style, v);
            EXPECT_LT(text.size(), kGaugeTextSize);
        }
        for (uint16_t format : {0, 2, 9, 65535}) {
            char text[kGaugeTextSize + 8];
            std::memset(text, 'x', sizeof text);
            FormatCoordinate(v, true, format, text, kGaugeTextSize);
            EXPECT_LT(std::strlen(text), kGaugeTextSize);
            EXPECT_EQ(text[kGaugeTextSize], 'x'); // nothing written past the buffer
        }
    }
    // Integers saturate instead of overflowing.
    EXPECT_EQ(Number(TextStyle::Integer, 1e38f), "2147483647");
    EXPECT_EQ(Number(TextStyle::Integer, -1e38f), "-2147483648");
    EXPECT_EQ(Number(TextStyle::Integer, std::nanf("")), "   0");
}

TEST(GaugeText, TruncationSaturates) {
    EXPECT_EQ(TruncateToInt(-0.9), 0);
    EXPECT_EQ(TruncateToInt(2.9), 2);
    EXPECT_EQ(TruncateToInt(3e9), INT32_MAX);
    EXPECT_EQ(TruncateToInt(-3e9), INT32_MIN);
    EXPECT_EQ(TruncateToInt(std::nan("")), 0);
}

} // namespace
