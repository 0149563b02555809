// The notification-area icon.
#pragma once

#include <windows.h>

#include <shellapi.h>

// Identity and callback of the ball toy's tray icon.
constexpr UINT kTrayIconId = 1016;
constexpr UINT kTrayCallbackMessage = WM_USER + 1;

// Adds (NIM_ADD) or deletes (NIM_DELETE) the tray icon of `window`, with the icon resource
// `iconResource` at 16 × 16 (0 for none) and the tip (up to 127 characters; null for none).
// Returns the shell's result.
BOOL NotifyTray(HINSTANCE instance, HWND window, DWORD operation, UINT iconResource,
                const char* tip);
