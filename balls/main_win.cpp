// Zorbel: checkered balls bouncing over the desktop. There are no command-line options.
#include "balls/controller_win.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return RunZorbel(instance);
}
