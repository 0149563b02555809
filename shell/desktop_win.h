// The tray icon, its popup menu, and the desktop behaviours it controls: always on top, pointer
// hiding and the window's opacity.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr UINT kTrayIconId = 1016;
constexpr UINT kTrayCallbackMessage = WM_USER + 1;
constexpr const char kTrayTip[] = "Vantrel";

// Adds the tray icon (icon 105 at 16 x 16, tooltip "Vantrel"); a failed icon load still adds
// the entry, without an icon.
bool AddTrayIcon(HWND window, HINSTANCE instance);
bool DeleteTrayIcon(HWND window);

// Shows menu 104 at the pointer with the current check marks; commands come back as WM_COMMAND.
void ShowTrayMenu(HWND window, HINSTANCE instance);

// The message the shell broadcasts to every top-level window when it (re)starts: the icons it
// showed are gone and must be added again.
UINT TaskbarCreatedMessage();

// Replaces the system's normal arrow with a blank pointer, keeping a copy of the arrow in
// AppState::savedArrowCursor; does nothing when the arrow cannot be loaded.
void HidePointer();
// Puts the saved arrow back, if there is one.
void RestorePointer();

// Topmost or an ordinary window, without moving or sizing it.
void SetAlwaysOnTop(HWND window, bool onTop);

// Black is the colour key; the alpha (low byte of the skin's opacity) applies below 255.
void ApplyOpacity(HWND window, uint32_t opacity);
