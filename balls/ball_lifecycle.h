// Adding balls, starting a new ball's motion and marking a ball for removal.
#pragma once

#include "balls/ball_desktop.h"
#include "balls/ball_world.h"
#include "balls/random_source.h"

// Limited adds (tray clicks, automatic adds) stop once more than this many balls exist.
constexpr int kLimitedAddMaxBalls = 10;
// Opacity of every ball window.
constexpr int kBallAlpha = 200;

enum class AddLimit { Limited, Unlimited };

// Adds one ball with its window at the tail of the list; adds nothing when the limit applies or
// the record or window cannot be made.
void AddBall(BallWorld& world, BallDesktop& desktop, AddLimit limit);

// A new ball's start: up and to the right (or straight up), 10 pixels below the screen's top.
void StartBall(const BallWorld& world, RandomSource& random, BallRecord& ball);

// Marks the last living ball other than the first for removal; the first ball is never
// marked. Returns false when no ball could be marked.
bool MarkLastBallForRemoval(BallWorld& world);
