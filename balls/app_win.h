// The ball toy's program-lifetime state on Win32: the portable world plus the handles that go
// with it. One instance, owned by the controller.
#pragma once

#include "balls/ball_world.h"
#include "balls/desktop_win.h"
#include "balls/frames_win.h"
#include "balls/random_source.h"

#include <windows.h>

struct ZorbelApp {
    explicit ZorbelApp(HINSTANCE module) : instance(module), desktop(module, world, frames) {}

    HINSTANCE instance;
    HWND controller = nullptr;
    BallWorld world;
    RuntimeRandom random;
    FrameSet frames;
    WindowsDesktop desktop;
};

// The running program's state; null before RunZorbel and after it returns.
ZorbelApp* CurrentApp();
