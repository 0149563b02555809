#include "balls/ball_list.h"

int CountBalls(const BallWorld& world) {
    int count = 0;
    for (const BallRecord* ball = world.balls; ball; ball = ball->next)
        ++count;
    return count;
}

BallRecord* LastBall(const BallWorld& world) {
    BallRecord* ball = world.balls;
    while (ball && ball->next)
        ball = ball->next;
    return ball;
}

void LinkBallAtTail(BallWorld& world, BallRecord* ball) {
    ball->next = nullptr;
    if (BallRecord* last = LastBall(world))
        last->next = ball;
    else
        world.balls = ball;
}

bool RemoveBall(BallWorld& world, BallRecord* ball) {
    for (BallRecord** link = &world.balls; *link; link = &(*link)->next) {
        if (*link == ball) {
            *link = ball->next;
            delete ball;
            return true;
        }
    }
    return false;
}
