// The ball toy's controller: a hidden dialog that owns the world, the tray icon, the menu and
// the animation timer.
#pragma once

#include <windows.h>

// Runs the controller as a modal dialog until "Exit"; returns the program's exit code (0).
int RunZorbel(HINSTANCE instance);
