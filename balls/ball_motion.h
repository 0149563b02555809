// One animation step of every ball: gravity, the screen edges, other programs' windows and the
// other balls, then one batch of window moves and one frame blit per ball.
#pragma once

#include "balls/ball_desktop.h"
#include "balls/ball_world.h"
#include "balls/random_source.h"

// Motion constants.
constexpr double kGravity = 1.0;
constexpr double kMaxSpeedX = 20.0;
constexpr double kMinSpeedY = -30.0; // fastest upward
constexpr double kMaxSpeedY = 20.0;  // fastest downward
constexpr double kMixSelf = 1.0;     // collision mixing weight of a ball's own velocity
constexpr double kMixOther = 0.6;    // and of the other ball's
constexpr double kDyingFallSpeed = 5.0;
constexpr double kEjectSpeed = -30.0;
// A marked ball is destroyed on its fifth tick on the floor or on a window top.
constexpr int32_t kDyingTicksBeforeDestroy = 4;

void StepBalls(BallWorld& world, RandomSource& random, BallDesktop& desktop);
