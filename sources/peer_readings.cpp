#include "sources/peer_readings.h"

#include <cmath>
#include <cstring>

namespace {

// Written as a positive test: a NaN fails every comparison, so it never passes.
bool Within(float v, float low, float high) {
    return v >= low && v <= high;
}

bool TimeUsable(const SystemTime16& t) {
    // All zero is the record of a server that has no time yet. The day of the week is not
    // checked: the conversion to local time does not read it.
    static const SystemTime16 none{};
    if (std::memcmp(&t, &none, sizeof t) == 0) return true;
    return t.year >= 1601 && t.year <= 30827 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= 31 && t.hour <= 23 && t.minute <= 59 && t.second <= 59 && t.milliseconds <= 999;
}

bool PositionUsable(const GpsSnapshot& s) {
    return Within(s.latitude, -kMaxLatitude, kMaxLatitude) &&
           Within(s.longitude, -kMaxLongitude, kMaxLongitude);
}

void KeepWithin(float& v, float low, float high) {
    if (!Within(v, low, high)) v = 0.0f;
}

void KeepFinite(float& v) {
    if (!std::isfinite(v)) v = 0.0f;
}

} // namespace

GpsSnapshot ReadGpsSnapshot(const GpsSnapshot& shared) {
    GpsSnapshot s;
    // One copy, so every reader of this tick sees the same record however the server writes.
    std::memcpy(&s, &shared, sizeof s);
    if (!PositionUsable(s)) {
        s.latitude = 0.0f;
        s.longitude = 0.0f;
        s.fixValid = 0;
    }
    if (!TimeUsable(s.utcTime)) s.utcTime = SystemTime16{};
    KeepWithin(s.speedKnots, 0.0f, kMaxSpeedKnots);
    KeepWithin(s.course, 0.0f, kMaxCourse);
    KeepWithin(s.altitude, kMinAltitudeMetres, kMaxAltitudeMetres);
    KeepWithin(s.depthFeet, 0.0f, kMaxDepthFeet);
    KeepWithin(s.depthMeters, 0.0f, kMaxDepthMetres);
    KeepFinite(s.geoidSeparation);
    KeepFinite(s.pdop);
    KeepFinite(s.hdop);
    KeepFinite(s.vdop);
    return s;
}

bool GpsReadingUsable(const GpsSnapshot& s) {
    return PositionUsable(s) && TimeUsable(s.utcTime) &&
           Within(s.speedKnots, 0.0f, kMaxSpeedKnots) && Within(s.course, 0.0f, kMaxCourse) &&
           Within(s.altitude, kMinAltitudeMetres, kMaxAltitudeMetres) &&
           Within(s.depthFeet, 0.0f, kMaxDepthFeet) &&
           Within(s.depthMeters, 0.0f, kMaxDepthMetres) && std::isfinite(s.geoidSeparation) &&
           std::isfinite(s.pdop) && std::isfinite(s.hdop) && std::isfinite(s.vdop);
}

float UsableObdSpeedFactor(float factor) {
    return Within(factor, 0.0f, kMaxObdSpeedFactor) ? factor : 0.0f;
}
