// What the peers publish, as the cluster takes it: values no receiver can report become "no
// value" where the record enters, and nothing downstream (needles, dial ranges, the odometer,
// the trip, the trail, the trip line) ever keeps a value that is not a number.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "shell/frame_tick.h"
#include "sources/course_hold.h"
#include "sources/gauge_values.h"
#include "sources/great_circle.h"
#include "sources/obd_values.h"
#include "sources/peer_readings.h"
#include "state/app_state.h"
#include "state/nav_state.h"
#include "state/trail_ring.h"
#include "trip/trip_log.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

GpsSnapshot GoodFix() {
    GpsSnapshot s{};
    s.fixValid = 1;
    s.utcTime = SystemTime16{2026, 12, 2, 8, 23, 15, 30, 0};
    s.latitude = 47.6f;
    s.longitude = 122.3f;
    s.altitude = 120.0f;
    s.speedKnots = 30.0f;
    s.course = 10.0f;
    s.depthFeet = 33.0f;
    s.depthMeters = 10.0f;
    s.serverStatus = 3;
    s.satsInView = 255;
    s.satellites[0] = SatelliteEntry{7, 45, 180, 40};
    return s;
}

// The position `miles` statute miles north of `from` under the program's own constants.
GeoPoint North(const GeoPoint& from, double miles) {
    double radians = miles / kStatuteMilesPerNauticalMile / kNauticalMilesPerRadian;
    return {static_cast<float>(from.latitude + radians / kDegreesToRadians), from.longitude};
}

} // namespace

TEST(NavPeerValues, ReadingTakesOutWhatNoReceiverCanReport) {
    using Field = std::function<float&(GpsSnapshot&)>;
    const Field latitude = [](GpsSnapshot& s) -> float& { return s.latitude; };
    const Field longitude = [](GpsSnapshot& s) -> float& { return s.longitude; };
    const Field speed = [](GpsSnapshot& s) -> float& { return s.speedKnots; };
    const Field course = [](GpsSnapshot& s) -> float& { return s.course; };
    const Field altitude = [](GpsSnapshot& s) -> float& { return s.altitude; };
    const Field feet = [](GpsSnapshot& s) -> float& { return s.depthFeet; };
    const Field metres = [](GpsSnapshot& s) -> float& { return s.depthMeters; };
    const Field hdop = [](GpsSnapshot& s) -> float& { return s.hdop; };
    struct Case {
        const char* what;
        Field field;
        float published;
        bool kept;     // the value passes unchanged; otherwise it reads 0
        bool position; // a lost position also loses the fix
    };
    const Case cases[] = {
        {"latitude NaN", latitude, kNaN, false, true},
        {"latitude +inf", latitude, kInf, false, true},
        {"latitude 1e38", latitude, 1e38f, false, true},
        {"latitude beyond the pole", latitude, 90.001f, false, true},
        {"latitude at the south pole", latitude, -90.0f, true, true},
        {"longitude -inf", longitude, -kInf, false, true},
        {"longitude beyond 180", longitude, 180.5f, false, true},
        {"longitude at 180", longitude, -180.0f, true, true},
        {"speed NaN", speed, kNaN, false, false},
        {"speed 1e38", speed, 1e38f, false, false},
        {"speed below zero", speed, -0.5f, false, false},
        {"speed at the receivers' limit", speed, 1000.0f, true, false},
        {"course +inf", course, kInf, false, false},
        {"course past a full turn", course, 360.5f, false, false},
        {"course of a full turn", course, 360.0f, true, false},
        {"altitude -1e38", altitude, -1e38f, false, false},
        {"altitude by the Dead Sea", altitude, -430.0f, true, false},
        {"depth in feet NaN", feet, kNaN, false, false},
        {"depth in metres below the surface", metres, -1.0f, false, false},
        {"dilution NaN", hdop, kNaN, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GpsSnapshot shared = GoodFix();
        c.field(shared) = c.published;
        const GpsSnapshot before = shared;
        GpsSnapshot reading = ReadGpsSnapshot(shared);
        EXPECT_EQ(std::memcmp(&shared, &before, sizeof shared), 0)
            << "the peer's record is read only";
        EXPECT_TRUE(GpsReadingUsable(reading));
        if (c.kept) {
            EXPECT_EQ(c.field(reading), c.published);
        } else if (c.position) {
            EXPECT_EQ(reading.latitude, 0.0f);
            EXPECT_EQ(reading.longitude, 0.0f);
        } else {
            EXPECT_EQ(c.field(reading), 0.0f);
        }
        EXPECT_EQ(reading.fixValid, c.position && !c.kept ? 0 : 1);
        // Everything else is the record as published.
        GpsSnapshot expected = GoodFix();
        if (c.kept || c.position) {
            c.field(expected) = c.field(reading);
            if (c.position) {
                expected.latitude = reading.latitude;
                expected.longitude = reading.longitude;
                expected.fixValid = reading.fixValid;
            }
        } else {
            c.field(expected) = 0.0f;
        }
        EXPECT_EQ(std::memcmp(&reading, &expected, sizeof reading), 0);
    }

    // A fix time with a field out of range is no time; all zero (no time yet) passes.
    GpsSnapshot shared = GoodFix();
    shared.utcTime.second = 255;
    EXPECT_EQ(ReadGpsSnapshot(shared).utcTime.year, 0);
    shared.utcTime = SystemTime16{};
    EXPECT_TRUE(GpsReadingUsable(ReadGpsSnapshot(shared)));
    shared.utcTime.month = 13;
    EXPECT_FALSE(GpsReadingUsable(shared));

    // The reader's speed factor: anything but a number from 0 to 10 gives no speed.
    const float factors[][2] = {{kNaN, 0.0f},    {kInf, 0.0f},  {1e38f, 0.0f},
                                {-0.621f, 0.0f}, {10.5f, 0.0f}, {0.621371f, 0.621371f},
                                {10.0f, 10.0f}};
    auto obd = std::make_unique<ObdSnapshot>();
    std::memset(obd.get(), 0, sizeof *obd);
    obd->pidSlot[0x0D] = 100;
    for (const auto& f : factors) {
        obd->speedFactor = f[0];
        float v[kGaugeKindCount] = {};
        FillObdValues(v, *obd, false, 0);
        EXPECT_EQ(v[kKindObd2Speedometer], 100.0f * f[1]) << f[0];
    }
}

// The hostile feed seen from outside: NaN, then +inf, then 1e38 in latitude, longitude, speed
// and course between valid fixes, through the reading, the frame tick's navigation, the value
// pass, the trail and the trip line. The result must be the drive without the hostile fixes.
TEST(NavPeerValues, HostileFixesBetweenValidOnesChangeNothingStoredAndFreezeNoNeedle) {
    struct Run {
        AppState app;
        NavState nav;
        std::unique_ptr<GaugeValues> values = std::make_unique<GaugeValues>();
        Run() {
            app.skin.opacity = 255;
            app.skin.shownMask[0] = app.skin.shownMask[1] = 0;
            SetKindShown(app.skin, kKindSpeedometer, true);
            SetKindShown(app.skin, kKindDepthGauge, true);
            KindRecord(app.skin, kKindSpeedometer).paramA = 100;
            KindRecord(app.skin, kKindSpeedometer).paramD = 0;
            KindRecord(app.skin, kKindDepthGauge).paramA = 50;
            KindRecord(app.skin, kKindDepthGauge).paramD = 0;
            ResetGaugeValuesAtStart(*values, app.skin);
        }
        void Tick(const GpsSnapshot& shared) {
            nav.builtInSnapshot = ReadGpsSnapshot(shared);
            AdvanceNavigation(app, nav, FrameTickContext{});
            GaugeInputs in;
            in.snapshot = nav.snapshot;
            in.shownSpeed = nav.shownSpeed;
            in.shownCourse = nav.shownCourse;
            in.odometer = app.odometer;
            in.tripDistance = nav.tripDistance;
            ComputeGaugeValues(*values, app.skin, in, nullptr);
        }
    };
    Run clean, hostile;
    const float poison[] = {kNaN, kInf, 1e38f};
    GeoPoint at{47.6f, 122.3f};
    double driven = 0.0;
    for (int second = 1; second <= 30; ++second) {
        GpsSnapshot fix = GoodFix();
        if (second > 1) { // the first fix starts the references
            const GeoPoint next = North(at, 0.1);
            driven += GreatCircleDistance(at, next, kStatuteMilesPerNauticalMile);
            at = next;
        }
        fix.latitude = at.latitude;
        fix.longitude = at.longitude;
        fix.utcTime.second = static_cast<uint16_t>(second);
        clean.Tick(fix);
        hostile.Tick(fix);
        if (second % 3 == 0) {
            GpsSnapshot bad = fix;
            bad.latitude = bad.longitude = bad.speedKnots = bad.course = poison[second / 3 % 3];
            bad.depthFeet = poison[second / 3 % 3];
            bad.utcTime.second = static_cast<uint16_t>(second + 30);
            hostile.Tick(bad);
        } else if (second % 4 == 0) {
            // The position holds, the speed and course do not.
            GpsSnapshot bad = fix;
            bad.speedKnots = bad.course = poison[second / 4 % 3];
            hostile.Tick(bad);
        }
    }
    // Ten quiet ticks at the last fix let the needles settle.
    GpsSnapshot last = GoodFix();
    last.latitude = at.latitude;
    last.longitude = at.longitude;
    last.utcTime.second = 30;
    for (int i = 0; i < 10; ++i) {
        clean.Tick(last);
        hostile.Tick(last);
    }

    const float speedometer = 30.0f * 1.151f;
    EXPECT_EQ(hostile.values->needleValue[kKindSpeedometer], speedometer) << "needle frozen";
    EXPECT_EQ(hostile.values->needleValue[kKindDepthGauge], 33.0f);
    EXPECT_EQ(KindRecord(hostile.app.skin, kKindSpeedometer).paramA, 100) << "range grew";
    EXPECT_EQ(KindRecord(hostile.app.skin, kKindDepthGauge).paramA, 50) << "range grew";
    for (int k = 0; k < kGaugeKindCount; ++k) {
        EXPECT_TRUE(std::isfinite(hostile.values->value[k])) << k;
        EXPECT_TRUE(std::isfinite(hostile.values->needleValue[k])) << k;
    }

    EXPECT_EQ(hostile.app.odometer, clean.app.odometer);
    EXPECT_EQ(hostile.nav.tripDistance, clean.nav.tripDistance);
    EXPECT_NEAR(clean.nav.tripDistance, driven, 0.01);
    EXPECT_EQ(hostile.app.odoLastPos.latitude, clean.app.odoLastPos.latitude);
    // The trail holds the same points; the hostile fixes may only have broken it.
    int cleanPoints = 0, hostilePoints = 0;
    for (uint32_t i = 0; i < kTrailPoints; ++i) {
        const GeoPoint& p = hostile.nav.trail.points[i];
        EXPECT_TRUE(std::isfinite(p.latitude) && std::fabs(p.latitude) <= 90.0f) << i;
        EXPECT_TRUE(std::isfinite(p.longitude) && std::fabs(p.longitude) <= 180.0f) << i;
        if (p.latitude != 0.0f) ++hostilePoints;
        if (clean.nav.trail.points[i].latitude != 0.0f) ++cleanPoints;
    }
    EXPECT_EQ(hostilePoints, cleanPoints);
    EXPECT_EQ(cleanPoints, 29);
    // Should a NaN reach the pass by another way, the needle that took it swings back.
    GaugeInputs in;
    in.snapshot = &last;
    in.shownSpeed = kNaN;
    ComputeGaugeValues(*hostile.values, hostile.app.skin, in, nullptr);
    in.shownSpeed = 30.0f;
    for (int i = 0; i < 10; ++i)
        ComputeGaugeValues(*hostile.values, hostile.app.skin, in, nullptr);
    EXPECT_EQ(hostile.values->needleValue[kKindSpeedometer], speedometer);
    EXPECT_EQ(KindRecord(hostile.app.skin, kKindSpeedometer).paramA, 100);

    EXPECT_EQ(TripLogLine("8.12.2026", "23:15", "23:16", hostile.nav.tripDistance),
              TripLogLine("8.12.2026", "23:15", "23:16", clean.nav.tripDistance));
}

// One gate for both: a position glitch and its return add to neither the odometer nor the trip,
// and a distance that is not a number passes the minimum test of neither.
TEST(NavPeerValues, OdometerAndTripShareOneGate) {
    const GeoPoint start{47.6062f, 122.3321f};
    struct Case {
        const char* what;
        GeoPoint glitch;
        bool counted;
    };
    const Case cases[] = {
        {"199 miles away", North(start, 199.0), true},
        {"200 miles away", North(start, 200.5), false},
        {"250 miles away", North(start, 250.0), false},
        {"the other side of the earth", GeoPoint{-47.6062f, -57.6679f}, false},
        {"not a number", GeoPoint{kNaN, kNaN}, false},
        {"an infinite latitude", GeoPoint{kInf, 122.3321f}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NavState nav;
        float odometer = 0.0f;
        GeoPoint odoLastPos{};
        nav.odoRef = nav.trailRef = start;
        const GeoPoint back = North(start, 1.0);
        for (const GeoPoint& p : {c.glitch, back}) {
            OdometerStep(nav, odometer, p);
            TripStep(nav, odoLastPos, p);
        }
        EXPECT_TRUE(std::isfinite(odometer));
        EXPECT_TRUE(std::isfinite(nav.tripDistance));
        EXPECT_NEAR(nav.tripDistance, odometer, 1e-3) << "the trip took another gate";
        if (c.counted)
            EXPECT_NEAR(odometer, 199.0f + 198.0f, 0.05f);
        else
            EXPECT_NEAR(odometer, 1.0f, 1e-3);
        EXPECT_EQ(nav.trail.index, c.counted ? 2u : 1u);
        EXPECT_EQ(odoLastPos.latitude, back.latitude);
    }
    // Far away for good (a log from elsewhere): the second far fix in a row is the new place,
    // uncounted, and both count again from there.
    NavState nav;
    float odometer = 0.0f;
    GeoPoint odoLastPos{};
    nav.odoRef = nav.trailRef = start;
    const GeoPoint away = North(start, 300.0);
    for (const GeoPoint& p : {away, North(away, 1.0), North(away, 2.0), North(away, 3.0)}) {
        OdometerStep(nav, odometer, p);
        TripStep(nav, odoLastPos, p);
    }
    EXPECT_NEAR(odometer, 2.0f, 0.01f);
    EXPECT_NEAR(nav.tripDistance, 2.0f, 0.01f);
    EXPECT_EQ(odoLastPos.latitude, North(away, 3.0).latitude);

    EXPECT_FALSE(CountableStep(kNaN, kTripMinStep));
    EXPECT_FALSE(CountableStep(kOdometerGlitchStep, kTripMinStep));
    EXPECT_TRUE(CountableStep(kTripMinStep, kTripMinStep));
}

// What is stored from earlier runs or other programs is read with the same care, and nothing
// that is not a number is written.
TEST(NavPeerValues, StoredTrailAndTripLineHoldOnlyNumbers) {
    TrailRing file{};
    file.index = 5;
    const GeoPoint points[] = {{47.5f, 122.25f}, {kNaN, 122.0f},   {47.6f, kInf},
                               {1e38f, 1e38f},   {47.7f, -180.5f}, {-90.0f, 180.0f}};
    for (int i = 0; i < 6; ++i)
        file.points[i] = points[i];
    TrailRing ring;
    TrailFromFileBytes(ring, &file, sizeof file);
    EXPECT_EQ(ring.index, 5u);
    EXPECT_EQ(ring.points[0].latitude, 47.5f) << "good points are kept";
    EXPECT_EQ(ring.points[5].longitude, 180.0f);
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(ring.points[i].latitude, 0.0f) << i;
        EXPECT_EQ(ring.points[i].longitude, 0.0f) << i;
    }

    EXPECT_FALSE(TripLineDue(1, kNaN));
    EXPECT_FALSE(TripLineDue(1, kInf));
    EXPECT_TRUE(TripLineDue(1, 0.04f));
}
