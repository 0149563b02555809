// A real receiver's recording through the distance rule and the odometer: the counted distance
// must match the path an independent double-precision haversine measures between the same fixes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sources/course_hold.h"
#include "state/nav_state.h"

namespace {

struct RmcFix {
    bool valid;
    double latitude, longitude; // longitude positive west, as the GPS server publishes it
    float knots, course;
    int second;
};

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line.substr(0, line.find('*')));
    std::string field;
    while (std::getline(in, field, ','))
        fields.push_back(field);
    return fields;
}

double Degrees(const std::string& value, const std::string& hemisphere, bool positive) {
    double raw = std::atof(value.c_str());
    double degrees = std::floor(raw / 100.0) + std::fmod(raw, 100.0) / 60.0;
    return hemisphere == (positive ? "S" : "E") ? -degrees : degrees;
}

std::vector<RmcFix> ReadRmc(const std::string& path) {
    std::vector<RmcFix> fixes;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("$GPRMC,", 0) != 0) continue;
        std::vector<std::string> f = Fields(line);
        if (f.size() < 9 || f[1].size() < 6) continue;
        fixes.push_back({f[2] == "A", Degrees(f[3], f[4], true), Degrees(f[5], f[6], false),
                         static_cast<float>(std::atof(f[7].c_str())),
                         static_cast<float>(std::atof(f[8].c_str())),
                         std::atoi(f[1].substr(4, 2).c_str())});
    }
    return fixes;
}

double HaversineMiles(const RmcFix& a, const RmcFix& b) {
    const double rad = 3.14159265358979323846 / 180.0;
    double dLat = (b.latitude - a.latitude) * rad;
    double dLon = (b.longitude - a.longitude) * rad;
    double h = std::sin(dLat / 2) * std::sin(dLat / 2) +
               std::cos(a.latitude * rad) * std::cos(b.latitude * rad) * std::sin(dLon / 2) *
                   std::sin(dLon / 2);
    return 2.0 * std::asin(std::sqrt(h)) * 6371008.8 / 1609.344;
}

} // namespace

TEST(NavRecordedLog, BoatLogOdometerMatchesItsTrack) {
    std::vector<RmcFix> fixes = ReadRmc(VZ_TEST_DATA_DIR "/gps-logs/bundg_zeus_9.log");
    ASSERT_FALSE(fixes.empty()) << "cannot read the recorded log";
    ASSERT_GT(fixes.size(), 100u);

    NavState nav;
    float odometer = 0.0f;
    GeoPoint odoLastPos{};
    double track = 0.0;
    const RmcFix* previous = nullptr;
    for (const RmcFix& fix : fixes) {
        GpsSnapshot& s = nav.builtInSnapshot;
        s.fixValid = fix.valid ? 1 : 0;
        s.latitude = static_cast<float>(fix.latitude);
        s.longitude = static_cast<float>(fix.longitude);
        s.speedKnots = fix.knots;
        s.course = fix.course;
        s.utcTime.second = static_cast<uint16_t>(fix.second);
        HoldCourseAndSpeed(nav, {odometer, odoLastPos});
        if (fix.valid && previous != nullptr) track += HaversineMiles(*previous, fix);
        if (fix.valid) previous = &fix;
    }
    ASSERT_GT(track, 0.1);
    // Up to one uncounted step below 0.01 miles remains at the end of the log.
    EXPECT_LE(odometer, track * 1.01 + 0.001);
    EXPECT_GE(odometer, track * 0.97 - 0.01);
    EXPECT_GT(nav.tripDistance, 0.0f);
    EXPECT_LE(nav.tripDistance, odometer + 0.001f);
    EXPECT_EQ(odoLastPos.latitude, nav.trailRef.latitude);
}
