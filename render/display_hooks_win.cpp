#include "render/display_hooks_win.h"

#include <windows.h>

namespace {

SYSTEMTIME ToWin(const SystemTime16& t) {
    SYSTEMTIME w;
    w.wYear = t.year;
    w.wMonth = t.month;
    w.wDayOfWeek = t.dayOfWeek;
    w.wDay = t.day;
    w.wHour = t.hour;
    w.wMinute = t.minute;
    w.wSecond = t.second;
    w.wMilliseconds = t.milliseconds;
    return w;
}

SystemTime16 FromWin(const SYSTEMTIME& w) {
    SystemTime16 t;
    t.year = w.wYear;
    t.month = w.wMonth;
    t.dayOfWeek = w.wDayOfWeek;
    t.day = w.wDay;
    t.hour = w.wHour;
    t.minute = w.wMinute;
    t.second = w.wSecond;
    t.milliseconds = w.wMilliseconds;
    return t;
}

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
        universal = ToWin(*utc);
    else
        GetSystemTime(&universal);
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    SYSTEMTIME local;
    // A record with an impossible date (a server that never wrote its clock) converts to
    // nothing; the hands and texts then show the time as it stands.
    if (!SystemTimeToTzSpecificLocalTime(&zone, &universal, &local)) local = universal;
    return FromWin(local);
}

void FormatTime(const SystemTime16& local, char* buffer, int size) {
    SYSTEMTIME t = ToWin(local);
    if (size <= 0) return;
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &t, nullptr, buffer, size) == 0) buffer[0] = '\0';
}

void FormatDate(const SystemTime16& local, bool longDate, char* buffer, int size) {
    SYSTEMTIME t = ToWin(local);
    if (size <= 0) return;
    if (GetDateFormatA(LOCALE_USER_DEFAULT, longDate ? DATE_LONGDATE : DATE_SHORTDATE, &t, nullptr,
                       buffer, size) == 0)
        buffer[0] = '\0';
}

} // namespace

DisplayHooks WindowsDisplayHooks() {
    DisplayHooks hooks;
    hooks.invalidate = Invalidate;
    hooks.beep = Beep;
    hooks.localTime = LocalTime;
    hooks.formatTime = FormatTime;
    hooks.formatDate = FormatDate;
    return hooks;
}
