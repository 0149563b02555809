// Trajectories over many ticks, checked against what the physics of the toy gives: gravity of
// one pixel per tick per tick with a terminal speed, reflections that never add energy when the
// random kicks are zero, and a whole run of the toy that keeps every ball inside its limits.
#include "balls/ball_lifecycle.h"
#include "balls/ball_list.h"
#include "balls/ball_motion.h"
#include "balls/controller.h"
#include "zorbel/fake_desktop.h"
#include "zorbel/scripted_random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

constexpr int32_t kTerminalSpeed = 20; // the downward speed limit

// Ticks a ball dropped from rest needs to fall `height` pixels: after n ticks it has moved
// 1 + 2 + ... + n = n(n + 1) / 2 pixels until the speed reaches its limit, then the limit a tick.
int32_t TicksToFall(int32_t height) {
    const int32_t freeFall = kTerminalSpeed * (kTerminalSpeed + 1) / 2;
    if (height <= freeFall) return int32_t(std::ceil((std::sqrt(8.0 * height + 1.0) - 1.0) / 2.0));
    return kTerminalSpeed + (height - freeFall + kTerminalSpeed - 1) / kTerminalSpeed;
}

TEST(BallTrajectory, ADropFromRestReachesTheFloorWhenTheFormulaSays) {
    for (const int32_t height : {1, 3, 10, 55, 100, 209, 210, 211, 500, 971}) {
        BallWorld world = MakeWorld(1280, 1024); // floor at 972
        ScriptedRandom random;                   // every kick and nudge zero
        FakeDesktop desktop(world, random);
        BallRecord* ball = PlaceBall(world, 400, world.bottomLimit - height, 0.0, 0.0);
        int32_t ticks = 0;
        while (ball->y < world.bottomLimit && ticks < 1000) {
            StepBalls(world, random, desktop);
            ++ticks;
        }
        EXPECT_EQ(ticks, TicksToFall(height)) << "height " << height;
        EXPECT_DOUBLE_EQ(ball->vy, double(std::min(ticks, kTerminalSpeed))) << "height " << height;
        EXPECT_EQ(ball->x, 400) << "a ball dropped straight falls straight";
        ClearBalls(world);
    }
}

TEST(BallTrajectory, WithoutKicksEnergyOnlyFallsAtEachBounce) {
    BallWorld world = MakeWorld(1280, 1024);
    ScriptedRandom random;
    FakeDesktop desktop(world, random);
    const int32_t dropHeight = 600;
    BallRecord* ball = PlaceBall(world, 100, world.bottomLimit - dropHeight, 7.0, 0.0);

    // The heights the ball rises to between two floor contacts.
    std::vector<int32_t> rebounds;
    int32_t apex = world.bottomLimit;
    bool leftTheFloor = false;
    for (int tick = 0; tick < 3000; ++tick) {
        StepBalls(world, random, desktop);
        ASSERT_EQ(std::fabs(ball->vx), 7.0) << "the walls reflect without a kick, tick " << tick;
        if (ball->y >= world.bottomLimit) {
            if (leftTheFloor) rebounds.push_back(world.bottomLimit - apex);
            leftTheFloor = false;
            apex = world.bottomLimit;
        } else {
            leftTheFloor = true;
            apex = std::min(apex, ball->y);
        }
    }
    ASSERT_GE(rebounds.size(), 10u);
    EXPECT_LT(rebounds.front(), dropHeight) << "the first bounce loses height";
    for (size_t i = 1; i < rebounds.size(); ++i)
        EXPECT_LE(rebounds[i], rebounds[i - 1]) << "bounce " << i << " rose higher";
    EXPECT_LT(rebounds.back(), rebounds.front() / 2) << "the bounces die down";
    ClearBalls(world);
}

TEST(BallTrajectory, AWholeRunKeepsEveryBallInsideItsLimits) {
    // Controller ticks with real random draws, four balls, three windows, a removal and window
    // collisions switched off half-way.
    BallWorld world = MakeWorld(1280, 1024);
    SeededRandom random(20261207);
    FakeDesktop desktop(world, random);
    desktop.windows = {{300, 600, 700, 760}, {820, 420, 1100, 1024}, {0, 200, 260, 330}};
    for (int i = 0; i < 4; ++i)
        AddBall(world, desktop, AddLimit::Unlimited);

    int removalTick = -1;
    for (int tick = 1; tick <= 900; ++tick) {
        if (tick == 150) MarkLastBallForRemoval(world);
        if (tick == 600) RunMenuCommand(world, desktop, kCommandCollision);
        ControllerTick(world, random, desktop);
        if (removalTick < 0 && !desktop.destroyed.empty()) removalTick = tick;
        for (const BallRecord* ball = world.balls; ball; ball = ball->next) {
            ASSERT_GE(ball->x, 0) << "tick " << tick;
            ASSERT_LE(ball->x, world.rightLimit) << "tick " << tick;
            ASSERT_GE(ball->y, 0) << "tick " << tick;
            if (ball->dyingTicks == 0) {
                ASSERT_LE(ball->y, world.bottomLimit) << "tick " << tick;
            }
            ASSERT_TRUE(ball->vx >= -20.0 && ball->vx <= 20.0) << "tick " << tick;
            // Limited to -30..20, then reversed by the top edge when pushed past it.
            ASSERT_TRUE(ball->vy >= -30.0 && ball->vy <= 30.0) << "tick " << tick;
        }
    }
    // The marked ball falls out at 5 pixels a tick plus gravity and goes on its fifth count.
    EXPECT_GT(removalTick, 150);
    EXPECT_LT(removalTick, 150 + 100);
    ClearBalls(world);
}

} // namespace
