#include "render/gauge_text.h"

#include <climits>
#include <cmath>
#include <cstdio>

#include "state/skin_record.h"

namespace {

constexpr char kDegreeSign = '\xB0'; // the degree sign of the ANSI code page
constexpr int kMaxCoordinateDecimals = 9;

} // namespace

TextStyle NumberTextStyle(int kind) {
    switch (kind) {
    case kKindCourse:
    case kKindKnots:
    case kKindAltitude:
    case kKindSpeed:
    case kKindObd2MafRate:
    case kKindObd2InManifPres:
    case kKindObd2FuelPressure:
    case kKindObd2Volts:
        return TextStyle::OneDecimal;
    case kKindOdometer:
    case kKindObd2Mpg:
    case kKindObd2LtMpg:
    case kKindDepth:
    case kKindAvgSpeed:
        return TextStyle::TwoDecimals;
    case kKindObd2Odometer:
    case kKindObd2Trip:
        return TextStyle::ThreeDecimals;
    case kKindObd2Speed:
    case kKindObd2Rpm:
    case kKindObd2ConstLoad:
    case kKindObd2AirInTemp:
    case kKindObd2ThrottlePos:
    case kKindObd2CoolantTemp:
        return TextStyle::Integer;
    case kKindObd2TimingAdv:
    case kKindObd2Stft1:
    case kKindObd2Stft2:
    case kKindObd2Ltft1:
    case kKindObd2Ltft2:
        return TextStyle::SignedInteger;
    default:
        return TextStyle::None;
    }
}

int32_t TruncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= double(INT32_MAX)) return INT32_MAX;
    if (value <= double(INT32_MIN)) return INT32_MIN;
    return int32_t(value);
}

void FormatNumber(TextStyle style, float value, char* text, std::size_t size) {
    if (size == 0) return;
    text[0] = '\0';
    double v = value;
    switch (style) {
    case TextStyle::None:
        break;
    case TextStyle::OneDecimal:
        std::snprintf(text, size, "%5.1f", v);
        break;
    case TextStyle::TwoDecimals:
        std::snprintf(text, size, "%5.02f", v);
        break;
    case TextStyle::ThreeDecimals:
        std::snprintf(text, size, "%5.03f", v);
        break;
    case TextStyle::Integer:
        std::snprintf(text, size, "%4d", int(TruncateToInt(v)));
        break;
    case TextStyle::SignedInteger: {
        char number[16];
        std::snprintf(number, sizeof number, v > 0 ? "+%d" : "%d", int(TruncateToInt(v)));
        std::snprintf(text, size, "%4s", number);
        break;
    }
    }
}

void FormatCoordinate(float degrees, bool isLatitude, uint16_t format, char* text,
                      std::size_t size) {
    if (size == 0) return;
    double v = degrees;
    if (format != 0) {
        int decimals = format < kMaxCoordinateDecimals ? format : kMaxCoordinateDecimals;
        std::snprintf(text, size, "%.*f", decimals, v);
        return;
    }
    char letter = isLatitude ? (v < 0 ? 'S' : 'N') : (v < 0 ? 'E' : 'W');
    if (v < 0) v = -v;
    int32_t d = TruncateToInt(v);
    double minutes = (v - d) * 60;
    int32_t m = TruncateToInt(minutes);
    double s = (minutes - m) * 60;
    std::snprintf(text, size, "%c%3d%c%2d'%2.2f\"", letter, int(d), kDegreeSign, int(m), s);
}
