// The local time the gauges show: from the fix while it is valid, from the system otherwise.
#include <gtest/gtest.h>

#include <windows.h>

#include "sources/gauge_clock_win.h"

TEST(NavGaugeClock, FixTimeOrSystemTimeInTheLocalZone) {
    GpsSnapshot snapshot{};
    snapshot.fixValid = 1;
    snapshot.utcTime.year = 2013;
    snapshot.utcTime.month = 6;
    snapshot.utcTime.day = 14;
    snapshot.utcTime.dayOfWeek = 5;
    snapshot.utcTime.hour = 21;
    snapshot.utcTime.minute = 43;
    snapshot.utcTime.second = 50;
    SYSTEMTIME utc = {2013, 6, 5, 14, 21, 43, 50, 0}, expected;
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&zone, &utc, &expected));
    SystemTime16 local = GaugeLocalTime(snapshot);
    EXPECT_EQ(local.hour, expected.wHour);
    EXPECT_EQ(local.minute, 43);
    EXPECT_EQ(local.second, 50);
    EXPECT_EQ(local.day, expected.wDay);

    // No fix: the system clock, whatever the record holds.
    snapshot.fixValid = 0;
    SYSTEMTIME now;
    GetLocalTime(&now);
    local = GaugeLocalTime(snapshot);
    EXPECT_EQ(local.year, now.wYear);
    EXPECT_NE(local.year, 2013);
}
