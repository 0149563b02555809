// The course and speed hold of the frame tick and the steps it runs.
#include <gtest/gtest.h>

#include "sources/course_hold.h"
#include "sources/great_circle.h"
#include "state/nav_state.h"

namespace {

struct Tick {
    NavState nav;
    float odometer = 0.0f;
    GeoPoint odoLastPos{};

    // One frame tick's hold with the given fix.
    void Run(bool fix, float speed, float course, float lat = 47.0f, float lon = 122.0f,
             uint16_t second = 0) {
        GpsSnapshot& s = nav.builtInSnapshot;
        s.fixValid = fix ? 1 : 0;
        s.speedKnots = speed;
        s.course = course;
        s.latitude = lat;
        s.longitude = lon;
        s.utcTime.second = second;
        HoldCourseAndSpeed(nav, {odometer, odoLastPos});
    }
};

} // namespace

TEST(NavCourseHold, NothingShownUntilAFixAboveTwoAndAHalfKnots) {
    Tick t;
    t.Run(true, 2.4f, 90.0f);
    t.Run(true, 2.5f, 91.0f);
    EXPECT_EQ(t.nav.shownSpeed, 0.0f);
    EXPECT_EQ(t.nav.shownCourse, 0.0f);
    EXPECT_TRUE(t.nav.stoppedHold);
    t.Run(false, 5.0f, 92.0f); // fast but no fix: released, still nothing shown
    EXPECT_EQ(t.nav.shownSpeed, 0.0f);
    t.Run(true, 2.6f, 93.0f);
    EXPECT_EQ(t.nav.shownSpeed, 2.6f);
    EXPECT_EQ(t.nav.shownCourse, 93.0f);
    // Once released, slow fixes are shown as they are.
    t.Run(true, 0.4f, 95.0f);
    EXPECT_EQ(t.nav.shownSpeed, 0.4f);
}

TEST(NavCourseHold, CourseJumpAcrossNorthAtACrawlEngagesTheHold) {
    Tick t;
    t.Run(true, 3.0f, 359.0f);
    EXPECT_EQ(t.nav.shownCourse, 359.0f);
    t.Run(true, 1.2f, 1.0f); // -358 degrees, no wrap
    EXPECT_TRUE(t.nav.stoppedHold);
    EXPECT_EQ(t.nav.shownSpeed, 0.0f);
    EXPECT_EQ(t.nav.shownCourse, 359.0f) << "the course freezes at its last shown value";
    t.Run(true, 2.0f, 40.0f);
    EXPECT_EQ(t.nav.shownCourse, 359.0f);
    t.Run(true, 3.0f, 45.0f);
    EXPECT_EQ(t.nav.shownCourse, 45.0f);
}

TEST(NavCourseHold, JumpDoesNotHoldWhenMovingOrWithoutAPreviousFix) {
    Tick moving;
    moving.Run(true, 3.0f, 359.0f);
    moving.Run(true, 1.3f, 1.0f); // 1.3 is not below 1.3
    EXPECT_FALSE(moving.nav.stoppedHold);
    EXPECT_EQ(moving.nav.shownCourse, 1.0f);

    Tick regained;
    regained.Run(true, 3.0f, 359.0f);
    regained.Run(false, 0.0f, 359.0f);
    regained.Run(true, 0.5f, 1.0f); // no fix on the previous tick
    EXPECT_FALSE(regained.nav.stoppedHold);
    EXPECT_EQ(regained.nav.shownCourse, 1.0f);
}

TEST(NavCourseHold, StepsRunOncePerSecondAndNotWhileLatitudeStandsStill) {
    Tick t;
    const float lat0 = 47.0f;
    const float mile = static_cast<float>(1.0 / 1.151 / 3437.2861 / kDegreesToRadians);
    t.Run(true, 30.0f, 0.0f, lat0, 122.0f, 1); // starts the references
    EXPECT_EQ(t.nav.odoRef.latitude, lat0);
    EXPECT_EQ(t.nav.trailRef.latitude, lat0);

    t.Run(true, 30.0f, 0.0f, lat0 + mile, 122.0f, 1); // same second: nothing
    EXPECT_EQ(t.odometer, 0.0f);
    t.Run(true, 30.0f, 0.0f, lat0 + mile, 122.0f, 2);
    EXPECT_NEAR(t.odometer, 1.0f, 1e-3);
    EXPECT_NEAR(t.nav.tripDistance, 1.0f, 1e-3);
    EXPECT_EQ(t.odoLastPos.latitude, lat0 + mile);
    EXPECT_EQ(t.nav.lastFixSecond, 2);

    // Due east: the latitude equals odoLastPos, so the steps wait.
    t.Run(true, 30.0f, 90.0f, lat0 + mile, 121.9f, 3);
    t.Run(true, 30.0f, 90.0f, lat0 + mile, 121.8f, 4);
    EXPECT_NEAR(t.odometer, 1.0f, 1e-3);
    EXPECT_EQ(t.nav.lastFixSecond, 2);
    // The first change of latitude catches up the whole way from the references.
    t.Run(true, 30.0f, 90.0f, lat0 + mile + 0.0001f, 121.8f, 5);
    EXPECT_GT(t.odometer, 1.0f + 5.0f);
    EXPECT_EQ(t.nav.trail.index, 2u);

    // Held while standing: no steps even with new seconds.
    float before = t.odometer;
    t.Run(true, 0.5f, 200.0f, lat0 + 0.5f, 121.8f, 6);
    t.Run(true, 0.5f, 201.0f, lat0 + 0.6f, 121.8f, 7);
    EXPECT_TRUE(t.nav.stoppedHold);
    EXPECT_EQ(t.odometer, before);
}
