#include <gtest/gtest.h>

#include "state/app_state.h"
#include "shell/frame_tick.h"
#include "state/nav_state.h"
#include "state/trail_ring.h"

namespace {

struct Tick {
    AppState app;
    NavState nav;
    FrameTickContext context;
    GpsSnapshot& gps() { return nav.builtInSnapshot; }
    void Fix(float speed, float course, float lat, float lon, uint16_t second) {
        gps().fixValid = 1;
        gps().speedKnots = speed;
        gps().course = course;
        gps().latitude = lat;
        gps().longitude = lon;
        gps().utcTime.second = second;
    }
};

TEST(FrameTick, HeadingFollowsTheShownCourseOnlyWhenMoving) {
    Tick t;
    // Standing still with a fix: the hold keeps the shown course at 0, the rose turns to it.
    t.Fix(0.5f, 90.0f, 51.0f, 1.0f, 1);
    AdvanceNavigation(t.app, t.nav, t.context);
    EXPECT_EQ(t.app.displayedHeading, 120); // 180 towards 0
    // Moving: the rose swings towards the course, a third at a time.
    t.Fix(10.0f, 90.0f, 51.0f, 1.0f, 2);
    AdvanceNavigation(t.app, t.nav, t.context);
    EXPECT_FLOAT_EQ(t.nav.shownCourse, 90.0f);
    EXPECT_EQ(t.app.displayedHeading, 110);
}

TEST(FrameTick, HeadingStaysWithoutAKindThatReadsIt) {
    Tick t;
    t.app.skin.shownMask[0] = 0x2; // heading tape alone
    t.Fix(10.0f, 90.0f, 51.0f, 1.0f, 1);
    AdvanceNavigation(t.app, t.nav, t.context);
    EXPECT_FLOAT_EQ(t.nav.shownCourse, 90.0f);
    EXPECT_EQ(t.app.displayedHeading, 180);
}

TEST(FrameTick, ConfigurationPreviewTurnsTheRose) {
    Tick t;
    t.app.displayedHeading = 0;
    t.context.configDialogOpen = true;
    t.context.dialogKind = 2;
    AdvanceNavigation(t.app, t.nav, t.context);
    EXPECT_EQ(t.app.displayedHeading, 3); // target 10: a third of the way
    // Not while a recording plays, nor for another kind.
    Tick u;
    u.app.displayedHeading = 90;
    u.context.configDialogOpen = true;
    u.context.dialogKind = 2;
    u.context.playbackActive = true;
    AdvanceNavigation(u.app, u.nav, u.context);
    EXPECT_EQ(u.app.displayedHeading, 60); // towards the shown course 0
}

TEST(FrameTick, AFixAfterAGapBreaksTheTrail) {
    Tick t;
    t.nav.trail.points[0] = GeoPoint{51.0f, 1.0f};
    t.nav.trail.index = 1;
    t.Fix(0.0f, 0.0f, 51.0f, 1.0f, 1);
    AdvanceNavigation(t.app, t.nav, t.context); // no fix before: break
    EXPECT_EQ(t.nav.trail.index, 2u);
    EXPECT_TRUE(t.nav.fixSeen);
    AdvanceNavigation(t.app, t.nav, t.context); // fix continues: no break
    EXPECT_EQ(t.nav.trail.index, 2u);
    t.gps().fixValid = 0;
    AdvanceNavigation(t.app, t.nav, t.context);
    EXPECT_FALSE(t.nav.fixSeen);
}

TEST(FrameTick, OdometerAdvancesIntoTheSettings) {
    Tick t;
    t.Fix(30.0f, 0.0f, 51.0f, 1.0f, 1);
    AdvanceNavigation(t.app, t.nav, t.context);
    t.Fix(30.0f, 0.0f, 51.01f, 1.0f, 2); // about 0.69 statute miles north
    AdvanceNavigation(t.app, t.nav, t.context);
    EXPECT_NEAR(t.app.odometer, 0.69f, 0.02f);
    EXPECT_FLOAT_EQ(t.app.odoLastPos.latitude, 51.01f);
}

} // namespace
