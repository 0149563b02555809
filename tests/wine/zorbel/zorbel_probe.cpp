#include "zorbel_probe.h"

#include <string>

namespace zorbel_probe {

namespace {

constexpr UINT kTrayCallback = WM_USER + 1;

bool IsDialog(HWND window) {
    return rig::WindowClass(window) == "#32770";
}
bool IsLayered(HWND window) {
    return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
}

} // namespace

HWND WaitForController(DWORD pid, DWORD timeoutMs) {
    HWND controller = nullptr;
    rig::WaitUntil(
        [&] {
            for (HWND window : rig::WindowsOfProcess(pid)) {
                if (IsDialog(window) && !IsLayered(window) &&
                    (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT)) {
                    controller = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return controller;
}

std::vector<HWND> BallWindows(DWORD pid) {
    std::vector<HWND> balls;
    for (HWND window : rig::WindowsOfProcess(pid)) {
        if (IsDialog(window) && IsLayered(window) && IsWindowVisible(window))
            balls.push_back(window);
    }
    return balls;
}

size_t BallCount(DWORD pid) {
    return BallWindows(pid).size();
}

bool WaitForBallCount(DWORD pid, size_t count, DWORD timeoutMs) {
    return rig::WaitUntil([&] { return BallCount(pid) == count; }, timeoutMs);
}

void SendCommand(HWND controller, WPARAM command) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(controller, WM_COMMAND, command, 0, SMTO_NORMAL, 5000, &result);
}

void PostTrayNotification(HWND controller, UINT mouseMessage) {
    // Posted: the right button opens a menu whose loop would hold a sent message up.
    PostMessageA(controller, kTrayCallback, 1016, LPARAM(mouseMessage));
}

HWND OpenMenu(DWORD pid) {
    for (HWND window : rig::WindowsOfProcess(pid)) {
        if (rig::WindowClass(window) == "#32768" && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

RECT VirtualScreen() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
            top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

bool RunningZorbel::Start() {
    if (!process.Start(folder.File("Zorbel.exe"))) return false;
    controller = WaitForController(process.Id(), 15000);
    return controller && rig::WaitUntil([&] { return BallCount(process.Id()) >= 1; }, 10000);
}

namespace {

LRESULT CALLBACK ObstacleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

const char* ObstacleClass() {
    static const char* name = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ObstacleProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        windowClass.lpszClassName = "ZorbelTestObstacle";
        RegisterClassA(&windowClass);
        return "ZorbelTestObstacle";
    }();
    return name;
}

} // namespace

Obstacle::Obstacle(const RECT& rect) {
    window_ = CreateWindowExA(0, ObstacleClass(), "Obstacle", WS_POPUP | WS_VISIBLE, rect.left,
                              rect.top, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
}

Obstacle::~Obstacle() {
    if (window_) DestroyWindow(window_);
}

} // namespace zorbel_probe
