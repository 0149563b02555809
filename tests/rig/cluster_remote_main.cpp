// Drives a running Vantrel's configuration dialog from outside, as a user's clicks would, for the
// headless demo:
//   cluster_remote.exe play LOG-NAME   open the dialog and choose LOG-NAME in its log list
// Exit code 0 when the dialog took the choice, 1 otherwise.
#include <windows.h>

#include <string>

#include "config/dialog_ids.h"

namespace {

HWND WaitForTitle(const char* title) {
    for (int i = 0; i < 100; ++i) {
        if (HWND window = FindWindowA(nullptr, title)) return window;
        Sleep(100);
    }
    return nullptr;
}

// Selects the entry with this text in the other process's list. Entries are read in UTF-16: Wine
// passes only the first character of an ANSI entry across processes.
bool Choose(HWND dialog, int id, const std::string& text) {
    HWND list = GetDlgItem(dialog, id);
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t wide[300] = {};
        if (SendMessageW(list, CB_GETLBTEXTLEN, WPARAM(i), 0) >= LRESULT(300)) continue;
        SendMessageW(list, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(wide));
        char entry[600] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, entry, sizeof entry, nullptr, nullptr);
        if (text != entry) continue;
        SendMessageA(list, CB_SETCURSEL, WPARAM(i), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        return true;
    }
    return false;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc != 3 || std::string(__argv[1]) != "play") return 2;
    HWND cluster = WaitForTitle("Brevanti - Vantrel");
    if (cluster == nullptr) return 1;
    PostMessageA(cluster, WM_COMMAND, 40001 /* "Configure" */, 0);
    HWND dialog = WaitForTitle("Vantrel Configure");
    return dialog != nullptr && Choose(dialog, IDC_LOG_LIST, __argv[2]) ? 0 : 1;
}
