#include "balls/controller.h"

#include "balls/ball_lifecycle.h"
#include "balls/ball_list.h"
#include "balls/ball_motion.h"

void ControllerTick(BallWorld& world, RandomSource& random, BallDesktop& desktop) {
    world.currentFrame = (world.currentFrame + 1) % kFrameCount;
    StepBalls(world, random, desktop);
    // Once the user has taken over the countdown no longer matters; it stops rather than run
    // down for ever.
    if (world.userTookControl) return;
    if (--world.autoCountdown > 0) return;
    world.autoCountdown = kAutoMinTicks + random.UpTo(kAutoExtraTicks);
    ++world.autoEvents;
    const int32_t draw = random.UpTo(2);
    if (draw != 1 && CountBalls(world) >= 2 && world.autoEvents >= kAutoFirstRemovalEvent)
        MarkLastBallForRemoval(world);
    else
        AddBall(world, desktop, AddLimit::Limited);
}

TrayAction OnTrayNotify(BallWorld& world, BallDesktop& desktop, uint32_t mouseMessage) {
    switch (mouseMessage) {
    case kTrayLeftButtonDown:
        AddBall(world, desktop, AddLimit::Limited);
        return TrayAction::None;
    case kTrayRightButtonUp:
        return TrayAction::OpenMenu;
    default:
        return TrayAction::None;
    }
}

CommandResult RunMenuCommand(BallWorld& world, BallDesktop& desktop, uint32_t command) {
    switch (command) {
    case kCommandAddOne:
        world.userTookControl = 1;
        AddBall(world, desktop, AddLimit::Unlimited);
        return CommandResult::Handled;
    case kCommandDeleteOne:
        world.userTookControl = 1;
        MarkLastBallForRemoval(world);
        return CommandResult::Handled;
    case kCommandCollision:
        world.windowBounce = world.windowBounce ? 0 : 1;
        return CommandResult::Handled;
    case kCommandExit:
        return CommandResult::Exit;
    default:
        return CommandResult::Ignored;
    }
}
