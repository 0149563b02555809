// The distance rule and the odometer and trip steps built on it.
#include <gtest/gtest.h>

#include <cmath>

#include "sources/course_hold.h"
#include "sources/great_circle.h"
#include "state/nav_state.h"

namespace {

// The position `miles` statute miles north of `from` under the program's own constants.
GeoPoint North(const GeoPoint& from, double miles) {
    double radians = miles / kStatuteMilesPerNauticalMile / kNauticalMilesPerRadian;
    return {static_cast<float>(from.latitude + radians / kDegreesToRadians), from.longitude};
}

int TrailPointsWritten(const TrailRing& ring) {
    int n = 0;
    for (const GeoPoint& p : ring.points)
        if (p.latitude != 0.0f) ++n;
    return n;
}

const GeoPoint kStart{47.6062f, 122.3321f};

} // namespace

TEST(NavDistance, EqualPointsGiveZeroNeverNaN) {
    const GeoPoint points[] = {kStart,         {0.001f, 0.0f},      {-33.8688f, -151.2093f},
                               {89.9f, 10.0f}, {51.4779f, 0.0015f}, {12.345678f, 98.765432f}};
    for (const GeoPoint& p : points) {
        float d = GreatCircleDistance(p, p, 1.151f);
        EXPECT_FALSE(std::isnan(d)) << p.latitude << "," << p.longitude;
        EXPECT_EQ(d, 0.0f) << p.latitude << "," << p.longitude;
    }
}

TEST(NavDistance, KnownDistancesInBothUnits) {
    // One degree of latitude is 60 arc minutes, stretched by the factor that is not pi/180.
    const double nm = 0.01745566 * 3437.2861;
    EXPECT_NEAR(GreatCircleDistance({10.0f, 5.0f}, {11.0f, 5.0f}, 1.0f), nm, 1e-3);
    EXPECT_NEAR(GreatCircleDistance({10.0f, 5.0f}, {11.0f, 5.0f}, 1.852f), nm * 1.852, 1e-3);
    // Symmetric, and antipodes do not give NaN.
    EXPECT_FLOAT_EQ(GreatCircleDistance(kStart, {40.7128f, 74.006f}, 1.151f),
                    GreatCircleDistance({40.7128f, 74.006f}, kStart, 1.151f));
    EXPECT_FALSE(std::isnan(GreatCircleDistance({45.0f, 0.0f}, {-45.0f, 180.0f}, 1.0f)));
    // A few metres still count: single precision alone would round them to 0.
    EXPECT_NEAR(GreatCircleDistance(kStart, North(kStart, 0.005), 1.151f), 0.005, 2e-4);
}

TEST(NavOdometer, SmallStepsAccumulateUntilTheyCount) {
    NavState nav;
    float odometer = 100.0f;
    nav.odoRef = kStart;
    GeoPoint p1 = North(kStart, 0.005);
    OdometerStep(nav, odometer, p1);
    EXPECT_EQ(odometer, 100.0f);
    EXPECT_EQ(nav.odoRef.latitude, kStart.latitude) << "a step below 0.01 keeps the reference";
    GeoPoint p2 = North(p1, 0.006);
    OdometerStep(nav, odometer, p2);
    EXPECT_NEAR(odometer, 100.011f, 5e-4);
    EXPECT_EQ(nav.odoRef.latitude, p2.latitude);
}

TEST(NavOdometer, GlitchFixIsIgnoredAndReferenceStays) {
    NavState nav;
    float odometer = 0.0f;
    nav.odoRef = kStart;
    OdometerStep(nav, odometer, North(kStart, 250.0));
    EXPECT_EQ(odometer, 0.0f);
    EXPECT_EQ(nav.odoRef.latitude, kStart.latitude);
    // The next good fix is measured from the last good position.
    OdometerStep(nav, odometer, North(kStart, 0.5));
    EXPECT_NEAR(odometer, 0.5f, 1e-3);
}

TEST(NavOdometer, TripAndTrailAdvanceOnlyFromNinetyHundredths) {
    NavState nav;
    float odometer = 0.0f;
    GeoPoint odoLastPos{};
    nav.odoRef = kStart;
    GeoPoint p = North(kStart, 0.05);
    OdometerStep(nav, odometer, p); // also starts the trip reference at p
    EXPECT_NEAR(odometer, 0.05f, 5e-4);
    EXPECT_EQ(nav.trailRef.latitude, p.latitude);

    nav.trailRef = kStart; // the trip started where the odometer did
    TripStep(nav, odoLastPos, p);
    EXPECT_EQ(nav.tripDistance, 0.0f);
    EXPECT_EQ(nav.trail.index, 0u);
    EXPECT_FALSE(IsSet(odoLastPos));

    GeoPoint q = North(kStart, 0.09);
    TripStep(nav, odoLastPos, q);
    EXPECT_NEAR(nav.tripDistance, 0.09f, 5e-4);
    EXPECT_EQ(nav.trailRef.latitude, q.latitude);
    EXPECT_EQ(odoLastPos.latitude, q.latitude);
    EXPECT_EQ(nav.trail.index, 1u);
    EXPECT_EQ(nav.trail.points[0].latitude, q.latitude);
    EXPECT_EQ(TrailPointsWritten(nav.trail), 1);
}
