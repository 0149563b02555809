// The arithmetic of the circular map view: radius, bearings with and without the heading turn,
// where a bearing lands on the frame, and the satellites' colours and directions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "render/map_geometry.h"

namespace {

const GeoPoint kHere{47.0f, 122.0f};

TEST(MapGeometry, RadiusIsSizePercentOfNinetyTruncated) {
    EXPECT_EQ(MapViewRadius(80), 71);
    EXPECT_EQ(MapViewRadius(100), 89); // the single-precision percent keeps it below 90
    EXPECT_EQ(MapViewRadius(50), 44);
    EXPECT_EQ(MapViewRadius(0), 0);
    EXPECT_EQ(MapViewRadius(65535), 58981);
}

// The degrees-per-radian constant is a touch below 180/pi: bearings are off by a few millionths.
TEST(MapGeometry, BearingsWithNorthUpAndEastToTheRight) {
    // Longitudes grow to the west, so a smaller longitude is east, on the right.
    EXPECT_NEAR(MapBearing(kHere, {47.1f, 122.0f}, 0, 0), 0.0, 1e-4);
    EXPECT_NEAR(MapBearing(kHere, {47.0f, 121.9f}, 0, 0), 90.0, 1e-4);
    EXPECT_NEAR(MapBearing(kHere, {46.9f, 122.0f}, 0, 0), 180.0, 1e-4);
    EXPECT_NEAR(MapBearing(kHere, {47.0f, 122.1f}, 0, 0), 270.0, 1e-4);
    EXPECT_NEAR(MapBearing(kHere, {47.1f, 121.9f}, 0, 0), 45.0, 1e-4);
}

TEST(MapGeometry, TheHeadingTurnsBearingsSoThatItIsUp) {
    // Heading east: north is to the left.
    EXPECT_NEAR(MapBearing(kHere, {47.1f, 122.0f}, 90, 0), 270.0, 1e-4);
    // The largest turn needs two whole turns added back.
    EXPECT_NEAR(MapBearing(kHere, {47.0f, 122.1f}, 359, 0), 271.0, 1e-4);
    EXPECT_NEAR(MapBearing(kHere, {46.9f, 122.0f}, 359, 0), 181.0, 1e-4);
    // A negative rotation takes the shown course instead.
    EXPECT_NEAR(MapBearing(kHere, {47.1f, 122.0f}, -1, 30.0f), 330.0, 1e-5);
    // The same position is straight up and not turned.
    EXPECT_EQ(MapBearing(kHere, kHere, 90, 0), 0.0);
}

TEST(MapGeometry, BearingStaysUsableWithNonsenseInputs) {
    double b = MapBearing(kHere, {47.1f, 122.0f}, -1, 1.0e30f);
    EXPECT_TRUE(std::isfinite(b));
    EXPECT_GE(b, 0.0);
    EXPECT_LE(b, 360.0);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(std::isfinite(MapBearing(kHere, {nan, 122.0f}, 0, 0)));
    EXPECT_FALSE(std::isfinite(MapBearing({47.0f, nan}, {47.1f, 122.0f}, 0, 0)));
    EXPECT_FALSE(std::isfinite(MapBearing(kHere, {47.1f, 122.0f}, -1, nan)));
}

TEST(MapGeometry, PointsAtABearingCarryTheNeedleOffset) {
    gfx::PointF up = MapPointAt(100, 50, 0, 40);
    EXPECT_NEAR(up.x, 100 + 40 * std::cos(-1.56), 1e-4);
    EXPECT_NEAR(up.y, 50 + 40 * std::sin(-1.56), 1e-4);
    EXPECT_GT(up.x, 100.4f); // 0.62 degrees clockwise of straight up
    gfx::PointF right = MapPointAt(100, 50, 90, 40);
    EXPECT_NEAR(right.x, 140, 0.01);
    EXPECT_NEAR(right.y, 50.43, 0.01);
    gfx::PointF centre = MapPointAt(100, 50, 123, 0);
    EXPECT_EQ(centre.x, 100);
    EXPECT_EQ(centre.y, 50);
}

TEST(MapGeometry, SatelliteColoursScaleEveryChannelAndStayOpaque) {
    EXPECT_EQ(SatelliteColor(0xFFC08040, 45, 45), 0xFFC08040u);
    EXPECT_EQ(SatelliteColor(0x80FF8040, 30, 60), 0xFF7F4020u); // half, alpha forced opaque
    EXPECT_EQ(SatelliteColor(0xFFC08040, 22, 45), 0xFF5D3E1Fu); // integer division per channel
    EXPECT_EQ(SatelliteColor(0xFFFFFFFF, 1, 99), 0xFF020202u);
}

TEST(MapGeometry, SatelliteDirectionTurnsWithTheHeadingUnlessNorthIsFixed) {
    EXPECT_EQ(SatelliteDirection(350, 90, true), 350);
    EXPECT_EQ(SatelliteDirection(45, 90, false), 315);
    EXPECT_EQ(SatelliteDirection(10, 0, false), 10);
    EXPECT_EQ(SatelliteDirection(300, 10, false), 290);
}

} // namespace
