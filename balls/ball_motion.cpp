#include "balls/ball_motion.h"

#include "balls/ball_list.h"

#include <algorithm>

namespace {

// A random bounce kick, -3..3.
double Kick(RandomSource& random) {
    return 3 - random.UpTo(6);
}
// A random nudge that keeps slow balls moving, -2..2.
double Nudge(RandomSource& random) {
    return 2 - random.UpTo(4);
}
// The speed a ball loses when it lands on a window, 0..2.
double LandingLoss(RandomSource& random) {
    return random.UpTo(2);
}

enum class Turn { Continue, Destroyed };

// A marked ball on the floor or on a window top: counted, and destroyed on its fifth such tick;
// until then it sinks on at a fixed speed.
Turn CountDying(BallRecord& ball, BallDesktop& desktop) {
    const int32_t before = ball.dyingTicks++;
    if (before > kDyingTicksBeforeDestroy) {
        desktop.DestroyBallWindow(ball);
        return Turn::Destroyed;
    }
    ball.vy = kDyingFallSpeed;
    return Turn::Continue;
}

// The left and right faces of a window the ball is level with.
void BounceOffFaces(BallRecord& b, int32_t x, int32_t y, const ScreenRect& w,
                    const BallWorld& world, RandomSource& random) {
    if (y < w.top || y + kBallHeight > w.bottom) return;
    // A window reaching the screen's left or right edge has no face there.
    if (w.left > world.screenLeft && x + kBallWidth >= w.left && x < w.left + kBallWidth &&
        b.vx > 0) {
        b.vx = Kick(random) - b.vx;
    } else if (w.right < world.rightLimit && x <= w.right && x > w.right - kBallWidth && b.vx < 0) {
        b.vx = Kick(random) - b.vx;
    }
}

// The top and bottom of a window the ball is above or below: landing, hitting the underside, or
// being shot out of a window that reaches the floor.
Turn BounceOffTopAndBottom(BallRecord& b, int32_t x, int32_t y, const ScreenRect& w,
                           const BallWorld& world, RandomSource& random, BallDesktop& desktop) {
    if (x < w.left || x + kBallWidth > w.right) return Turn::Continue;
    // A window whose top is at the screen's top is never a floor.
    if (w.top > world.screenTop && y + kBallHeight >= w.top && y < w.top + kBallHeight &&
        b.vy > 0) {
        if (b.dyingTicks != 0) return CountDying(b, desktop);
        b.vy = LandingLoss(random) - b.vy;
    } else if (w.bottom < world.bottomLimit && y < w.bottom && y > w.bottom - kBallHeight &&
               b.vy <= 0) {
        b.vy = -b.vy;
    } else if (w.top != world.screenTop && w.bottom >= world.bottomLimit && w.top < y &&
               y < w.bottom && b.vy > 0) {
        b.vy = kEjectSpeed;
    }
    return Turn::Continue;
}

// Mixes the velocities of two overlapping balls along one axis. `offset` is the earlier ball's
// coordinate minus the later one's.
void MixAxis(int32_t offset, double& mine, double& theirs) {
    const double e = mine;
    const double d = theirs;
    if (offset > 0) {
        mine = kMixSelf * e + kMixOther * d;
        theirs = kMixOther * e - kMixSelf * d;
    } else {
        mine = kMixOther * d - kMixSelf * e;
        theirs = kMixSelf * d + kMixOther * e;
    }
}

// Collisions with the balls after this one; each pair is handled in the earlier ball's turn.
void CollideWithLaterBalls(BallRecord& b, int32_t x, int32_t y, RandomSource& random) {
    for (BallRecord* u = b.next; u; u = u->next) {
        const bool overlap = x + kBallWidth >= u->x && x <= u->x + kBallWidth &&
                             y + kBallHeight >= u->y && y <= u->y + kBallHeight;
        if (!overlap) continue;
        MixAxis(x - u->x, b.vx, u->vx);
        MixAxis(y - u->y, b.vy, u->vy);
        b.vy += Nudge(random);
        b.vx += Nudge(random);
    }
}

// Moves one ball by its whole rule set. Returns Destroyed when the ball's window was destroyed;
// the record is gone then.
Turn StepBall(BallRecord& b, BallWorld& world, const std::vector<ScreenRect>* obstacles,
              RandomSource& random, BallDesktop& desktop) {
    int32_t x = b.x;
    int32_t y = b.y;

    // Ceiling, floor and side walls.
    if (y <= world.screenTop) b.vy = Kick(random) - b.vy;
    if (y >= world.bottomLimit) {
        if (b.dyingTicks != 0) {
            if (CountDying(b, desktop) == Turn::Destroyed) return Turn::Destroyed;
        } else {
            b.vy = Kick(random) - b.vy;
        }
    }
    if (x <= world.screenLeft || x >= world.rightLimit) b.vx = Kick(random) - b.vx;

    b.vy += kGravity;

    // Keep slow balls moving.
    if (b.vx > -4 && b.vx < 4) b.vx += Nudge(random);
    if (b.vy > -2 && b.vy < 2) b.vy += Nudge(random);

    if (obstacles) {
        for (const ScreenRect& window : *obstacles) {
            BounceOffFaces(b, x, y, window, world, random);
            if (BounceOffTopAndBottom(b, x, y, window, world, random, desktop) == Turn::Destroyed)
                return Turn::Destroyed;
        }
    }

    CollideWithLaterBalls(b, x, y, random);

    b.vy = std::clamp(b.vy, kMinSpeedY, kMaxSpeedY);
    b.vx = std::clamp(b.vx, -kMaxSpeedX, kMaxSpeedX);

    // Whole pixels only, truncated toward zero.
    y += static_cast<int32_t>(b.vy);
    x += static_cast<int32_t>(b.vx);

    if (x < world.screenLeft) {
        b.vx = -b.vx;
        x = world.screenLeft + 1;
    }
    if (y < world.screenTop) {
        b.vy = -b.vy;
        y = world.screenTop + 1;
    }
    // A marked ball keeps falling out of sight.
    if (y > world.bottomLimit && b.dyingTicks == 0) y = world.bottomLimit;
    if (x > world.rightLimit) {
        b.vx = -b.vx;
        x = world.rightLimit - 1;
    }

    b.x = x;
    b.y = y;
    desktop.MoveBall(b);
    desktop.DrawFrame(b, world.currentFrame);
    return Turn::Continue;
}

} // namespace

void StepBalls(BallWorld& world, RandomSource& random, BallDesktop& desktop) {
    desktop.BeginMoves(CountBalls(world));
    // One look at the other windows per tick: walking them again for every ball would cost a
    // round of window queries per ball and see the same windows.
    const std::vector<ScreenRect>* obstacles =
        world.windowBounce && world.balls ? &desktop.ObstacleWindows() : nullptr;
    for (BallRecord* ball = world.balls; ball; ball = ball->next) {
        // A destroyed ball ends the step; the balls after it keep their state until the next
        // tick.
        if (StepBall(*ball, world, obstacles, random, desktop) == Turn::Destroyed) break;
    }
    desktop.EndMoves();
}
