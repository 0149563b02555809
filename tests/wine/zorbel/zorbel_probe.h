// Looking at a running Zorbel from outside: its controller, its ball windows and their places.
#pragma once

#include "rig/rig.h"

#include <windows.h>

#include <vector>

namespace zorbel_probe {

// The hidden controller dialog of process `pid` (a dialog without the layered style), waiting
// up to `timeoutMs`; nullptr when none appeared.
HWND WaitForController(DWORD pid, DWORD timeoutMs);
// The visible ball windows of process `pid`: layered dialogs.
std::vector<HWND> BallWindows(DWORD pid);
size_t BallCount(DWORD pid);
// Waits until the process shows exactly `count` balls.
bool WaitForBallCount(DWORD pid, size_t count, DWORD timeoutMs);

// Sends a menu command to the controller and waits until it is handled.
void SendCommand(HWND controller, WPARAM command);
// Posts a tray notification (the mouse message) to the controller, as the shell does.
void PostTrayNotification(HWND controller, UINT mouseMessage);

// The visible popup menu window of process `pid`, if one is open.
HWND OpenMenu(DWORD pid);

// The virtual screen.
RECT VirtualScreen();

// Starts Zorbel from a private copy of the ready folder and waits for its controller and first
// ball.
struct RunningZorbel {
    rig::ProgramFolder folder;
    rig::Process process;
    HWND controller = nullptr;
    bool Start();
};

// A plain window of this (test) process, for the balls to land on; destroyed with the object.
class Obstacle {
  public:
    explicit Obstacle(const RECT& rect);
    ~Obstacle();
    Obstacle(const Obstacle&) = delete;
    Obstacle& operator=(const Obstacle&) = delete;
    HWND Window() const { return window_; }

  private:
    HWND window_ = nullptr;
};

} // namespace zorbel_probe
