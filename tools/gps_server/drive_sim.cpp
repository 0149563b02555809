#include "tools/gps_server/drive_sim.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerDegree = 1852.0 * 60.0;
constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;
constexpr double kAcceleration = 2.5; // m/s per second, both ways
constexpr double kTurnSpeed = 5.0;    // m/s through a corner
constexpr double kCreepSpeed = 1.0;   // m/s for the last metres before a stop

struct Waypoint {
    double north, east; // metres from the start
    double legSpeed;    // m/s on the leg that ends here
    int stopSeconds;    // standing time on arrival (0: drive on)
};

// A closed loop; leg 4 to 5 turns from about 339 degrees to about 16 across north.
constexpr Waypoint kRoute[] = {
    {0.0, 0.0, 14.0, 0},       {0.0, 800.0, 14.0, 0},    {-600.0, 800.0, 12.0, 8},
    {-600.0, -400.0, 22.0, 0}, {200.0, -700.0, 16.0, 0}, {900.0, -500.0, 16.0, 15},
    {900.0, 300.0, 25.0, 0},   {0.0, 0.0, 18.0, 0},
};
constexpr int kRouteSize = sizeof kRoute / sizeof kRoute[0];

constexpr uint8_t kPrns[kSatelliteSlots] = {2, 5, 7, 9, 12, 13, 15, 18, 21, 24, 26, 29};

double Bearing(double dNorth, double dEast) {
    double degrees = std::atan2(dEast, dNorth) * 180.0 / kPi;
    return degrees < 0.0 ? degrees + 360.0 : degrees;
}

double Approach(double value, double target, double step) {
    if (value < target) return value + step > target ? target : value + step;
    return value - step < target ? target : value - step;
}

int SatellitesInView(uint32_t second) {
    return 8 + static_cast<int>((second / 60) % 5);
}

} // namespace

DriveSim StartDrive(double latitude, double longitude) {
    DriveSim sim;
    sim.startLatitude = latitude;
    sim.startLongitude = longitude;
    sim.course = Bearing(kRoute[1].north - kRoute[0].north, kRoute[1].east - kRoute[0].east);
    return sim;
}

void AdvanceDrive(DriveSim& sim) {
    sim.second += 1;
    if (sim.dwellSeconds > 0) {
        sim.dwellSeconds -= 1;
        sim.speed = 0.0;
        return;
    }
    double remaining = 1.0; // seconds of this step still to drive
    while (remaining > 0.0) {
        const Waypoint& target = kRoute[sim.nextWaypoint];
        double dNorth = target.north - sim.north;
        double dEast = target.east - sim.east;
        double distance = std::sqrt(dNorth * dNorth + dEast * dEast);
        if (distance > 1e-6) sim.course = Bearing(dNorth, dEast);

        double endSpeed = target.stopSeconds > 0 ? 0.0 : kTurnSpeed;
        double braking = (sim.speed * sim.speed - endSpeed * endSpeed) / (2.0 * kAcceleration);
        double wanted = distance <= braking + sim.speed ? endSpeed : target.legSpeed;
        sim.speed = Approach(sim.speed, wanted, kAcceleration * remaining);
        if (sim.speed < kCreepSpeed) sim.speed = kCreepSpeed;

        double move = sim.speed * remaining;
        if (move < distance) {
            sim.north += dNorth / distance * move;
            sim.east += dEast / distance * move;
            sim.travelled += move;
            return;
        }
        // Reached the waypoint within this second.
        sim.north = target.north;
        sim.east = target.east;
        sim.travelled += distance;
        remaining -= distance / sim.speed;
        sim.nextWaypoint = (sim.nextWaypoint + 1) % kRouteSize;
        if (target.stopSeconds > 0) {
            sim.speed = 0.0;
            sim.dwellSeconds = target.stopSeconds;
            return;
        }
    }
}

bool DriveFixLost(const DriveSim& sim) {
    uint32_t phase = sim.second % 240;
    return phase >= 180 && phase < 184;
}

void DriveSnapshot(const DriveSim& sim, const SystemTime16& utcTime, GpsSnapshot& out) {
    out = GpsSnapshot{};
    const uint32_t t = sim.second;
    const bool lost = DriveFixLost(sim);

    const int inView = SatellitesInView(t);
    for (int i = 0; i < inView; ++i) {
        SatelliteEntry& s = out.satellites[i];
        s.id = kPrns[i];
        s.elevation = static_cast<uint16_t>(5 + (i * 29 + t / 15) % 80);
        s.azimuth = static_cast<uint16_t>((i * 47 + t / 8) % 360);
        // During a fix loss only two weak signals remain.
        s.snr = lost ? (i < 2 ? 12 : 0) : static_cast<uint16_t>(20 + (i * 13 + t / 4) % 28);
        if (!lost && i < inView - 1) out.usedPrns[i] = kPrns[i];
    }
    out.satsInView = static_cast<uint8_t>(inView);
    out.satsUsed = lost ? 0 : static_cast<uint8_t>(inView - 1);

    out.utcTime = utcTime;
    const double latitude = sim.startLatitude + sim.north / kMetresPerDegree;
    const double metresPerLongitudeDegree = kMetresPerDegree * std::cos(latitude * kPi / 180.0);
    out.latitude = static_cast<float>(latitude);
    out.longitude = static_cast<float>(sim.startLongitude - sim.east / metresPerLongitudeDegree);
    out.altitude = static_cast<float>(120.0 + 35.0 * std::sin(sim.travelled / 1500.0));
    out.geoidSeparation = -17.0f;
    out.pdop = 1.8f;
    out.hdop = 0.9f;
    out.vdop = 1.5f;

    if (sim.dwellSeconds > 0 || sim.speed == 0.0) {
        // A standing receiver reports a crawl and a course that wanders with its noise.
        out.speedKnots = static_cast<float>(0.1 + 0.05 * (t % 5));
        double jitter = static_cast<double>((t * 37) % 81) - 40.0;
        double course = std::fmod(sim.course + jitter + 360.0, 360.0);
        out.course = static_cast<float>(course);
    } else {
        out.speedKnots = static_cast<float>(sim.speed * kKnotsPerMetrePerSecond);
        out.course = static_cast<float>(sim.course);
    }
    const double depth = 4.0 + 2.5 * std::sin(t / 45.0);
    out.depthMeters = static_cast<float>(depth);
    out.depthFeet = static_cast<float>(depth * 3.2808);

    out.fixValid = lost ? 0 : 1;
    out.fixQuality = lost ? 0 : 1;
    out.serverStatus = lost ? 1 : 3; // "No Fix" or "3D Fix"
}
