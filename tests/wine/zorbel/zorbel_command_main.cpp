// zorbel_command.exe COMMAND: sends a menu command (40001 "Add 1", 40002 "Delete 1", 40003
// "Collision", 2 "Exit") to every running Zorbel's controller, as its tray menu would. Used to
// take the automatic phase out of a measurement ("Delete 1" with one ball removes nothing).
// Exit code: the number of controllers reached, or -1 on a bad argument.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

struct Search {
    WPARAM command;
    int reached;
};

BOOL CALLBACK SendToController(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    // The controller: a hidden-from-the-mouse tool dialog that is not a (layered) ball.
    if (std::strcmp(name, "#32770") == 0 && (exStyle & WS_EX_TRANSPARENT) &&
        (exStyle & WS_EX_TOOLWINDOW) && !(exStyle & WS_EX_LAYERED)) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, WM_COMMAND, search.command, 0, SMTO_NORMAL, 5000, &result);
        ++search.reached;
    }
    return TRUE;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const long command = std::strtol(commandLine, nullptr, 10);
    if (command <= 0) return -1;
    Search search{WPARAM(command), 0};
    EnumWindows(SendToController, reinterpret_cast<LPARAM>(&search));
    return search.reached;
}
