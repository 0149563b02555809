// The controller's automatic phase, the add limits, the tray clicks and the menu commands, with
// a scripted random source and fake windows.
#include "balls/ball_lifecycle.h"
#include "balls/ball_list.h"
#include "balls/controller.h"
#include "zorbel/fake_desktop.h"
#include "zorbel/scripted_random.h"

#include <gtest/gtest.h>

namespace {

class Controller : public ::testing::Test {
  protected:
    BallWorld world = MakeWorld();
    ScriptedRandom random;
    FakeDesktop desktop{world, random};

    Controller() {
        // Automatic events come after exactly 70 ticks and add unless a test says otherwise.
        random.AlwaysForRange(kAutoExtraTicks, 0);
        random.AlwaysForRange(2, 1);
        AddBall(world, desktop, AddLimit::Unlimited);
    }
    ~Controller() override { ClearBalls(world); }

    void Ticks(int count) {
        for (int i = 0; i < count; ++i)
            ControllerTick(world, random, desktop);
    }
    int Marked() const {
        int marked = 0;
        for (const BallRecord* ball = world.balls; ball; ball = ball->next)
            marked += ball->dyingTicks != 0;
        return marked;
    }
};

TEST_F(Controller, TheFirstAutomaticEventComesAfter200Ticks) {
    Ticks(199);
    EXPECT_EQ(CountBalls(world), 1);
    EXPECT_EQ(world.autoEvents, 0);
    Ticks(1);
    EXPECT_EQ(CountBalls(world), 2);
    EXPECT_EQ(world.autoEvents, 1);
    EXPECT_EQ(world.autoCountdown, 70);
}

TEST_F(Controller, LaterEventsComeAfter70To570Ticks) {
    random.ForRange(kAutoExtraTicks, 500);
    Ticks(200);
    EXPECT_EQ(world.autoCountdown, 570);
    Ticks(569);
    EXPECT_EQ(world.autoEvents, 1);
    Ticks(1);
    EXPECT_EQ(world.autoEvents, 2);
}

TEST_F(Controller, RemovalsStartWithTheFourthEventAndTakeTwoDrawsInThree) {
    random.AlwaysForRange(2, 0); // always "remove"
    Ticks(200 + 70 * 2);
    // Events one to three add even though the draw asked for a removal.
    EXPECT_EQ(CountBalls(world), 4);
    EXPECT_EQ(Marked(), 0);
    Ticks(70);
    EXPECT_EQ(world.autoEvents, 4);
    EXPECT_EQ(CountBalls(world), 4);
    EXPECT_EQ(LastBall(world)->dyingTicks, 1);
    // Marked balls fall away and are destroyed while the ticks run: count them with the marked.
    auto removed = [&] { return Marked() + int(desktop.destroyed.size()); };
    EXPECT_EQ(removed(), 1);
    // Draw 2 removes as well; draw 1 adds.
    random.ForRange(2, 2);
    random.ForRange(2, 1);
    Ticks(70);
    EXPECT_EQ(removed(), 2);
    EXPECT_EQ(desktop.created, 4);
    Ticks(70);
    EXPECT_EQ(desktop.created, 5);
    EXPECT_EQ(removed(), 2);
}

TEST_F(Controller, WithOneBallAutomaticEventsAlwaysAdd) {
    world.autoEvents = 10;
    random.AlwaysForRange(2, 0);
    world.autoCountdown = 1;
    Ticks(1);
    EXPECT_EQ(CountBalls(world), 2);
}

TEST_F(Controller, AutomaticAddsStopAboveTenBalls) {
    for (int i = 0; i < 10; ++i)
        AddBall(world, desktop, AddLimit::Unlimited);
    ASSERT_EQ(CountBalls(world), 11);
    world.autoCountdown = 1;
    Ticks(1);
    EXPECT_EQ(CountBalls(world), 11);
    EXPECT_EQ(world.autoEvents, 1);
}

TEST_F(Controller, TrayClicksAddUpToElevenBalls) {
    for (int i = 0; i < 9; ++i)
        AddBall(world, desktop, AddLimit::Unlimited);
    ASSERT_EQ(CountBalls(world), 10);
    EXPECT_EQ(OnTrayNotify(world, desktop, kTrayLeftButtonDown), TrayAction::None);
    EXPECT_EQ(CountBalls(world), 11);
    OnTrayNotify(world, desktop, kTrayLeftButtonDown);
    EXPECT_EQ(CountBalls(world), 11);
    EXPECT_EQ(world.userTookControl, 0u);
    // The menu's "Add 1" has no limit.
    RunMenuCommand(world, desktop, kCommandAddOne);
    EXPECT_EQ(CountBalls(world), 12);
}

TEST_F(Controller, TrayRightButtonUpOpensTheMenuOtherNotificationsDoNothing) {
    EXPECT_EQ(OnTrayNotify(world, desktop, kTrayRightButtonUp), TrayAction::OpenMenu);
    EXPECT_EQ(OnTrayNotify(world, desktop, 0x0202), TrayAction::None); // left button up
    EXPECT_EQ(OnTrayNotify(world, desktop, 0x0204), TrayAction::None); // right button down
    EXPECT_EQ(OnTrayNotify(world, desktop, 0x0200), TrayAction::None); // mouse move
    EXPECT_EQ(CountBalls(world), 1);
}

TEST_F(Controller, TheMenuEndsTheAutomaticPhaseForGood) {
    RunMenuCommand(world, desktop, kCommandAddOne);
    EXPECT_EQ(world.userTookControl, 1u);
    EXPECT_EQ(CountBalls(world), 2);
    Ticks(3000);
    EXPECT_EQ(world.autoEvents, 0);
    EXPECT_EQ(CountBalls(world), 2);
    // Tray clicks still add.
    OnTrayNotify(world, desktop, kTrayLeftButtonDown);
    EXPECT_EQ(CountBalls(world), 3);

    BallWorld other = MakeWorld();
    FakeDesktop otherDesktop(other, random);
    AddBall(other, otherDesktop, AddLimit::Unlimited);
    RunMenuCommand(other, otherDesktop, kCommandDeleteOne);
    EXPECT_EQ(other.userTookControl, 1u);
    ClearBalls(other);
}

TEST_F(Controller, DeleteOneMarksTheLastBallButNeverTheFirst) {
    RunMenuCommand(world, desktop, kCommandDeleteOne);
    EXPECT_EQ(Marked(), 0);
    AddBall(world, desktop, AddLimit::Unlimited);
    AddBall(world, desktop, AddLimit::Unlimited);
    RunMenuCommand(world, desktop, kCommandDeleteOne);
    EXPECT_EQ(LastBall(world)->dyingTicks, 1);
    // A second "Delete 1" takes another ball rather than marking the falling one again.
    LastBall(world)->dyingTicks = 3;
    RunMenuCommand(world, desktop, kCommandDeleteOne);
    EXPECT_EQ(LastBall(world)->dyingTicks, 3);
    EXPECT_EQ(world.balls->next->dyingTicks, 1);
    EXPECT_EQ(world.balls->dyingTicks, 0);
    EXPECT_FALSE(MarkLastBallForRemoval(world));
    EXPECT_EQ(world.balls->dyingTicks, 0);
}

TEST_F(Controller, CollisionTogglesAndExitAsksToEnd) {
    EXPECT_EQ(RunMenuCommand(world, desktop, kCommandCollision), CommandResult::Handled);
    EXPECT_EQ(world.windowBounce, 0u);
    RunMenuCommand(world, desktop, kCommandCollision);
    EXPECT_EQ(world.windowBounce, 1u);
    EXPECT_EQ(RunMenuCommand(world, desktop, kCommandExit), CommandResult::Exit);
    EXPECT_EQ(RunMenuCommand(world, desktop, 1), CommandResult::Ignored);
    // The whole word is compared: a command in the high half is not "Exit".
    EXPECT_EQ(RunMenuCommand(world, desktop, 0x10002), CommandResult::Ignored);
    EXPECT_EQ(world.userTookControl, 0u);
}

TEST_F(Controller, EachTickShowsTheNextFrameAndWraps) {
    for (int tick = 1; tick <= 10; ++tick) {
        Ticks(1);
        ASSERT_EQ(desktop.blits.size(), 1u);
        EXPECT_EQ(desktop.blits[0].frame, tick % kFrameCount);
    }
}

TEST_F(Controller, ANewBallStartsBelowTheTopMovingUpAndRight) {
    ClearBalls(world);
    world = MakeWorld(1280, 1024, -1280, -100);
    random.ForRange(20, 20);
    random.ForRange(10, 10);
    random.ForRange(1187, 0); // rightLimit - screenLeft - 40
    AddBall(world, desktop, AddLimit::Unlimited);
    ASSERT_EQ(CountBalls(world), 1);
    EXPECT_DOUBLE_EQ(world.balls->vx, 0.0);
    EXPECT_DOUBLE_EQ(world.balls->vy, -30.0);
    EXPECT_EQ(world.balls->x, -1260);
    EXPECT_EQ(world.balls->y, -90);
    EXPECT_EQ(world.balls->width, 53);
    EXPECT_EQ(world.balls->height, 52);
    EXPECT_EQ(world.balls->dyingTicks, 0);

    random.ForRange(20, 0);
    random.ForRange(10, 0);
    random.ForRange(1187, 1187);
    AddBall(world, desktop, AddLimit::Unlimited);
    EXPECT_DOUBLE_EQ(world.balls->next->vx, 20.0);
    EXPECT_DOUBLE_EQ(world.balls->next->vy, -20.0);
    EXPECT_EQ(world.balls->next->x, world.rightLimit - 20);
}

TEST_F(Controller, ABallWhoseWindowCannotBeMadeIsNotAdded) {
    desktop.failCreate = true;
    AddBall(world, desktop, AddLimit::Unlimited);
    EXPECT_EQ(CountBalls(world), 1);
}

} // namespace
