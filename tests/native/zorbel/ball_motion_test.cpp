// The motion rules of one tick, each on its own and together, with scripted random numbers
// (unscripted kicks and nudges are zero, a landing loses 1) and fake windows.
#include "balls/ball_list.h"
#include "balls/ball_motion.h"
#include "zorbel/fake_desktop.h"
#include "zorbel/scripted_random.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int32_t kKickRange = 6;
constexpr int32_t kNudgeRange = 4;

class BallMotion : public ::testing::Test {
  protected:
    // 1280 × 1024: rightLimit 1227, bottomLimit 972.
    BallWorld world = MakeWorld();
    ScriptedRandom random;
    FakeDesktop desktop{world, random};

    ~BallMotion() override { ClearBalls(world); }

    void Step() { StepBalls(world, random, desktop); }
};

TEST_F(BallMotion, FreeFlightAddsGravityAndMovesByWholePixels) {
    BallRecord* ball = PlaceBall(world, 500, 500, 5.0, 0.0);
    Step();
    // Gravity makes vy 1, a slow vertical speed that gets a (zero) nudge.
    EXPECT_EQ(random.Asked(), (std::vector<int32_t>{kNudgeRange}));
    EXPECT_DOUBLE_EQ(ball->vy, 1.0);
    EXPECT_EQ(ball->x, 505);
    EXPECT_EQ(ball->y, 501);
    ASSERT_EQ(desktop.moves.size(), 1u);
    EXPECT_EQ(desktop.moves[0].x, 505);
    EXPECT_EQ(desktop.moves[0].y, 501);
    EXPECT_EQ(desktop.batchSize, 1);
    EXPECT_EQ(desktop.batchesEnded, 1);
}

TEST_F(BallMotion, PositionsTruncateTowardZero) {
    BallRecord* ball = PlaceBall(world, 500, 500, -3.7, 1.7);
    Step();
    EXPECT_EQ(ball->x, 497);
    EXPECT_EQ(ball->y, 502); // vy 2.7
    BallRecord* rising = PlaceBall(world, 800, 500, 10.0, -6.9);
    Step();
    EXPECT_EQ(rising->y, 495); // vy -5.9
}

TEST_F(BallMotion, CeilingFloorAndWallsReflectWithAKick) {
    random.Then(1); // kick 2
    BallRecord* ceiling = PlaceBall(world, 500, 0, 5.0, -10.0);
    Step();
    EXPECT_DOUBLE_EQ(ceiling->vy, 13.0); // 2 + 10, then gravity
    EXPECT_EQ(ceiling->y, 13);
    ClearBalls(world);

    random.Then(0); // kick 3
    BallRecord* floor = PlaceBall(world, 500, 972, 10.0, 6.0);
    Step();
    EXPECT_DOUBLE_EQ(floor->vy, -2.0); // 3 - 6 + 1: not slow enough for a nudge
    EXPECT_EQ(floor->y, 970);
    ClearBalls(world);

    BallRecord* left = PlaceBall(world, 0, 500, -5.0, 10.0);
    BallRecord* right = PlaceBall(world, 1227, 300, 5.0, 10.0);
    Step();
    EXPECT_DOUBLE_EQ(left->vx, 5.0);
    EXPECT_EQ(left->x, 5);
    EXPECT_DOUBLE_EQ(right->vx, -5.0);
    EXPECT_EQ(right->x, 1222);
}

TEST_F(BallMotion, SlowBallsAreNudged) {
    random.Then(0); // vx nudge +2
    random.Then(4); // vy nudge -2
    BallRecord* ball = PlaceBall(world, 500, 500, 3.5, 0.5);
    Step();
    EXPECT_DOUBLE_EQ(ball->vx, 5.5);
    EXPECT_DOUBLE_EQ(ball->vy, -0.5);
    // At -4 and 4 (and vy -2, 2 after gravity) nothing is nudged.
    BallRecord* edge = PlaceBall(world, 800, 500, 4.0, -3.0);
    const size_t before = random.Asked().size();
    Step();
    EXPECT_DOUBLE_EQ(edge->vx, 4.0);
    EXPECT_DOUBLE_EQ(edge->vy, -2.0);
    // The first ball (now 5.5, 0.5) asks for one nudge only.
    EXPECT_EQ(random.Asked().size(), before + 1);
}

TEST_F(BallMotion, ABallRestingOnTheFloorKeepsHopping) {
    SeededRandom seeded(7);
    FakeDesktop hopDesktop(world, seeded);
    BallRecord* ball = PlaceBall(world, 600, 972, 0.0, 0.0);
    int lowest = 972;
    int floorTicks = 0;
    for (int tick = 0; tick < 400; ++tick) {
        StepBalls(world, seeded, hopDesktop);
        lowest = std::min(lowest, ball->y);
        floorTicks += ball->y == 972;
        ASSERT_LE(ball->y, 972);
    }
    EXPECT_LT(lowest, 972 - 5) << "the ball never left the floor";
    EXPECT_GT(floorTicks, 10) << "the ball never came back to the floor";
}

TEST_F(BallMotion, LimitsClampBothComponents) {
    BallRecord* ball = PlaceBall(world, 500, 500, 40.0, -50.0);
    Step();
    EXPECT_DOUBLE_EQ(ball->vx, 20.0);
    EXPECT_DOUBLE_EQ(ball->vy, -30.0);
    EXPECT_EQ(ball->y, 470);
    BallRecord* down = PlaceBall(world, 100, 100, -40.0, 50.0);
    Step();
    EXPECT_DOUBLE_EQ(down->vx, -20.0);
    EXPECT_DOUBLE_EQ(down->vy, 20.0);
}

TEST_F(BallMotion, PastTheLeftOrTopEdgeMeansCoordinateOneAndReversedVelocity) {
    BallRecord* ball = PlaceBall(world, 2, 3, -10.0, -10.0);
    Step();
    EXPECT_EQ(ball->x, 1);
    EXPECT_DOUBLE_EQ(ball->vx, 10.0);
    EXPECT_EQ(ball->y, 1);
    EXPECT_DOUBLE_EQ(ball->vy, 9.0);
}

TEST_F(BallMotion, PastTheRightEdgeOrTheFloor) {
    BallRecord* right = PlaceBall(world, 1220, 500, 15.0, 5.0);
    BallRecord* falling = PlaceBall(world, 300, 960, 5.0, 19.0);
    BallRecord* marked = PlaceBall(world, 700, 960, 5.0, 19.0);
    marked->dyingTicks = 1;
    Step();
    EXPECT_EQ(right->x, 1226);
    EXPECT_DOUBLE_EQ(right->vx, -15.0);
    EXPECT_EQ(falling->y, 972);
    // A marked ball keeps falling out of sight.
    EXPECT_EQ(marked->y, 980);
}

TEST_F(BallMotion, EdgesFollowTheVirtualScreensOrigin) {
    // A second monitor left of and above the primary one: origin (-1280, -200).
    world = MakeWorld(2560, 1224, -1280, -200);
    BallRecord* ball = PlaceBall(world, -1278, -197, -10.0, -10.0);
    Step();
    EXPECT_EQ(ball->x, -1279);
    EXPECT_EQ(ball->y, -199);
    // Negative positions on the primary's left are ordinary screen, not an edge.
    BallRecord* left = PlaceBall(world, -5, 300, -10.0, 10.0);
    Step();
    EXPECT_EQ(left->x, -15);
}

TEST_F(BallMotion, AMarkedBallOnTheFloorIsDestroyedOnItsFifthFloorTick) {
    BallRecord* ball = PlaceBall(world, 500, 972, 5.0, 0.0);
    ball->dyingTicks = 1;
    BallWindowHandle window = ball->window;
    for (int tick = 1; tick <= 4; ++tick) {
        Step();
        ASSERT_EQ(CountBalls(world), 1) << "tick " << tick;
        EXPECT_EQ(ball->dyingTicks, tick + 1);
        EXPECT_DOUBLE_EQ(ball->vy, 6.0); // the dying fall speed plus gravity
    }
    Step();
    EXPECT_EQ(CountBalls(world), 0);
    EXPECT_EQ(desktop.destroyed, (std::vector<BallWindowHandle>{window}));
    EXPECT_EQ(desktop.batchesEnded, 5);
    EXPECT_FALSE(desktop.inBatch);
}

TEST_F(BallMotion, ADestroyedBallEndsTheStepForTheBallsAfterIt) {
    BallRecord* first = PlaceBall(world, 100, 100, 10.0, 10.0);
    BallRecord* dying = PlaceBall(world, 500, 980, 0.0, 5.0);
    dying->dyingTicks = 5;
    BallRecord* last = PlaceBall(world, 900, 100, 10.0, 10.0);
    Step();
    EXPECT_EQ(CountBalls(world), 2);
    EXPECT_EQ(first->x, 110);
    EXPECT_EQ(last->x, 900); // untouched until the next tick
    EXPECT_DOUBLE_EQ(last->vx, 10.0);
    ASSERT_EQ(desktop.moves.size(), 1u);
    EXPECT_EQ(desktop.moves[0].window, first->window);
    EXPECT_EQ(desktop.blits.size(), 1u);
    EXPECT_EQ(desktop.batchesEnded, 1);
    Step();
    EXPECT_EQ(last->x, 910);
}

TEST_F(BallMotion, EveryBallShowsTheCurrentFrame) {
    PlaceBall(world, 100, 100, 10.0, 10.0);
    PlaceBall(world, 400, 100, 10.0, 10.0);
    world.currentFrame = 6;
    Step();
    ASSERT_EQ(desktop.blits.size(), 2u);
    EXPECT_EQ(desktop.blits[0].frame, 6);
    EXPECT_EQ(desktop.blits[1].frame, 6);
    EXPECT_EQ(desktop.batchSize, 2);
}

// --- other programs' windows ---------------------------------------------------------------

TEST_F(BallMotion, LeftAndRightFacesReflectOnlyBallsMovingIntoThem) {
    desktop.windows = {{600, 400, 900, 700}};
    BallRecord* intoLeft = PlaceBall(world, 547, 500, 6.0, 5.0);
    BallRecord* awayFromLeft = PlaceBall(world, 547, 200, -6.0, 5.0); // not level: above
    BallRecord* intoRight = PlaceBall(world, 880, 600, -6.0, 5.0);
    Step();
    EXPECT_DOUBLE_EQ(intoLeft->vx, -6.0);
    EXPECT_DOUBLE_EQ(awayFromLeft->vx, -6.0);
    EXPECT_DOUBLE_EQ(intoRight->vx, 6.0);
}

TEST_F(BallMotion, AWindowTouchingTheLeftEdgeHasNoLeftFace) {
    desktop.windows = {{0, 400, 300, 700}};
    BallRecord* ball = PlaceBall(world, 10, 500, 6.0, 5.0);
    Step();
    EXPECT_DOUBLE_EQ(ball->vx, 6.0);
    ClearBalls(world);
    desktop.windows = {{1, 400, 300, 700}};
    ball = PlaceBall(world, 10, 500, 6.0, 5.0);
    Step();
    EXPECT_DOUBLE_EQ(ball->vx, -6.0);
}

TEST_F(BallMotion, AWindowReachingTheRightLimitHasNoRightFace) {
    desktop.windows = {{900, 400, 1227, 700}};
    BallRecord* ball = PlaceBall(world, 1200, 500, -6.0, 5.0);
    Step();
    EXPECT_DOUBLE_EQ(ball->vx, -6.0);
}

TEST_F(BallMotion, ABallLandsOnAWindowTopAndLosesSpeed) {
    desktop.windows = {{400, 600, 900, 700}};
    random.ForRange(2, 2); // landing loss 2
    BallRecord* ball = PlaceBall(world, 500, 550, 6.0, 5.0);
    Step();
    EXPECT_DOUBLE_EQ(ball->vy, -4.0); // 2 - (5 + 1)
    EXPECT_EQ(ball->y, 546);
    // Not over the window's whole width: no landing.
    BallRecord* overhang = PlaceBall(world, 870, 550, 6.0, 5.0);
    Step();
    EXPECT_GT(overhang->vy, 0.0);
}

TEST_F(BallMotion, AWindowWithItsTopAtTheScreenTopIsNeverAFloor) {
    desktop.windows = {{400, 0, 900, 300}};
    BallRecord* ball = PlaceBall(world, 500, 5, 6.0, 5.0);
    Step();
    EXPECT_DOUBLE_EQ(ball->vy, 6.0);
    ClearBalls(world);
    desktop.windows = {{400, 1, 900, 300}};
    ball = PlaceBall(world, 500, 5, 6.0, 5.0);
    Step();
    EXPECT_DOUBLE_EQ(ball->vy, -5.0); // landing loss 1
}

TEST_F(BallMotion, ARisingBallBouncesOffAWindowsUnderside) {
    desktop.windows = {{400, 600, 900, 700}};
    BallRecord* ball = PlaceBall(world, 500, 680, 6.0, -10.0);
    Step();
    EXPECT_DOUBLE_EQ(ball->vy, 9.0);
    EXPECT_EQ(ball->y, 689);
}

TEST_F(BallMotion, ABallTrappedInAWindowReachingTheFloorIsShotUp) {
    desktop.windows = {{400, 300, 900, 1024}};
    BallRecord* ball = PlaceBall(world, 500, 500, 6.0, 3.0);
    Step();
    EXPECT_DOUBLE_EQ(ball->vy, -30.0);
    EXPECT_EQ(ball->y, 470);
    // A window ending above the floor does not trap.
    ClearBalls(world);
    desktop.windows = {{400, 300, 900, 960}};
    ball = PlaceBall(world, 500, 500, 6.0, 3.0);
    Step();
    EXPECT_DOUBLE_EQ(ball->vy, 4.0);
}

TEST_F(BallMotion, AMarkedBallLandingOnAWindowIsCountedAndDestroyed) {
    desktop.windows = {{400, 600, 900, 700}};
    BallRecord* ball = PlaceBall(world, 500, 560, 6.0, 5.0);
    ball->dyingTicks = 1;
    Step();
    EXPECT_EQ(ball->dyingTicks, 2);
    EXPECT_DOUBLE_EQ(ball->vy, 5.0);
    EXPECT_EQ(ball->y, 565); // sinks into the window
    ball->dyingTicks = 5;
    Step();
    EXPECT_EQ(CountBalls(world), 0);
}

TEST_F(BallMotion, WindowsAreIgnoredWhileCollisionIsOff) {
    desktop.windows = {{400, 600, 900, 700}};
    world.windowBounce = 0;
    BallRecord* ball = PlaceBall(world, 500, 550, 6.0, 5.0);
    Step();
    EXPECT_DOUBLE_EQ(ball->vy, 6.0);
    EXPECT_EQ(desktop.obstacleQueries, 0);
}

TEST_F(BallMotion, EveryWindowOfTheWalkCounts) {
    // A ball between two windows bounces off both faces in one tick: reflected twice.
    desktop.windows = {{600, 400, 900, 700}, {200, 400, 560, 700}};
    random.Then(0); // first face: kick 3
    BallRecord* ball = PlaceBall(world, 550, 500, 6.0, 5.0);
    Step();
    // 3 - 6 = -3 (left face of the first), then the second window's right face: 0 - (-3) = 3.
    EXPECT_DOUBLE_EQ(ball->vx, 3.0);
}

// --- other balls -------------------------------------------------------------------------------

TEST_F(BallMotion, OverlappingBallsWithEqualVelocitiesSeparate) {
    BallRecord* later = PlaceBall(world, 500, 500, 5.0, 5.0);
    // The earlier ball is the head of the list.
    auto* earlier = new BallRecord{};
    earlier->window = reinterpret_cast<BallWindowHandle>(0x77);
    earlier->x = 510;
    earlier->y = 510;
    earlier->vx = 5.0;
    earlier->vy = 5.0;
    earlier->next = later;
    world.balls = earlier;

    Step();
    // Earlier: vx 5 + 0.6·5 = 8, vy (5 + 1) + 0.6·5 = 9. Later: vx 0.6·5 - 5 = -2,
    // vy 0.6·6 - 5 = -1.4, then its own gravity.
    EXPECT_DOUBLE_EQ(earlier->vx, 8.0);
    EXPECT_DOUBLE_EQ(earlier->vy, 9.0);
    EXPECT_DOUBLE_EQ(later->vx, -2.0);
    EXPECT_NEAR(later->vy, -0.4, 1e-12);
    EXPECT_EQ(earlier->x, 518);
    EXPECT_EQ(later->x, 498);
    EXPECT_GT(earlier->x - later->x, 10);
}

TEST_F(BallMotion, TheEarlierBallBehindMixesTheOtherWay) {
    BallRecord* earlier = PlaceBall(world, 500, 500, 2.0, 4.0);
    BallRecord* later = PlaceBall(world, 520, 530, -3.0, -6.0);
    // Earlier's slow vx nudge 0, then the collision's nudges: vy 0, vx +2.
    random = ScriptedRandom{2, 2, 0};
    Step();
    // E = 2, D = -3 with x - U.x < 0: B.vx = 0.6·(-3) - 2 = -3.8, then +2; U.vx = -3 + 0.6·2.
    EXPECT_DOUBLE_EQ(earlier->vx, -1.8);
    // H = 5 (after gravity), F = -6: B.vy = 0.6·(-6) - 5; U.vy = -6 + 0.6·5, then its gravity.
    EXPECT_DOUBLE_EQ(earlier->vy, -8.6);
    EXPECT_NEAR(later->vx, -1.8, 1e-12);
    EXPECT_DOUBLE_EQ(later->vy, -2.0);
}

TEST_F(BallMotion, CollisionsAreTestedOnlyAgainstLaterBalls) {
    BallRecord* first = PlaceBall(world, 500, 500, 10.0, 10.0);
    BallRecord* second = PlaceBall(world, 1000, 100, 10.0, 10.0); // far away
    BallRecord* third = PlaceBall(world, 520, 520, 10.0, 10.0);
    Step();
    // The pair is mixed once, in the first ball's turn, with its two nudges; the third ball's
    // turn does not mix it again with the first.
    EXPECT_EQ(random.Asked(), (std::vector<int32_t>{kNudgeRange, kNudgeRange}));
    EXPECT_DOUBLE_EQ(first->vx, -4.0);
    EXPECT_DOUBLE_EQ(first->vy, -5.0);
    EXPECT_DOUBLE_EQ(second->vx, 10.0);
    EXPECT_DOUBLE_EQ(third->vx, 16.0);
    EXPECT_DOUBLE_EQ(third->vy, 17.6);
}

} // namespace
