#include "tools/gps_server/nmea_text.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8, 1e9,
                                   1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
constexpr int kMaxDigits = 18;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsUpperLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view WithoutLineEnds(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    return line;
}

std::vector<std::string_view> SplitFields(std::string_view body) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = body.find(',', start);
        if (comma == std::string_view::npos) {
            fields.push_back(body.substr(start));
            return fields;
        }
        fields.push_back(body.substr(start, comma - start));
        start = comma + 1;
    }
}

// Two digits at `at`, as a number.
bool TwoDigits(std::string_view text, size_t at, uint32_t& value) {
    if (at + 2 > text.size() || !IsDigit(text[at]) || !IsDigit(text[at + 1])) return false;
    value = static_cast<uint32_t>((text[at] - '0') * 10 + (text[at + 1] - '0'));
    return true;
}

bool ParseAngle(std::string_view text, std::string_view hemisphere, char positive, char negative,
                double limit, double& degrees) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    if (hemisphere.size() != 1 || (hemisphere[0] != positive && hemisphere[0] != negative))
        return false;
    double raw = 0.0;
    if (!ParseDecimal(text, raw)) return false;
    const double whole = std::floor(raw / 100.0);
    const double minutes = raw - whole * 100.0;
    const double value = whole + minutes / 60.0;
    if (minutes >= 60.0 || value > limit) return false;
    degrees = hemisphere[0] == negative ? -value : value;
    return true;
}

// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t year, uint32_t month, uint32_t day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

uint32_t DaysInMonth(uint32_t year, uint32_t month) {
    static const uint32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

bool ParseNmeaSentence(std::string_view line, NmeaSentence& sentence) {
    line = WithoutLineEnds(line);
    if (line.size() < 4 || line.size() > kMaxSentenceLength || line[0] != '$') return false;
    const size_t star = line.size() - 3;
    if (line[star] != '*') return false;
    const int high = HexValue(line[star + 1]);
    const int low = HexValue(line[star + 2]);
    if (high < 0 || low < 0) return false;

    const std::string_view body = line.substr(1, star - 1);
    uint8_t sum = 0;
    for (char c : body) {
        if (c < 0x20 || c > 0x7E || c == '$' || c == '*') return false;
        sum = static_cast<uint8_t>(sum ^ static_cast<uint8_t>(c));
    }
    if (sum != high * 16 + low) return false;

    std::vector<std::string_view> fields = SplitFields(body);
    const std::string_view address = fields[0];
    if (address.size() != 5 || address[0] == 'P') return false;
    for (char c : address)
        if (!IsUpperLetter(c)) return false;
    sentence.talker = address.substr(0, 2);
    sentence.type = address.substr(2);
    fields.erase(fields.begin());
    sentence.fields = std::move(fields);
    return true;
}

bool ParseDecimal(std::string_view text, double& value) {
    size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
    uint64_t mantissa = 0;
    int significant = 0;
    int decimals = 0;
    bool digits = false;
    bool point = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (!IsDigit(c)) return false;
        digits = true;
        if (mantissa != 0 || c != '0') ++significant;
        if (point) ++decimals;
        if (significant > kMaxDigits || decimals > kMaxDigits) return false;
        mantissa = mantissa * 10 + static_cast<uint64_t>(c - '0');
    }
    if (!digits) return false;
    value = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    if (negative) value = -value;
    return true;
}

bool ParseWhole(std::string_view text, uint32_t& value) {
    if (text.empty() || text.size() > 9) return false;
    uint32_t result = 0;
    for (char c : text) {
        if (!IsDigit(c)) return false;
        result = result * 10 + static_cast<uint32_t>(c - '0');
    }
    value = result;
    return true;
}

bool ParseLatitude(std::string_view text, std::string_view hemisphere, double& degrees) {
    return ParseAngle(text, hemisphere, 'N', 'S', 90.0, degrees);
}

bool ParseLongitude(std::string_view text, std::string_view hemisphere, double& degrees) {
    return ParseAngle(text, hemisphere, 'E', 'W', 180.0, degrees);
}

bool ParseTimeOfDay(std::string_view text, SystemTime16& time) {
    uint32_t hour = 0, minute = 0, second = 0;
    if (!TwoDigits(text, 0, hour) || !TwoDigits(text, 2, minute) || !TwoDigits(text, 4, second))
        return false;
    if (hour > 23 || minute > 59 || second > 60) return false;
    double fraction = 0.0;
    if (text.size() > 6) {
        const std::string_view rest = text.substr(6);
        if (rest[0] != '.' || !ParseDecimal(rest, fraction)) return false;
    }
    time.hour = static_cast<uint16_t>(hour);
    time.minute = static_cast<uint16_t>(minute);
    time.second = static_cast<uint16_t>(second);
    time.milliseconds = static_cast<uint16_t>(std::min(999.0, std::floor(fraction * 1000.0 + 0.5)));
    return true;
}

bool ParseDate(std::string_view text, SystemTime16& time) {
    uint32_t day = 0, month = 0, year = 0;
    if (text.size() != 6 || !TwoDigits(text, 0, day) || !TwoDigits(text, 2, month) ||
        !TwoDigits(text, 4, year)) {
        return false;
    }
    return SetDate(year < 80 ? 2000 + year : 1900 + year, month, day, time);
}

bool SetDate(uint32_t year, uint32_t month, uint32_t day, SystemTime16& time) {
    if (year < 1980 || year > 2200 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month)) {
        return false;
    }
    time.year = static_cast<uint16_t>(year);
    time.month = static_cast<uint16_t>(month);
    time.day = static_cast<uint16_t>(day);
    // 1970-01-01 was a Thursday; SYSTEMTIME counts Sunday as 0.
    const int64_t days = DaysFromCivil(year, month, day);
    time.dayOfWeek = static_cast<uint16_t>(((days % 7) + 7 + 4) % 7);
    return true;
}
