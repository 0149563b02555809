#include "shell/main_window_win.h"

#include "config/config_dialog_win.h"

#include "state/app_state.h"
#include "shell/desktop_win.h"
#include "shell/program_win.h"
#include "shell/resource_ids.h"
#include "shell/settings_win.h"
#include "render/gauge_display_win.h"
#include "render/layout_editing.h"
#include "render/paint_win.h"
#include "render/skin_loader_win.h"
#include "sources/gps_feed_win.h"
#include "state/nav_state.h"
#include "sources/obd_feed_win.h"
#include "sources/system_time_win.h"
#include "trip/trip_end_win.h"
#include "trip/trip_log_win.h"

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

void StartMainWindow(HWND window) {
    AppState& app = App();
    NavState& nav = Nav();
    MarkMainWindowRan();

    LoadSettings(app);
    app.mainWindow = window;
    SetWindowTextA(window, kMainWindowTitle);
    nav.tripLogging = app.tripLogOn != 0 ? 1 : 0;
    AddTrayIcon(window, static_cast<HINSTANCE>(app.instance));
    LoadSkin(app, Display());
    SetTimer(window, kFrameTimer, app.drawRate, nullptr);
    SetTimer(window, kSecondTimer, kSecondTimerPeriod, nullptr);

    if (nav.sensor == nullptr) {
        OpenGpsFeed(nav);
    }
    nav.tripStart = LocalTimeNow16();

    app.osMajorVersion = WindowsMajorVersion();
    if (app.osMajorVersion >= 6) {
        AllowReaderMessages(window);
    }
    RequestObdPids(Obd(), app.skin); // does nothing unless the reader's memory is attached
    InstallConfigDialogKeys();
}

void OpenConfiguration(HWND window) {
    OpenConfigDialog(window); // does nothing while it is open
}

void OnLeftButtonDown(HWND window, LPARAM lParam) {
    const AppState& app = App();
    if (app.hostWindow != nullptr) {
        return; // a window that follows a host is not dragged
    }
    if (app.configDialog != nullptr) {
        BeginDrag(Display(), App().skin, static_cast<short>(LOWORD(lParam)),
                  static_cast<short>(HIWORD(lParam)));
        // A button released outside the cluster must still end the drag.
        if (Display().edit.dragging) SetCapture(window);
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

// The query before a suspend (0) comes only on systems before Windows Vista; later ones announce
// the suspend itself (4) and nothing before it. Either saves what a power loss in sleep would
// lose; both in a row save twice, which writes no second trip line (the distance was reset).
constexpr WPARAM kPowerSuspendQuery = 0;  // PBT_APMQUERYSUSPEND
constexpr WPARAM kPowerSuspend = 4;       // PBT_APMSUSPEND
constexpr WPARAM kPowerResumeSuspend = 7; // PBT_APMRESUMESUSPEND
// Since Windows Vista every resume announces itself with 18, and with 7 only when a user woke
// the machine: a car PC woken by its ignition may see 18 alone.
constexpr WPARAM kPowerResumeAutomatic = 18; // PBT_APMRESUMEAUTOMATIC

bool TimeRecorded(const SystemTime16& time) {
    return time.year != 0;
}

void SaveBeforeSuspend(AppState& app) {
    if (app.cursorHidden) {
        RestorePointer();
        app.cursorHidden = false;
    }
    SaveSettings(app);
    // The trip line that ends now and the trail store; the next trip is measured from the
    // next fix.
    EndTrip(Nav(), app.tripLogPath, LocalTimeNow16());
    app.suspendTime = LocalTimeNow16();
}

void ResumeAfterSuspend(AppState& app) {
    // A resume without an announced suspend has no end time for its line: a line ending at a
    // zero time would be wrong, so the distance waits for the next line.
    if (TimeRecorded(app.suspendTime)) {
        // Writes only when distance was added after the save before the suspend.
        WriteTripLine(Nav(), app.tripLogPath, app.suspendTime);
        app.suspendTime = SystemTime16{}; // the second resume message of the pair writes nothing
    }
    GaugeDisplay& display = Display();
    display.homeArmed = false; // the arrival beep may sound again
    display.homeBeeped = false;
}

void OnPowerBroadcast(WPARAM event) {
    AppState& app = App();
    if (event == kPowerSuspendQuery || event == kPowerSuspend) {
        SaveBeforeSuspend(app);
    } else if (event == kPowerResumeSuspend || event == kPowerResumeAutomatic) {
        ResumeAfterSuspend(app);
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
    RemoveConfigDialogKeys();
    DeleteTrayIcon(window);
    SaveOnExit();
    App().mainWindow = nullptr;
    // A dialog box destroyed while handling a message sent from another process (a second
    // start's close request) only leaves its message loop when something is posted to the
    // thread; without it the process would linger with no window.
    PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void OnPaint(HWND window) {
    PaintBackBuffer(window, Display(), PaintAreaOf(App()));
}

} // namespace

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
        EndDrag(Display());
        if (GetCapture() == window) ReleaseCapture();
        break;
    case WM_CONTEXTMENU:
        OpenConfiguration(window);
        break;
    case WM_COMMAND:
        OnCommand(window, wParam);
        break;
    case WM_USER:
        RequestObdPids(Obd(), App().skin); // the OBD-II reader asks for the PID requests
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
        if (message == TaskbarCreatedMessage() && message != 0) {
            AddTrayIcon(window, static_cast<HINSTANCE>(App().instance));
        }
        break;
    }
    return FALSE;
}
