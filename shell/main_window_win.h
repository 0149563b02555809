// The main window: a modal dialog box (template 101) that owns the refresh cycle, painting,
// the tray menu commands, power events and shutdown.
#pragma once

#include <windows.h>

constexpr UINT_PTR kFrameTimer = 0;
constexpr UINT_PTR kSecondTimer = 1;
constexpr UINT kSecondTimerPeriod = 1000;

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The two timers' work (refresh_win.cpp).
void FrameTick(HWND window);
void SecondTick(HWND window);
