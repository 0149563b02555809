#include "tools/gps_server/gpsd_report.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include <nlohmann/json.hpp>

#include "tools/gps_server/nmea_text.h"

namespace {

using Json = nlohmann::json;

// A number field: absent leaves `value` alone; present must be a number within [low, high].
bool OptionalNumber(const Json& report, const char* name, double low, double high, double& value,
                    bool& present) {
    present = false;
    const auto it = report.find(name);
    if (it == report.end()) return true;
    if (!it->is_number()) return false;
    const double v = it->get<double>();
    if (!(v >= low && v <= high)) return false;
    value = v;
    present = true;
    return true;
}

template <typename Field>
bool OptionalField(const Json& report, const char* name, double low, double high, Field& field,
                   double scale = 1.0) {
    double value = 0.0;
    bool present = false;
    if (!OptionalNumber(report, name, low, high, value, present)) return false;
    if (present) field = static_cast<Field>(value * scale);
    return true;
}

// `count` digits at `at`, as a number.
bool Digits(std::string_view text, size_t at, size_t count, uint32_t& value) {
    return at + count <= text.size() && ParseWhole(text.substr(at, count), value);
}

// ISO 8601 UTC as gpsd writes it: "2018-08-20T09:47:37.000Z" (fraction optional).
bool ParseIsoTime(std::string_view text, SystemTime16& time) {
    uint32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (text.size() < 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':' || text.back() != 'Z')
        return false;
    if (!Digits(text, 0, 4, year) || !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day) ||
        !Digits(text, 11, 2, hour) || !Digits(text, 14, 2, minute) ||
        !Digits(text, 17, 2, second) || hour > 23 || minute > 59 || second > 60)
        return false;
    uint32_t milliseconds = 0;
    const std::string_view rest = text.substr(19, text.size() - 20);
    if (!rest.empty()) {
        const std::string_view fraction = rest.substr(1);
        uint32_t digits = 0;
        if (rest[0] != '.' || !ParseWhole(fraction, digits)) return false;
        const std::string_view first = fraction.substr(0, 3);
        ParseWhole(first, milliseconds);
        for (size_t i = first.size(); i < 3; ++i)
            milliseconds *= 10;
    }
    SystemTime16 next = time;
    if (!SetDate(year, month, day, next)) return false;
    next.hour = static_cast<uint16_t>(hour);
    next.minute = static_cast<uint16_t>(minute);
    next.second = static_cast<uint16_t>(second);
    next.milliseconds = static_cast<uint16_t>(milliseconds);
    time = next;
    return true;
}

bool ApplyTpv(const Json& report, ReceiverState& state) {
    const auto mode = report.find("mode");
    if (mode == report.end() || !mode->is_number_integer()) return false;
    const int fixMode = mode->get<int>();
    if (fixMode < 0 || fixMode > 3) return false;
    GpsSnapshot& r = state.record;
    const auto time = report.find("time");
    if (time != report.end()) {
        if (!time->is_string() || !ParseIsoTime(time->get<std::string>(), r.utcTime)) return false;
    }
    double longitude = 0.0;
    bool hasLongitude = false;
    // Above sea level: "altMSL" since gpsd 3.20, "alt" before it.
    const char* altitude = report.contains("altMSL") ? "altMSL" : "alt";
    if (!OptionalField(report, "lat", -90.0, 90.0, r.latitude) ||
        !OptionalNumber(report, "lon", -180.0, 180.0, longitude, hasLongitude) ||
        !OptionalField(report, altitude, -1e6, 1e6, r.altitude) ||
        !OptionalField(report, "geoidSep", -1e4, 1e4, r.geoidSeparation) ||
        !OptionalField(report, "speed", 0.0, 1e5, r.speedKnots, kKnotsPerMetrePerSecond) ||
        !OptionalField(report, "track", 0.0, 360.0, r.course) ||
        !OptionalField(report, "depth", 0.0, 1e5, r.depthMeters))
        return false;
    if (hasLongitude) r.longitude = static_cast<float>(-longitude);
    if (report.contains("depth")) r.depthFeet = static_cast<float>(r.depthMeters * kFeetPerMetre);
    // gpsd's status 2 is a differential fix, as GGA's quality 2.
    const auto status = report.find("status");
    const bool differential =
        status != report.end() && status->is_number_integer() && status->get<int>() == 2;
    const bool valid = fixMode >= kFixMode2D;
    r.fixQuality = valid ? (differential ? 2 : 1) : 0;
    state.fixMode = valid ? fixMode : kFixModeNone;
    SetFixValid(state, valid);
    return true;
}

// A satellite as gpsd lists it; false for one that is not an object or has a bad field.
bool ReadSatellite(const Json& item, SatelliteEntry& entry, bool& used) {
    if (!item.is_object()) return false;
    double prn = 0.0, elevation = 0.0, azimuth = 0.0, signal = 0.0;
    bool present = false;
    if (!OptionalNumber(item, "PRN", 0.0, 65535.0, prn, present) || !present ||
        !OptionalNumber(item, "el", -90.0, 90.0, elevation, present) ||
        !OptionalNumber(item, "az", -360.0, 360.0, azimuth, present) ||
        !OptionalNumber(item, "ss", 0.0, 255.0, signal, present))
        return false;
    const auto flag = item.find("used");
    if (flag != item.end() && !flag->is_boolean()) return false;
    used = flag != item.end() && flag->get<bool>();
    // Below the horizon shows on the horizon; azimuths come as -180..180 from some receivers.
    entry.id = static_cast<uint16_t>(prn);
    entry.elevation = static_cast<uint16_t>(std::lround(std::max(elevation, 0.0)));
    entry.azimuth = static_cast<uint16_t>(std::lround(azimuth < 0.0 ? azimuth + 360.0 : azimuth));
    entry.snr = static_cast<uint16_t>(std::lround(signal));
    return true;
}

bool ApplySky(const Json& report, ReceiverState& state) {
    GpsSnapshot& r = state.record;
    if (!OptionalField(report, "pdop", 0.0, 1e4, r.pdop) ||
        !OptionalField(report, "hdop", 0.0, 1e4, r.hdop) ||
        !OptionalField(report, "vdop", 0.0, 1e4, r.vdop))
        return false;
    // gpsd sends a SKY with counts and dilutions only in between the ones with satellites.
    if (!OptionalField(report, "nSat", 0.0, 255.0, r.satsInView) ||
        !OptionalField(report, "uSat", 0.0, 255.0, r.satsUsed))
        return false;
    const auto list = report.find("satellites");
    if (list == report.end()) return true;
    if (!list->is_array()) return false;
    SatelliteEntry shown[kSatelliteSlots] = {};
    uint8_t usedPrns[kSatelliteSlots] = {};
    int slot = 0, usedSlot = 0, inView = 0, usedCount = 0;
    for (const Json& item : *list) {
        SatelliteEntry entry{};
        bool used = false;
        if (!ReadSatellite(item, entry, used)) return false;
        ++inView;
        if (slot < kSatelliteSlots) shown[slot++] = entry;
        if (used) {
            ++usedCount;
            // The record keeps used satellites in bytes: numbers above 255 cannot be listed.
            if (usedSlot < kSatelliteSlots && entry.id <= 255)
                usedPrns[usedSlot++] = static_cast<uint8_t>(entry.id);
        }
    }
    std::copy(std::begin(shown), std::end(shown), std::begin(r.satellites));
    std::copy(std::begin(usedPrns), std::end(usedPrns), std::begin(r.usedPrns));
    r.satsInView = static_cast<uint8_t>(std::min(inView, 255));
    r.satsUsed = static_cast<uint8_t>(std::min(usedCount, 255));
    return true;
}

} // namespace

bool ApplyGpsdReport(ReceiverState& state, std::string_view line) {
    const Json report = Json::parse(line.begin(), line.end(), nullptr, false);
    if (report.is_discarded() || !report.is_object()) return false;
    const auto type = report.find("class");
    if (type == report.end() || !type->is_string()) return false;
    const std::string& name = type->get_ref<const std::string&>();
    ReceiverState next = state;
    bool applied = false;
    if (name == "TPV") {
        applied = ApplyTpv(report, next);
    } else if (name == "SKY") {
        applied = ApplySky(report, next);
    }
    if (applied) state = next;
    return applied;
}
