#include "balls/ball_lifecycle.h"

#include "balls/ball_list.h"

#include <memory>
#include <new>

void AddBall(BallWorld& world, BallDesktop& desktop, AddLimit limit) {
    if (limit == AddLimit::Limited && CountBalls(world) > kLimitedAddMaxBalls) return;
    std::unique_ptr<BallRecord> ball(new (std::nothrow) BallRecord{});
    if (!ball) return;
    // A ball without a window could be neither moved nor removed: it is not added.
    if (!desktop.CreateBallWindow(*ball) || !ball->window) return;
    LinkBallAtTail(world, ball.release());
}

void StartBall(const BallWorld& world, RandomSource& random, BallRecord& ball) {
    ball.vx = 20 - random.UpTo(20);
    ball.vy = -20 - random.UpTo(10);
    ball.x = world.screenLeft + 20 + random.UpTo(world.rightLimit - world.screenLeft - 40);
    ball.y = world.screenTop + 10;
}

bool MarkLastBallForRemoval(BallWorld& world) {
    // A ball already falling away is not marked again, so each removal takes its own ball.
    BallRecord* last = nullptr;
    for (BallRecord* ball = world.balls ? world.balls->next : nullptr; ball; ball = ball->next) {
        if (ball->dyingTicks == 0) last = ball;
    }
    if (!last) return false;
    last->dyingTicks = 1;
    return true;
}
