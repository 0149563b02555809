// The program-lifetime objects the shell owns, and the entry point behind WinMain.
#pragma once

#include <windows.h>

struct NavState;

constexpr const char kMainWindowTitle[] = "Brevanti - Vantrel";

// The navigation and trip singleton. Constructed on first use (the program touches it before
// its entry point runs); its teardown at process exit writes the last trip log line and the
// trail store.
NavState& Nav();

// Records that the main window ran in this process: only then is the trail store saved at exit.
void MarkMainWindowRan();
bool MainWindowRan();

// The entry point: single instance, working directory, command line, the main window as a modal
// dialog box. Always returns 0.
int RunVantrel(HINSTANCE instance, const char* commandLineTail);
