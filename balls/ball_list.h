// The list of balls in the world, in the order they were added. A linked record belongs to the
// list and is freed by RemoveBall when its window goes; a record being added is not linked yet
// and belongs to the code adding it.
#pragma once

#include "balls/ball_world.h"

int CountBalls(const BallWorld& world);
// The tail of the list, or null when there is no ball.
BallRecord* LastBall(const BallWorld& world);
void LinkBallAtTail(BallWorld& world, BallRecord* ball);
// Takes a linked record out of the list and frees it. Returns false, and leaves the record
// alone, when it is not in the list.
bool RemoveBall(BallWorld& world, BallRecord* ball);
