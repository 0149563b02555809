#include "shell/desktop_win.h"

#include <shellapi.h>

#include <cstring>

#include "state/app_state.h"
#include "shell/resource_ids.h"

namespace {

// The shell's tray record in the version 3 form the program has always passed (mingw's full
// structure is longer).
NOTIFYICONDATAA TrayRecord(HWND window) {
    NOTIFYICONDATAA data;
    std::memset(&data, 0, sizeof(data));
    data.cbSize = NOTIFYICONDATAA_V3_SIZE;
    data.hWnd = window;
    data.uID = kTrayIconId;
    return data;
}

void CheckItem(HMENU menu, UINT id, bool checked) {
    CheckMenuItem(menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

} // namespace

// The version 3 record: 504 bytes in a 32-bit program; the handles make it 520 in a 64-bit one.
static_assert(NOTIFYICONDATAA_V3_SIZE == (sizeof(void*) == 8 ? 520 : 504), "tray record size");

bool AddTrayIcon(HWND window, HINSTANCE instance) {
    NOTIFYICONDATAA data = TrayRecord(window);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = static_cast<HICON>(
        LoadImageA(instance, MAKEINTRESOURCEA(IDI_VANTREL), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    std::strncpy(data.szTip, kTrayTip, sizeof(data.szTip) - 1);
    const bool added = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
    if (data.hIcon != nullptr) {
        DestroyIcon(data.hIcon); // the shell keeps its own copy
    }
    return added;
}

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

bool DeleteTrayIcon(HWND window) {
    NOTIFYICONDATAA data = TrayRecord(window);
    return Shell_NotifyIconA(NIM_DELETE, &data) != FALSE;
}

void ShowTrayMenu(HWND window, HINSTANCE instance) {
    POINT at{};
    GetCursorPos(&at);
    HMENU menu = LoadMenuA(instance, MAKEINTRESOURCEA(IDM_TRAY_MENU));
    if (menu == nullptr) {
        return;
    }
    HMENU popup = GetSubMenu(menu, 0);
    if (popup != nullptr) {
        const AppState& app = App();
        CheckItem(popup, IDM_START_WITH_WINDOWS, HasOption(app, kOptionStartWithWindows));
        CheckItem(popup, IDM_HIDE_MOUSE, HasOption(app, kOptionHideMouse));
        CheckItem(popup, IDM_TRIP_LOG, app.tripLogOn != 0);
        CheckItem(popup, IDM_ALWAYS_ON_TOP, HasOption(app, kOptionAlwaysOnTop));
        // Without the foreground the menu would stay open when the user clicks elsewhere, and
        // the message posted after it lets the menu close properly the next time.
        SetForegroundWindow(window);
        TrackPopupMenu(popup, TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr);
        PostMessageA(window, WM_NULL, 0, 0);
    }
    DestroyMenu(menu);
}

void HidePointer() {
    // One pixel whose AND bit is 1 and XOR bit is 0: the screen shows through unchanged.
    const BYTE andPlane[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    const BYTE xorPlane[4] = {0x00, 0x00, 0x00, 0x00};
    HCURSOR blank = CreateCursor(App().instance ? static_cast<HINSTANCE>(App().instance)
                                                : GetModuleHandleA(nullptr),
                                 0, 0, 1, 1, andPlane, xorPlane);
    HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    if (arrow == nullptr) {
        if (blank != nullptr) {
            DestroyCursor(blank);
        }
        return;
    }
    if (App().savedArrowCursor == nullptr) {
        App().savedArrowCursor = CopyIcon(arrow);
    }
    DestroyCursor(arrow); // a shared system cursor: the call has no effect on it
    if (blank != nullptr) {
        SetSystemCursor(blank, 32512); // OCR_NORMAL; the system takes and releases the handle
    }
}

void RestorePointer() {
    AppState& app = App();
    if (app.savedArrowCursor == nullptr) {
        return;
    }
    // SetSystemCursor takes ownership of the handle it is given (it destroys it when replaced).
    SetSystemCursor(static_cast<HCURSOR>(app.savedArrowCursor), 32512);
    app.savedArrowCursor = nullptr;
}

void SetAlwaysOnTop(HWND window, bool onTop) {
    SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

void ApplyOpacity(HWND window, uint32_t opacity) {
    const BYTE alpha = static_cast<BYTE>(opacity & 0xFF);
    const DWORD flags = alpha == 255 ? LWA_COLORKEY : (LWA_COLORKEY | LWA_ALPHA);
    SetLayeredWindowAttributes(window, RGB(0, 0, 0), alpha, flags);
}
