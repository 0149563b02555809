#include "render/display_hooks_win.h"

#include <windows.h>

#include "sources/system_time_win.h"

namespace {

void Invalidate(WindowHandle window, const RectI32* rect) {
    if (window == nullptr) return;
    if (rect == nullptr) {
        InvalidateRect(static_cast<HWND>(window), nullptr, FALSE);
        return;
    }
    RECT r{rect->left, rect->top, rect->right, rect->bottom};
    InvalidateRect(static_cast<HWND>(window), &r, FALSE);
}

void Beep() {
    MessageBeep(MB_ICONEXCLAMATION);
}

SystemTime16 LocalTime(const SystemTime16* utc) {
    SYSTEMTIME universal;
    if (utc)
        universal = ToSystemTime(*utc);
    else
        GetSystemTime(&universal);
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    SYSTEMTIME local;
    // A record with an impossible date (a server that never wrote its clock) converts to
    // nothing; the hands and texts then show the time as it stands.
    if (!SystemTimeToTzSpecificLocalTime(&zone, &universal, &local)) local = universal;
    return ToSystemTime16(local);
}

void FormatTime(const SystemTime16& local, char* buffer, int size) {
    SYSTEMTIME t = ToSystemTime(local);
    if (size <= 0) return;
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &t, nullptr, buffer, size) == 0) buffer[0] = '\0';
}

void FormatDate(const SystemTime16& local, bool longDate, char* buffer, int size) {
    SYSTEMTIME t = ToSystemTime(local);
    if (size <= 0) return;
    if (GetDateFormatA(LOCALE_USER_DEFAULT, longDate ? DATE_LONGDATE : DATE_SHORTDATE, &t, nullptr,
                       buffer, size) == 0)
        buffer[0] = '\0';
}

bool IsActiveWindow(WindowHandle window) {
    return window != nullptr && GetActiveWindow() == static_cast<HWND>(window);
}

PointI32 CursorPosition() {
    POINT p{};
    GetCursorPos(&p);
    return {p.x, p.y};
}

void DrawFocusRectangle(WindowHandle window, const RectI32& rect) {
    HWND hwnd = static_cast<HWND>(window);
    HDC dc = GetDC(hwnd);
    if (dc == nullptr) return;
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    DrawFocusRect(dc, &r);
    ReleaseDC(hwnd, dc);
}

} // namespace

DisplayHooks WindowsDisplayHooks() {
    DisplayHooks hooks;
    hooks.invalidate = Invalidate;
    hooks.beep = Beep;
    hooks.localTime = LocalTime;
    hooks.formatTime = FormatTime;
    hooks.formatDate = FormatDate;
    hooks.isActiveWindow = IsActiveWindow;
    hooks.cursorPosition = CursorPosition;
    hooks.drawFocusRect = DrawFocusRectangle;
    return hooks;
}
