// The GPS server stand-in's simulated drive and fix scripts, and the drive as an NMEA log.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "sources/course_hold.h"
#include "state/nav_state.h"
#include "tools/gps_server/drive_sim.h"
#include "tools/gps_server/fix_script.h"
#include "tools/gps_server/nmea_writer.h"
#include "tools/gps_server/receiver_stream.h"

namespace {

SystemTime16 TimeAt(uint32_t second) {
    SystemTime16 t;
    t.year = 2026;
    t.month = 6;
    t.day = 1;
    t.hour = static_cast<uint16_t>(10 + second / 3600);
    t.minute = static_cast<uint16_t>(second / 60 % 60);
    t.second = static_cast<uint16_t>(second % 60);
    return t;
}

} // namespace

TEST(NavGpsServerSim, DriveIsDeterministicAndVaried) {
    DriveSim a = StartDrive(47.6205, 122.3493);
    DriveSim b = StartDrive(47.6205, 122.3493);
    bool stopped = false, crossedNorth = false, fast = false;
    int lostRun = 0, longestLoss = 0, losses = 0, minSats = 99, maxSats = 0;
    float minAlt = 1e9f, maxAlt = -1e9f, previousCourse = -1.0f;
    uint16_t firstElevation = 0;
    for (uint32_t t = 0; t < 1800; ++t) {
        GpsSnapshot sa, sb;
        DriveSnapshot(a, TimeAt(t), sa);
        DriveSnapshot(b, TimeAt(t), sb);
        ASSERT_EQ(std::memcmp(&sa, &sb, sizeof sa), 0) << "second " << t;
        if (t == 0) firstElevation = sa.satellites[0].elevation;

        if (sa.fixValid) {
            if (lostRun > 0) ++losses;
            lostRun = 0;
            EXPECT_EQ(sa.serverStatus, 3);
        } else {
            longestLoss = std::max(longestLoss, ++lostRun);
            EXPECT_EQ(sa.serverStatus, 1);
        }
        if (sa.speedKnots > 2.5f) fast = true;
        if (sa.speedKnots < 1.3f && t > 10) stopped = true;
        if (sa.speedKnots > 2.5f && previousCourse > 300.0f && sa.course < 60.0f)
            crossedNorth = true;
        previousCourse = sa.speedKnots > 2.5f ? sa.course : -1.0f;
        EXPECT_GE(sa.course, 0.0f);
        EXPECT_LT(sa.course, 360.0f);
        EXPECT_LT(std::fabs(sa.latitude - 47.6205f), 0.02f);
        EXPECT_LT(std::fabs(sa.longitude - 122.3493f), 0.02f);
        minSats = std::min<int>(minSats, sa.satsInView);
        maxSats = std::max<int>(maxSats, sa.satsInView);
        for (int i = 0; i < kSatelliteSlots; ++i)
            EXPECT_EQ(sa.satellites[i].id != 0, i < sa.satsInView);
        minAlt = std::min(minAlt, sa.altitude);
        maxAlt = std::max(maxAlt, sa.altitude);
        EXPECT_GT(sa.depthMeters, 0.0f);
        EXPECT_NEAR(sa.depthFeet, sa.depthMeters * 3.2808f, 1e-3);
        EXPECT_EQ(sa.utcTime.second, t % 60);
        AdvanceDrive(a);
        AdvanceDrive(b);
    }
    EXPECT_TRUE(fast);
    EXPECT_TRUE(stopped);
    EXPECT_TRUE(crossedNorth);
    EXPECT_GE(losses, 5);
    EXPECT_LE(longestLoss, 5);
    EXPECT_EQ(minSats, 8);
    EXPECT_EQ(maxSats, 12);
    EXPECT_GT(maxAlt - minAlt, 20.0f);
    GpsSnapshot late;
    DriveSnapshot(a, TimeAt(0), late);
    EXPECT_NE(late.satellites[0].elevation, firstElevation);
}

TEST(NavGpsServerSim, OdometerFollowsTheSimulatedDrive) {
    // The cluster's course hold and odometer, fed by the stand-in, count the distance driven.
    NavState nav;
    float odometer = 0.0f;
    GeoPoint odoLastPos{};
    DriveSim sim = StartDrive(47.6205, 122.3493);
    for (uint32_t t = 0; t < 1200; ++t) {
        DriveSnapshot(sim, TimeAt(t), nav.builtInSnapshot);
        BreakTrailOnRegainedFix(nav);
        HoldCourseAndSpeed(nav, {odometer, odoLastPos});
        AdvanceDrive(sim);
    }
    const double drivenMiles = sim.travelled / 1609.344;
    ASSERT_GT(drivenMiles, 3.0);
    // Corners cut by chords, the last uncounted step and the program's constants (not exactly
    // pi/180, 1.151 for 1.15078) keep it within a few percent.
    EXPECT_NEAR(odometer, drivenMiles, drivenMiles * 0.03);
    EXPECT_NEAR(nav.tripDistance, drivenMiles, drivenMiles * 0.05);
    EXPECT_GT(nav.trail.index, 20u);
    // Every fix loss left one break in the trail (1200 s hold five losses); the first fix
    // after the start adds none, since the empty ring already ends in a break.
    int breaks = 0;
    for (uint32_t i = 0; i + 1 < nav.trail.index; ++i)
        if (nav.trail.points[i].latitude == 0.0f) ++breaks;
    EXPECT_EQ(breaks, 5);
}

TEST(NavGpsServerSim, ScriptParsing) {
    std::vector<ScriptedFix> fixes;
    std::string error;
    ASSERT_TRUE(ParseFixScript("# a test drive\r\n"
                               "fix 47.5 122.25 10 90\r\n"
                               "\n"
                               "   fix 47.51 122.25 12.5 359.5 150 4.5 11 \n"
                               "hold 2\n"
                               "nofix\n",
                               fixes, error))
        << error;
    ASSERT_EQ(fixes.size(), 5u);
    EXPECT_TRUE(fixes[0].valid);
    EXPECT_EQ(fixes[0].satellites, 8);
    EXPECT_EQ(fixes[1].course, 359.5f);
    EXPECT_EQ(fixes[1].altitude, 150.0f);
    EXPECT_EQ(fixes[1].satellites, 11);
    EXPECT_EQ(fixes[3].latitude, 47.51f);
    EXPECT_FALSE(fixes[4].valid);
    EXPECT_EQ(fixes[4].latitude, 47.51f) << "a lost fix keeps the last position";

    GpsSnapshot s;
    ScriptedSnapshot(fixes[1], TimeAt(75), s);
    EXPECT_EQ(s.fixValid, 1);
    EXPECT_EQ(s.serverStatus, 3);
    EXPECT_EQ(s.speedKnots, 12.5f);
    EXPECT_NEAR(s.depthFeet, 4.5f * 3.2808f, 1e-4);
    EXPECT_EQ(s.satsInView, 11);
    EXPECT_NE(s.satellites[10].id, 0);
    EXPECT_EQ(s.satellites[11].id, 0);
    EXPECT_EQ(s.utcTime.second, 15);
    ScriptedSnapshot(fixes[4], TimeAt(75), s);
    EXPECT_EQ(s.fixValid, 0);
    EXPECT_EQ(s.serverStatus, 1);

    for (const char* bad :
         {"fix 1 2 3\n", "fix 1 2 3 4 5 6 13\n", "fix 1 2 3 4 x\n", "hold 3\n",
          "fix 1 2 3 4\nhold -1\n", "teleport 1 2\n", "fix 1 2 3 4 5 6 7 8\n", "nofix now\n"}) {
        EXPECT_FALSE(ParseFixScript(bad, fixes, error)) << bad;
        EXPECT_EQ(error.rfind("line ", 0), 0u) << bad;
    }
}

TEST(NavGpsServerSim, TheDriveReadsBackFromItsOwnNmeaLog) {
    DriveSim drive = StartDrive(47.6205, 122.3493);
    ReceiverStream stream;
    int lost = 0;
    for (uint32_t second = 0; second < 900; ++second) {
        GpsSnapshot sent;
        DriveSnapshot(drive, TimeAt(second), sent);
        AdvanceDrive(drive);
        const std::string log = NmeaSentencesOf(sent);
        FeedReceiverBytes(stream, reinterpret_cast<const uint8_t*>(log.data()), log.size());
        const GpsSnapshot& got = stream.state.record;
        SCOPED_TRACE("second " + std::to_string(second));
        ASSERT_EQ(got.fixValid, sent.fixValid);
        ASSERT_EQ(got.serverStatus, sent.serverStatus);
        EXPECT_EQ(got.utcTime.second, sent.utcTime.second);
        EXPECT_EQ(got.utcTime.day, 1);
        EXPECT_EQ(got.satsInView, sent.satsInView);
        for (int i = 0; i < kSatelliteSlots; ++i) {
            EXPECT_EQ(got.satellites[i].id, sent.satellites[i].id);
            EXPECT_EQ(got.satellites[i].elevation, sent.satellites[i].elevation);
            EXPECT_EQ(got.satellites[i].azimuth, sent.satellites[i].azimuth);
            EXPECT_EQ(got.satellites[i].snr, sent.satellites[i].snr);
        }
        EXPECT_NEAR(got.depthMeters, sent.depthMeters, 0.05f + 1e-5f);
        if (sent.fixValid == 0) {
            ++lost;
            continue;
        }
        // Four decimals of a minute: a millionth of a degree.
        EXPECT_NEAR(got.latitude, sent.latitude, 5e-6);
        EXPECT_NEAR(got.longitude, sent.longitude, 1e-5);
        EXPECT_NEAR(got.speedKnots, sent.speedKnots, 0.05f + 1e-4f);
        EXPECT_NEAR(got.course, sent.course, 0.05f + 1e-4f);
        EXPECT_NEAR(got.altitude, sent.altitude, 0.05f + 1e-4f);
        EXPECT_EQ(got.satsUsed, sent.satsUsed);
        EXPECT_EQ(std::memcmp(got.usedPrns, sent.usedPrns, sizeof got.usedPrns), 0);
    }
    EXPECT_GT(lost, 10);
}
