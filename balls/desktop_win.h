// The ball toy's window side on Win32: ball windows, the window walk, the batched moves and the
// frame blits.
#pragma once

#include "balls/ball_desktop.h"
#include "balls/ball_world.h"
#include "balls/frames_win.h"

#include <windows.h>

class WindowsDesktop : public BallDesktop {
  public:
    WindowsDesktop(HINSTANCE instance, const BallWorld& world, const FrameSet& frames)
        : instance_(instance), world_(world), frames_(frames) {}

    bool CreateBallWindow(BallRecord& ball) override;
    void DestroyBallWindow(BallRecord& ball) override;
    const std::vector<ScreenRect>& ObstacleWindows() override;
    void BeginMoves(int ballCount) override;
    void MoveBall(const BallRecord& ball) override;
    void EndMoves() override;
    void DrawFrame(const BallRecord& ball, int frame) override;

  private:
    HINSTANCE instance_;
    const BallWorld& world_;
    const FrameSet& frames_;
    std::vector<ScreenRect> obstacles_;
    HDWP batch_ = nullptr;
};

// The screen rectangles of the visible top-level windows in z-order, leaving out the topmost
// window, the windows of thread `ignoredThread` and the desktop window.
std::vector<ScreenRect> VisibleWindowsBelowTop(DWORD ignoredThread);
