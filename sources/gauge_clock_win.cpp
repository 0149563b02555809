#include "sources/gauge_clock_win.h"

#include <windows.h>

#include "sources/system_time_win.h"

SystemTime16 GaugeLocalTime(const GpsSnapshot& snapshot) {
    SYSTEMTIME utc;
    if (snapshot.fixValid != 0)
        utc = ToSystemTime(snapshot.utcTime);
    else
        GetSystemTime(&utc);
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    SYSTEMTIME local;
    // A fix time the conversion rejects (a server that publishes zeros) falls back to UTC.
    if (!SystemTimeToTzSpecificLocalTime(&zone, &utc, &local)) local = utc;
    return ToSystemTime16(local);
}
