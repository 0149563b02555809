#include "balls/desktop_win.h"

#include "balls/ball_window_win.h"
#include "balls/zorbel_resources.h"

namespace {

struct WalkState {
    DWORD ignoredThread;
    HWND desktop;
    bool first = true;
    std::vector<ScreenRect>* out;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto& walk = *reinterpret_cast<WalkState*>(context);
    // The walk has always started below the topmost window.
    if (walk.first) {
        walk.first = false;
        return TRUE;
    }
    if (window == walk.desktop || !IsWindowVisible(window) ||
        GetWindowThreadProcessId(window, nullptr) == walk.ignoredThread)
        return TRUE;
    RECT rect;
    if (GetWindowRect(window, &rect))
        walk.out->push_back({rect.left, rect.top, rect.right, rect.bottom});
    return TRUE;
}

} // namespace

std::vector<ScreenRect> VisibleWindowsBelowTop(DWORD ignoredThread) {
    std::vector<ScreenRect> windows;
    // EnumWindows lists the top-level windows in z-order like a GetWindow walk, but from one
    // snapshot, so windows reordered meanwhile cannot make it loop.
    WalkState walk{ignoredThread, GetDesktopWindow(), true, &windows};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&walk));
    return windows;
}

bool WindowsDesktop::CreateBallWindow(BallRecord& ball) {
    HWND window = CreateDialogParamA(instance_, MAKEINTRESOURCEA(ZORBEL_DIALOG_BALL), nullptr,
                                     BallWindowProc, reinterpret_cast<LPARAM>(&ball));
    return window != nullptr;
}

void WindowsDesktop::DestroyBallWindow(BallRecord& ball) {
    DestroyWindow(static_cast<HWND>(ball.window));
}

const std::vector<ScreenRect>& WindowsDesktop::ObstacleWindows() {
    obstacles_ = VisibleWindowsBelowTop(world_.ownThread);
    return obstacles_;
}

void WindowsDesktop::BeginMoves(int ballCount) {
    batch_ = BeginDeferWindowPos(ballCount);
}

void WindowsDesktop::MoveBall(const BallRecord& ball) {
    HWND window = static_cast<HWND>(ball.window);
    constexpr UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (batch_) batch_ = DeferWindowPos(batch_, window, nullptr, ball.x, ball.y, 0, 0, flags);
    // A batch that failed is gone with all its moves: move this window at once instead, and
    // the rest of the tick's windows too.
    if (!batch_) SetWindowPos(window, nullptr, ball.x, ball.y, 0, 0, flags);
}

void WindowsDesktop::EndMoves() {
    if (batch_) EndDeferWindowPos(batch_);
    batch_ = nullptr;
}

void WindowsDesktop::DrawFrame(const BallRecord& ball, int frame) {
    HWND window = static_cast<HWND>(ball.window);
    HDC dc = GetDC(window);
    if (!dc) return;
    BitBlt(dc, 0, 0, frames_.Width(), frames_.Height(), frames_.Frame(frame), 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
}
