#include "shell/main_window_win.h"

#include <cstring>

#include "shell/app_state.h"
#include "shell/desktop_win.h"
#include "shell/program_win.h"
#include "shell/resource_ids.h"
#include "shell/settings_win.h"
#include "skin/skin_file.h"
#include "skin/skin_folder_win.h"
#include "sources/nav_state.h"

namespace {

// Opens the message filter so the OBD-II reader's WM_USER reaches this window on Windows 6 and
// later; looked up at run time because older systems lack the function.
void AllowReaderMessages(HWND window) {
    HMODULE user32 = LoadLibraryA("User32.dll");
    if (user32 == nullptr) {
        return;
    }
    using FilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    auto filter = reinterpret_cast<FilterFunction>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
    if (filter != nullptr) {
        filter(window, WM_USER, 1 /* MSGFLT_ALLOW */, nullptr);
    }
    FreeLibrary(user32);
}

uint32_t WindowsMajorVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) {
        return 0;
    }
#pragma GCC diagnostic pop
    return info.dwMajorVersion;
}

SystemTime16 LocalTimeNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    SystemTime16 time;
    time.year = now.wYear;
    time.month = now.wMonth;
    time.dayOfWeek = now.wDayOfWeek;
    time.day = now.wDay;
    time.hour = now.wHour;
    time.minute = now.wMinute;
    time.second = now.wSecond;
    time.milliseconds = now.wMilliseconds;
    return time;
}

void StartMainWindow(HWND window) {
    AppState& app = App();
    NavState& nav = Nav();
    MarkMainWindowRan();

    LoadSettings(app);
    app.mainWindow = window;
    SetWindowTextA(window, kMainWindowTitle);
    nav.tripLogging = app.tripLogOn != 0 ? 1 : 0;
    AddTrayIcon(window, static_cast<HINSTANCE>(app.instance));
    LoadSkinIntoWindow(window);
    SetTimer(window, kFrameTimer, app.drawRate, nullptr);
    SetTimer(window, kSecondTimer, kSecondTimerPeriod, nullptr);

    if (nav.sensor == nullptr) {
        // INTEGRATION(nav): OpenGpsFeed(nav);
    }
    nav.tripStart = LocalTimeNow();

    app.osMajorVersion = WindowsMajorVersion();
    if (app.osMajorVersion >= 6) {
        AllowReaderMessages(window);
    }
    // INTEGRATION(nav): if the OBD-II reader's memory is attached, RequestObdPids().
}

void OpenConfiguration(HWND /*window*/) {
    if (App().configDialog != nullptr) {
        return;
    }
    // INTEGRATION(config): the configuration dialog, modeless from template 103, owner = the
    // main window. Until it exists, "Configure" and a right click do nothing.
}

void OnLeftButtonDown(HWND window, LPARAM lParam) {
    const AppState& app = App();
    if (app.hostWindow != nullptr) {
        return; // a window that follows a host is not dragged
    }
    if (app.configDialog != nullptr) {
        const int x = static_cast<short>(LOWORD(lParam));
        const int y = static_cast<short>(HIWORD(lParam));
        (void)x;
        (void)y;
        // INTEGRATION(render): BeginDrag(x, y) of the layout editor.
        return;
    }
    // Let the system move the window with the mouse from any point of it.
    SendMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void OnCommand(HWND window, WPARAM command) {
    AppState& app = App();
    switch (command) {
    case IDC_CLOSE_COMMAND:
        DestroyWindow(window);
        break;
    case IDM_CONFIGURE:
        OpenConfiguration(window);
        break;
    case IDM_START_WITH_WINDOWS:
        app.options ^= kOptionStartWithWindows; // the Run value follows at the next save
        break;
    case IDM_HIDE_MOUSE:
        app.options ^= kOptionHideMouse;
        // Turned off while the pointer is hidden: bring it back now, the second tick no longer
        // looks at it.
        if (!HasOption(app, kOptionHideMouse) && app.cursorHidden) {
            RestorePointer();
            app.cursorHidden = false;
            app.stillSeconds = 0;
        }
        break;
    case IDM_TRIP_LOG: {
        NavState& nav = Nav();
        nav.tripLogging ^= 1;
        app.tripLogOn = nav.tripLogging;
        break;
    }
    case IDM_ALWAYS_ON_TOP:
        app.options ^= kOptionAlwaysOnTop;
        SetAlwaysOnTop(window, HasOption(app, kOptionAlwaysOnTop));
        break;
    default:
        break;
    }
}

void OnPowerBroadcast(WPARAM event) {
    AppState& app = App();
    if (event == 0) { // the query before a suspend
        if (app.cursorHidden) {
            RestorePointer();
            app.cursorHidden = false;
        }
        SaveSettings(app);
        // INTEGRATION(trip): write a trip log line that ends now; save the trail store.
        Nav().trailRef = GeoPoint{}; // the next trip is measured from the next fix
        app.suspendTime = LocalTimeNow();
    } else if (event == 7) { // resume
        // INTEGRATION(trip): write a trip log line that ends at app.suspendTime.
        // INTEGRATION(render): clear homeArmed and homeBeeped so the arrival beep sounds again.
    }
}

// Steps 3 to 5 of shutdown, shared with the end of the session.
void SaveOnExit() {
    AppState& app = App();
    app.tripLogOn = Nav().tripLogging;
    if (app.cursorHidden) {
        RestorePointer();
        app.cursorHidden = false;
    }
    SaveSettings(app);
}

void OnDestroy(HWND window) {
    KillTimer(window, kFrameTimer);
    DeleteTrayIcon(window);
    SaveOnExit();
    App().mainWindow = nullptr;
    // A dialog box destroyed while handling a message sent from another process (a second
    // start's close request) only leaves its message loop when something is posted to the
    // thread; without it the process would linger with no window.
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    (void)dc;
    // INTEGRATION(render): copy the back buffer: (0, 0, frameWidth, paint height) on Windows 6
    // and later, the TransparentBlt path before; paint height grows by a fifth with option 0x04.
    EndPaint(window, &paint);
}

} // namespace

void LoadSkinIntoWindow(HWND window) {
    AppState& app = App();
    // INTEGRATION(skin, render): replace with the full skin load (images, back buffer,
    // ResetForSkin). Until then: no images, so the frame is sized from the heading rose.
    const GaugeRecord rose = KindRecord(app.skin, kKindVantrel);
    const SkinGeometry geometry =
        ComputeSkinGeometry(std::nullopt, std::nullopt, rose, HasOption(app, kOptionStretch));
    app.frameWidth = geometry.frame.width;
    app.frameHeight = geometry.frame.height;
    PlaceWindowForSkin(window, geometry.window.width, geometry.window.height);
    ReadSkinFile(SkinFolderPath(app.skinFolder), app.skin);
    ShowWindow(window, SW_SHOW);
    ApplyOpacity(window, app.skin.opacity);
}

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        StartMainWindow(window);
        return TRUE;
    case WM_TIMER:
        if (wParam == kFrameTimer) {
            FrameTick(window);
        } else if (wParam == kSecondTimer) {
            SecondTick(window);
        }
        break;
    case WM_PAINT:
        OnPaint(window);
        break;
    case WM_MOVE: {
        RECT rect;
        if (GetWindowRect(window, &rect)) {
            App().windowRect = RectI32{rect.left, rect.top, rect.right, rect.bottom};
        }
        break;
    }
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(window, lParam);
        break;
    case WM_LBUTTONUP:
        // INTEGRATION(render): EndDrag() of the layout editor.
        break;
    case WM_CONTEXTMENU:
        OpenConfiguration(window);
        break;
    case WM_COMMAND:
        OnCommand(window, wParam);
        break;
    case WM_USER:
        // INTEGRATION(nav): RequestObdPids() - the OBD-II reader asks for the PID requests.
        break;
    case kTrayCallbackMessage:
        if (lParam == WM_RBUTTONUP) {
            ShowTrayMenu(window, static_cast<HINSTANCE>(App().instance));
        }
        break;
    case WM_POWERBROADCAST:
        OnPowerBroadcast(wParam);
        break;
    case WM_DESTROY:
        OnDestroy(window);
        break;
    case WM_ENDSESSION:
        SaveOnExit();
        break;
    default:
        break;
    }
    return FALSE;
}
