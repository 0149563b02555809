// The gauge texts through the Windows C runtime: the same table as the native tests, so both
// builds draw the same characters.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "render/gauge_text.h"
#include "tests/native/support/vantrel/render_text_cases.h"

namespace {

TEST(RenderTextFormats, WindowsRuntimeWritesTheSameTexts) {
    char text[kGaugeTextSize];
    for (const NumberTextCase& c : kNumberTextCases) {
        FormatNumber(c.style, c.value, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.value;
    }
    for (const CoordinateTextCase& c : kCoordinateTextCases) {
        FormatCoordinate(c.degrees, c.latitude, c.format, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.degrees;
    }
}

TEST(RenderTextFormats, NonFiniteValuesStayWithinTheBuffer) {
    const float nasty[] = {std::nanf(""), INFINITY, -INFINITY, 1e38f, -1e38f};
    for (float v : nasty) {
        char text[kGaugeTextSize + 8];
        std::memset(text, 'x', sizeof text);
        FormatNumber(TextStyle::OneDecimal, v, text, kGaugeTextSize);
        EXPECT_LT(std::strlen(text), kGaugeTextSize);
        FormatCoordinate(v, false, 0, text, kGaugeTextSize);
        EXPECT_LT(std::strlen(text), kGaugeTextSize);
        EXPECT_EQ(text[kGaugeTextSize], 'x');
    }
}

} // namespace
