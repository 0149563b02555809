#include "tools/gps_server/sirf_decoder.h"

#include <algorithm>
#include <cmath>

#include "tools/gps_server/nmea_text.h"

namespace {

constexpr uint8_t kNavigationData = 2;
constexpr uint8_t kTrackerData = 4;
constexpr uint8_t kGeodeticNavigationData = 41;
constexpr size_t kNavigationDataSize = 41;
constexpr size_t kTrackerHeaderSize = 8;
constexpr size_t kTrackerChannelSize = 15;
constexpr size_t kGeodeticNavigationDataSize = 91;
constexpr int kSignalSamples = 10;

constexpr double kPi = 3.14159265358979323846;
constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;
// WGS 84.
constexpr double kEquatorialRadius = 6378137.0;
constexpr double kFlattening = 1.0 / 298.257223563;
// From below the deepest mine to above the highest airliner, in metres from the centre.
constexpr double kLowestRadius = 6300000.0;
constexpr double kHighestRadius = 6450000.0;

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

int16_t I16(const uint8_t* p) {
    return static_cast<int16_t>(U16(p));
}

uint32_t U32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

int32_t I32(const uint8_t* p) {
    return static_cast<int32_t>(U32(p));
}

double Degrees(double radians) {
    return radians * 180.0 / kPi;
}

struct Geodetic {
    double latitude = 0.0;  // radians
    double longitude = 0.0; // radians, east positive
};

// Earth-centred coordinates to latitude and longitude (Bowring's method, exact to well below
// a millimetre at the earth's surface).
Geodetic FromEarthCentred(double x, double y, double z) {
    const double a = kEquatorialRadius;
    const double b = a * (1.0 - kFlattening);
    const double e2 = kFlattening * (2.0 - kFlattening);
    const double ep2 = (a * a - b * b) / (b * b);
    const double p = std::hypot(x, y);
    const double theta = std::atan2(z * a, p * b);
    Geodetic g;
    g.latitude = std::atan2(z + ep2 * b * std::pow(std::sin(theta), 3),
                            p - e2 * a * std::pow(std::cos(theta), 3));
    g.longitude = std::atan2(y, x);
    return g;
}

// Fix modes of the navigation data's first mode byte: 3 and more satellites, or a least-squares
// or dead-reckoned solution; one- and two-satellite solutions are not a fix.
int FixModeOfNavigationMode(uint8_t mode) {
    switch (mode & 0x07) {
    case 3:
    case 5:
    case 7:
        return kFixMode2D;
    case 4:
    case 6:
        return kFixMode3D;
    default:
        return kFixModeNone;
    }
}

void SetMotion(GpsSnapshot& r, double metresPerSecond, double courseDegrees) {
    r.speedKnots = static_cast<float>(metresPerSecond * kKnotsPerMetrePerSecond);
    double course = std::fmod(courseDegrees, 360.0);
    if (course < 0.0) course += 360.0;
    r.course = static_cast<float>(course);
}

bool ApplyNavigationData(ReceiverState& state, const uint8_t* p, size_t size) {
    if (size < kNavigationDataSize) return false;
    GpsSnapshot& r = state.record;
    state.navigationSolutionSeen = true;
    const double x = I32(p + 1), y = I32(p + 5), z = I32(p + 9);
    // A solution far from the earth's surface is none (the conversion would not hold there).
    const double radius = std::sqrt(x * x + y * y + z * z);
    const bool nearTheSurface = radius > kLowestRadius && radius < kHighestRadius;
    const int mode = nearTheSurface ? FixModeOfNavigationMode(p[19]) : kFixModeNone;
    if (mode != kFixModeNone) {
        state.fixMode = mode;
        const Geodetic g = FromEarthCentred(x, y, z);
        r.latitude = static_cast<float>(Degrees(g.latitude));
        r.longitude = static_cast<float>(-Degrees(g.longitude));
        // The velocity turned to east and north at the position.
        const double vx = I16(p + 13) / 8.0, vy = I16(p + 15) / 8.0, vz = I16(p + 17) / 8.0;
        const double sinLat = std::sin(g.latitude), cosLat = std::cos(g.latitude);
        const double sinLon = std::sin(g.longitude), cosLon = std::cos(g.longitude);
        const double east = -sinLon * vx + cosLon * vy;
        const double north = -sinLat * cosLon * vx - sinLat * sinLon * vy + cosLat * vz;
        SetMotion(r, std::hypot(east, north), Degrees(std::atan2(east, north)));
        r.hdop = static_cast<float>(p[20] / 5.0);
    }
    r.fixQuality = mode != kFixModeNone ? 1 : 0;
    r.satsUsed = p[28];
    SatelliteGroup& gps = state.groups[static_cast<int>(SatelliteSystem::Gps)];
    gps.usedCount = 0;
    for (size_t channel = 0; channel < kSatelliteSlots; ++channel)
        if (p[29 + channel] != 0) gps.used[gps.usedCount++] = p[29 + channel];
    SetFixValid(state, mode != kFixModeNone);
    ShowSatellites(state);
    return true;
}

bool ApplyTrackerData(ReceiverState& state, const uint8_t* p, size_t size) {
    if (size < kTrackerHeaderSize) return false;
    const size_t channels = p[7];
    if (size < kTrackerHeaderSize + channels * kTrackerChannelSize) return false;
    SatelliteGroup& gps = state.groups[static_cast<int>(SatelliteSystem::Gps)];
    gps.shownCount = 0;
    for (size_t channel = 0; channel < channels && gps.shownCount < kSatelliteSlots; ++channel) {
        const uint8_t* c = p + kTrackerHeaderSize + channel * kTrackerChannelSize;
        int signal = 0;
        for (int i = 0; i < kSignalSamples; ++i)
            signal += c[5 + i];
        // A channel still searching has a number but neither a place in the sky nor a signal.
        if (c[0] == 0 || (c[1] == 0 && c[2] == 0 && signal == 0)) continue;
        SatelliteEntry& entry = gps.shown[gps.shownCount++];
        entry.id = c[0];
        // Azimuth in steps of 1.5 degrees, elevation in half degrees.
        entry.azimuth = static_cast<uint16_t>(std::lround(c[1] * 1.5));
        entry.elevation = static_cast<uint16_t>(std::lround(c[2] / 2.0));
        entry.snr = static_cast<uint16_t>(std::lround(signal / double(kSignalSamples)));
    }
    gps.inView = gps.shownCount;
    ShowSatellites(state);
    return true;
}

bool ApplyGeodeticNavigationData(ReceiverState& state, const uint8_t* p, size_t size) {
    if (size < kGeodeticNavigationDataSize) return false;
    GpsSnapshot& r = state.record;
    SystemTime16 time = r.utcTime;
    if (SetDate(U16(p + 11), p[13], p[14], time) && p[15] < 24 && p[16] < 60 &&
        U16(p + 17) < 61000) {
        time.hour = p[15];
        time.minute = p[16];
        time.second = static_cast<uint16_t>(U16(p + 17) / 1000);
        time.milliseconds = static_cast<uint16_t>(U16(p + 17) % 1000);
        r.utcTime = time;
    }
    const bool navigating = (U16(p + 3) & 0x07) != 0;
    if (navigating) r.altitude = static_cast<float>(I32(p + 35) / 100.0);
    if (state.navigationSolutionSeen) return true;

    const double latitude = I32(p + 23) / 1e7, longitude = I32(p + 27) / 1e7;
    const bool valid = U16(p + 1) == 0 && navigating && std::fabs(latitude) <= 90.0 &&
                       std::fabs(longitude) <= 180.0;
    if (valid) {
        r.latitude = static_cast<float>(latitude);
        r.longitude = static_cast<float>(-longitude);
        SetMotion(r, U16(p + 40) / 100.0, U16(p + 42) / 100.0);
        r.satsUsed = p[88];
        r.hdop = static_cast<float>(p[89] / 5.0);
    }
    SetFixValid(state, valid);
    return true;
}

} // namespace

uint16_t SirfChecksum(const uint8_t* payload, size_t size) {
    uint32_t sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum += payload[i];
    return static_cast<uint16_t>(sum & 0x7FFF);
}

bool ApplySirfPayload(ReceiverState& state, const uint8_t* payload, size_t size) {
    if (size == 0) return false;
    switch (payload[0]) {
    case kNavigationData:
        return ApplyNavigationData(state, payload, size);
    case kTrackerData:
        return ApplyTrackerData(state, payload, size);
    case kGeodeticNavigationData:
        return ApplyGeodeticNavigationData(state, payload, size);
    default:
        return false;
    }
}
