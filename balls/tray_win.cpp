#include "balls/tray_win.h"

#include <shellapi.h>

#include <cstring>

// The record size of the shell's version 3 layout, which every shell since 2001 accepts: 504
// bytes in a 32-bit program, 520 in a 64-bit one (its handles are twice as wide).
static_assert(NOTIFYICONDATAA_V3_SIZE == (sizeof(void*) == 8 ? 520 : 504),
              "version 3 notification icon record");

BOOL NotifyTray(HINSTANCE instance, HWND window, DWORD operation, UINT iconResource,
                const char* tip) {
    HICON icon = nullptr;
    if (iconResource != 0)
        icon = static_cast<HICON>(
            LoadImageA(instance, MAKEINTRESOURCEA(iconResource), IMAGE_ICON, 16, 16, 0));
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V3_SIZE;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = icon;
    if (tip) {
        std::strncpy(data.szTip, tip, sizeof data.szTip - 1);
        data.szTip[sizeof data.szTip - 1] = '\0';
    }
    const BOOL result = Shell_NotifyIconA(operation, &data);
    if (icon) DestroyIcon(icon);
    return result;
}
