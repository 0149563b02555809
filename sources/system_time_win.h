// Between the Win32 SYSTEMTIME and its portable stand-in (same eight fields, same order).
#pragma once

#include <windows.h>

#include "state/win_types.h"

inline SystemTime16 ToSystemTime16(const SYSTEMTIME& t) {
    SystemTime16 r;
    r.year = t.wYear;
    r.month = t.wMonth;
    r.dayOfWeek = t.wDayOfWeek;
    r.day = t.wDay;
    r.hour = t.wHour;
    r.minute = t.wMinute;
    r.second = t.wSecond;
    r.milliseconds = t.wMilliseconds;
    return r;
}

inline SYSTEMTIME ToSystemTime(const SystemTime16& t) {
    SYSTEMTIME r;
    r.wYear = t.year;
    r.wMonth = t.month;
    r.wDayOfWeek = t.dayOfWeek;
    r.wDay = t.day;
    r.wHour = t.hour;
    r.wMinute = t.minute;
    r.wSecond = t.second;
    r.wMilliseconds = t.milliseconds;
    return r;
}

inline SystemTime16 LocalTimeNow16() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ToSystemTime16(now);
}
