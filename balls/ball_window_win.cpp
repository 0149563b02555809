#include "balls/ball_window_win.h"

#include "balls/app_win.h"
#include "balls/ball_lifecycle.h"
#include "balls/ball_list.h"

namespace {

void InitBallWindow(ZorbelApp& app, HWND window, BallRecord& ball) {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&ball));
    ball.window = window;

    SetWindowLongA(window, GWL_EXSTYLE, GetWindowLongA(window, GWL_EXSTYLE) | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, 0, kBallAlpha, LWA_ALPHA);

    // Shaped before it is shown, so it never appears, even for a moment, as a square. The
    // system owns the region once it is set.
    if (HRGN shape = ShapeRegion(app.frames.Shape())) SetWindowRgn(window, shape, FALSE);

    StartBall(app.world, app.random, ball);
    // One pixel shorter than the frame. Showing it here, without activation, keeps the dialog
    // manager from showing (and activating) it after creation: a new ball never takes the
    // focus from the program the user is in.
    SetWindowPos(window, HWND_TOP, ball.x, ball.y, app.world.frameWidth, app.world.frameHeight - 1,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void PaintBallWindow(ZorbelApp& app, HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    if (dc)
        BitBlt(dc, 0, 0, app.frames.Width(), app.frames.Height(),
               app.frames.Frame(app.world.currentFrame), 0, 0, SRCCOPY);
    EndPaint(window, &paint);
}

void ForgetBall(ZorbelApp& app, HWND window) {
    auto* ball = reinterpret_cast<BallRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    if (!ball) return;
    // A record that is not linked yet belongs to the AddBall that is creating it.
    if (!RemoveBall(app.world, ball)) ball->window = nullptr;
}

} // namespace

INT_PTR CALLBACK BallWindowProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    ZorbelApp* app = CurrentApp();
    if (!app) return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        InitBallWindow(*app, window, *reinterpret_cast<BallRecord*>(lParam));
        return TRUE;
    case WM_PAINT:
        PaintBallWindow(*app, window);
        return TRUE;
    case WM_DESTROY:
        ForgetBall(*app, window);
        return TRUE;
    default:
        return FALSE;
    }
}
