// The entry point of the program: single instance, working directory, command line, then the main
// window as a modal dialog box.
#include <windows.h>

#include <shlwapi.h>

#include <cstring>
#include <vector>

#include "state/app_state.h"
#include "shell/command_line.h"
#include "shell/log_playback_win.h"
#include "shell/main_window_win.h"
#include "shell/program_win.h"
#include "shell/resource_ids.h"
#include "state/nav_state.h"
#include "sources/location_sensor_win.h"
#include "trip/trail_store_win.h"

namespace {

// Long enough for the running copy to save its settings, trail and trip line on the way out.
constexpr UINT kCloseRunningCopyMs = 5000;

void SetWorkingDirectoryToProgramFolder() {
    char path[256] = {};
    GetModuleFileNameA(nullptr, path, 254);
    PathRemoveFileSpecA(path);
    SetCurrentDirectoryA(path);
}

ArgumentLookups SystemLookups() {
    ArgumentLookups lookups;
    lookups.pathExists = [](const char* path) { return PathFileExistsA(path) != FALSE; };
    lookups.findWindow = [](const char* title) -> WindowHandle {
        // An empty argument ("") would match any untitled window; it names none.
        if (title[0] == 0) {
            return nullptr;
        }
        return FindWindowA(nullptr, title);
    };
    lookups.desktopWindow = []() -> WindowHandle { return GetDesktopWindow(); };
    return lookups;
}

} // namespace

int RunVantrel(HINSTANCE instance, const char* commandLineTail) {
    AppState& app = App();
    app.instance = instance;

    // A second start closes the running copy and stops. A copy that hangs must not hang this
    // one as well: after the wait it is left as it is, and this start still stops, since two
    // copies would fight over the same settings and files.
    if (HWND running = FindWindowA(nullptr, kMainWindowTitle)) {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutA(running, WM_COMMAND, IDC_CLOSE_COMMAND, 0,
                                SMTO_NORMAL | SMTO_ABORTIFHUNG, kCloseRunningCopyMs,
                                &answer) == 0) {
            return 1;
        }
        return 0;
    }

    SetWorkingDirectoryToProgramFolder();
    LoadTrailStore(Nav().trail);

    const char* tail = commandLineTail != nullptr ? commandLineTail : "";
    std::vector<char> commandLine(tail, tail + std::strlen(tail) + 1);
    char* arguments[kMaxArguments] = {};
    const int count = SplitCommandLine(commandLine.data(), arguments);
    InterpretArguments(arguments, count, SystemLookups(), app);

    FindLocationSensor(Nav()); // also initialises COM for this thread

    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN_WINDOW), nullptr, MainWindowProc, 0);

    ReleasePlayback();
    return 0;
}
