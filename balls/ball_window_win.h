// The ball windows: creation (layered, placed and shaped), painting and destruction.
#pragma once

#include <windows.h>

// Dialog procedure of a ball window; the creation parameter is the ball's BallRecord.
INT_PTR CALLBACK BallWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
