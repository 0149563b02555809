// What the ball toy needs from the window system, behind an interface: the Win32 glue
// implements it with real windows, the tests with fake ones.
#pragma once

#include "balls/ball_record.h"
#include "balls/ball_types.h"

#include <vector>

class BallDesktop {
  public:
    virtual ~BallDesktop() = default;

    // Creates the ball's window; its creation calls StartBall and sets `ball.window`. Returns
    // false when no window could be made.
    virtual bool CreateBallWindow(BallRecord& ball) = 0;
    // Destroys the ball's window. Its destruction takes the record out of the list and frees
    // it, so the record must not be used afterwards.
    virtual void DestroyBallWindow(BallRecord& ball) = 0;

    // The screen rectangles of the windows balls bounce on, in z-order from the top: every
    // visible top-level window after the topmost one, except this program's and the desktop.
    virtual const std::vector<ScreenRect>& ObstacleWindows() = 0;

    // One batch of window moves per tick.
    virtual void BeginMoves(int ballCount) = 0;
    virtual void MoveBall(const BallRecord& ball) = 0;
    virtual void EndMoves() = 0;
    // Copies animation frame `frame` into the ball's window.
    virtual void DrawFrame(const BallRecord& ball, int frame) = 0;
};
