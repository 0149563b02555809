#include "sources/gauge_clock_win.h"

#include <windows.h>

#include <cstring>

static_assert(sizeof(SYSTEMTIME) == sizeof(SystemTime16), "SYSTEMTIME stand-in");

SystemTime16 GaugeLocalTime(const GpsSnapshot& snapshot) {
    SYSTEMTIME utc;
    if (snapshot.fixValid != 0)
        std::memcpy(&utc, &snapshot.utcTime, sizeof utc);
    else
        GetSystemTime(&utc);
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    SYSTEMTIME local;
    // A fix time the conversion rejects (a server that publishes zeros) falls back to UTC.
    if (!SystemTimeToTzSpecificLocalTime(&zone, &utc, &local)) local = utc;
    SystemTime16 result;
    std::memcpy(&result, &local, sizeof result);
    return result;
}
