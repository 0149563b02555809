#include "balls/controller_win.h"

#include "balls/app_win.h"
#include "balls/ball_lifecycle.h"
#include "balls/controller.h"
#include "balls/tray_win.h"
#include "balls/zorbel_resources.h"

#include <memory>

namespace {

constexpr UINT_PTR kAnimationTimer = 0;
// The fastest rate the system gives; its timer granularity sets the real one.
constexpr UINT kAnimationPeriodMs = 1;
constexpr const char* kTrayTip = "Zorbel!";

ZorbelApp* g_app = nullptr;

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

static_assert(kCommandAddOne == ZORBEL_CMD_ADD_ONE && kCommandDeleteOne == ZORBEL_CMD_DELETE_ONE &&
                  kCommandCollision == ZORBEL_CMD_COLLISION && kCommandExit == ZORBEL_CMD_EXIT,
              "menu commands of the code and the resources");
static_assert(kCommandExit == IDCANCEL, "the dialog manager's Escape and close mean Exit");

void CreateController(ZorbelApp& app, HWND window) {
    app.controller = window;
    SetVirtualScreen(app.world, GetSystemMetrics(SM_XVIRTUALSCREEN),
                     GetSystemMetrics(SM_YVIRTUALSCREEN), GetSystemMetrics(SM_CXVIRTUALSCREEN),
                     GetSystemMetrics(SM_CYVIRTUALSCREEN));
    app.world.ownThread = GetWindowThreadProcessId(window, nullptr);
    app.frames.Load(app.instance, window);
    app.world.frameWidth = app.frames.Width();
    app.world.frameHeight = app.frames.Height();
    app.random.Seed();
    AddBall(app.world, app.desktop, AddLimit::Unlimited);
    NotifyTray(app.instance, window, NIM_ADD, ZORBEL_ICON_TRAY, kTrayTip);
    SetTimer(window, kAnimationTimer, kAnimationPeriodMs, nullptr);
}

struct MenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};

void ShowTrayMenu(ZorbelApp& app, HWND window) {
    POINT cursor{};
    GetCursorPos(&cursor);
    std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter> menu(
        LoadMenuA(app.instance, MAKEINTRESOURCEA(ZORBEL_MENU_TRAY)));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu.get(), 0);
    if (!popup) return;
    CheckMenuItem(popup, ZORBEL_CMD_COLLISION,
                  MF_BYCOMMAND | (app.world.windowBounce ? MF_CHECKED : MF_UNCHECKED));
    // Without the foreground the menu would stay open when the user clicks elsewhere, and the
    // message posted after it lets the menu close properly the next time.
    SetForegroundWindow(window);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    PostMessageA(window, WM_NULL, 0, 0);
}

INT_PTR CALLBACK ControllerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ZorbelApp* app = g_app;
    if (!app) return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        CreateController(*app, window);
        return TRUE;
    case WM_TIMER:
        ControllerTick(app->world, app->random, app->desktop);
        return TRUE;
    case WM_COMMAND:
        // EndDialog rather than DestroyWindow: it ends the modal loop at once, and the dialog
        // manager then destroys the window (WM_DESTROY below).
        if (RunMenuCommand(app->world, app->desktop, static_cast<uint32_t>(wParam)) ==
            CommandResult::Exit)
            EndDialog(window, 0);
        return TRUE;
    case kTrayCallbackMessage:
        if (OnTrayNotify(app->world, app->desktop, static_cast<uint32_t>(lParam)) ==
            TrayAction::OpenMenu)
            ShowTrayMenu(*app, window);
        return TRUE;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        return TRUE;
    }
    case WM_DESTROY:
        KillTimer(window, kAnimationTimer);
        NotifyTray(app->instance, window, NIM_DELETE, 0, nullptr);
        return TRUE;
    default:
        // The shell broadcasts this when it (re)starts: the icons it showed are gone.
        if (message == TaskbarCreatedMessage() && message != 0) {
            NotifyTray(app->instance, window, NIM_ADD, ZORBEL_ICON_TRAY, kTrayTip);
            return TRUE;
        }
        return FALSE;
    }
}

} // namespace

ZorbelApp* CurrentApp() {
    return g_app;
}

int RunZorbel(HINSTANCE instance) {
    // Program lifetime: the ball windows end with the process and may paint until then.
    static ZorbelApp app(instance);
    g_app = &app;
    DialogBoxParamA(instance, MAKEINTRESOURCEA(ZORBEL_DIALOG_CONTROLLER), nullptr, ControllerProc,
                    0);
    return 0;
}
