#include "render/map_geometry.h"

#include <cmath>

#include "sources/great_circle.h"

namespace {

// The radius is "Size" percent of 90 pixels, with the percent factor as the single-precision
// 0.01 (0.00999999978) and the product kept wider than a float, so that 100 gives 89, not 90.
constexpr float kPercent = 0.01f;
constexpr double kFullRadius = 90.0;

constexpr double kDegreesPerRadian = 57.29577791868204;
constexpr double kPi = 3.14159265358979323846;
constexpr double kUpTurn = 1.56; // "0 = right" to "0 = up", almost, as on every needle

constexpr int32_t kWeakestStrongest = 45;

} // namespace

int32_t MapViewRadius(uint16_t size) {
    return int32_t(double(size) * double(kPercent) * kFullRadius);
}

float MapDistanceMiles(const GeoPoint& from, const GeoPoint& to) {
    return GreatCircleDistance(from, to, kStatuteMilesPerNauticalMile);
}

double MapBearing(const GeoPoint& from, const GeoPoint& to, int32_t rotation, float shownCourse) {
    if (from.latitude == to.latitude && from.longitude == to.longitude) return 0.0;
    double dLat = double(from.latitude) - double(to.latitude);
    double dLon = double(from.longitude) - double(to.longitude);
    double bearing = std::atan2(dLat, dLon) * kDegreesPerRadian + 90.0;
    bearing -= rotation < 0 ? double(shownCourse) : double(rotation);
    for (int i = 0; i < 2 && bearing < 0; ++i)
        bearing += 360.0;
    // Two turns cover any heading of 0 to 359; only a course of nonsense from the shared record
    // can leave more, and folding it keeps the angle small enough for the cosine.
    if (bearing < 0) bearing = std::fmod(bearing, 360.0) + 360.0;
    return bearing;
}

double MapScreenAngle(double bearing) {
    return bearing * kPi / 180.0 - kUpTurn;
}

gfx::PointF MapPointAt(int32_t cx, int32_t cy, double bearing, double distance) {
    double t = MapScreenAngle(bearing);
    return {float(cx + distance * std::cos(t)), float(cy + distance * std::sin(t))};
}

bool SegmentReachesCircle(const gfx::PointF& a, const gfx::PointF& b, int32_t cx, int32_t cy,
                          double reach) {
    const double ax = double(a.x) - cx, ay = double(a.y) - cy;
    const double dx = double(b.x) - double(a.x), dy = double(b.y) - double(a.y);
    const double length2 = dx * dx + dy * dy;
    // The segment's point nearest the centre, as a share of the way from a to b.
    double share = length2 > 0 ? -(ax * dx + ay * dy) / length2 : 0.0;
    if (share < 0) share = 0;
    if (share > 1) share = 1;
    const double nx = ax + share * dx, ny = ay + share * dy;
    return nx * nx + ny * ny <= reach * reach;
}

int32_t StrongestSignal(const SatelliteEntry (&satellites)[kSatelliteSlots]) {
    int32_t strongest = kWeakestStrongest;
    for (const SatelliteEntry& entry : satellites)
        if (entry.snr > strongest) strongest = entry.snr;
    return strongest;
}

gfx::Argb SatelliteColor(gfx::Argb color, int32_t snr, int32_t strongest) {
    if (strongest < 1) strongest = 1;
    auto scaled = [&](int shift) {
        int32_t channel = int32_t((color >> shift) & 0xFF);
        return gfx::Argb(channel * snr / strongest) << shift;
    };
    return 0xFF000000u + scaled(16) + scaled(8) + scaled(0);
}

int32_t SatelliteDirection(uint16_t azimuth, int32_t heading, bool fixedNorth) {
    if (fixedNorth) return azimuth;
    int32_t direction = int32_t(azimuth) + 360 - heading;
    if (direction >= 360) direction -= 360;
    return direction;
}
