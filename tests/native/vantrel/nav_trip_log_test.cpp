// The trip log's file name, folders and line.
#include <gtest/gtest.h>

#include "trip/trip_log.h"

TEST(NavTripLog, MonthlyFileNameFromTheSetting) {
    EXPECT_EQ(TripLogFileName("C:\\GPSLog\\Trip.log", 2013, 6), "C:\\GPSLog\\Trip.2013-06.log");
    EXPECT_EQ(TripLogFileName("C:\\GPSLog\\Trip.log", 2026, 12), "C:\\GPSLog\\Trip.2026-12.log");
    EXPECT_EQ(TripLogFileName("Trip.log", 2013, 6), "Trip.2013-06.log");
    EXPECT_EQ(TripLogFileName("C:\\Logs\\Trip", 2013, 1), "C:\\Logs\\Trip.2013-01.log");
    // Only the final component's extension goes, and a space after the dot means none.
    EXPECT_EQ(TripLogFileName("C:\\My.Logs\\Trip", 2013, 1), "C:\\My.Logs\\Trip.2013-01.log");
    EXPECT_EQ(TripLogFileName("C:\\Logs\\a.b.txt", 2013, 1), "C:\\Logs\\a.b.2013-01.log");
    EXPECT_EQ(RemovePathExtension("C:\\Logs\\Trip.my log"), "C:\\Logs\\Trip.my log");
}

TEST(NavTripLog, FoldersSkipTheDriveAndTheFileName) {
    using Folders = std::vector<std::string>;
    EXPECT_EQ(TripLogFolders("C:\\GPSLog\\Trip.log"), Folders{"C:\\GPSLog"});
    EXPECT_EQ(TripLogFolders("C:\\A\\B\\Trip.log"), (Folders{"C:\\A", "C:\\A\\B"}));
    EXPECT_EQ(TripLogFolders("Trip.log"), Folders{});
    EXPECT_EQ(TripLogFolders("Logs\\Trip.log"), Folders{"Logs"});
    EXPECT_EQ(TripLogFolders("ab\\Trip.log"), Folders{}) << "two characters are taken for a drive";
}

TEST(NavTripLog, LineHasFourFieldsAndOneDecimal) {
    EXPECT_EQ(TripLogLine("6/1/2013", "9:05:00 AM", "10:15:30 AM", 12.345f),
              "6/1/2013,9:05:00 AM,10:15:30 AM,12.3\r\n");
    EXPECT_EQ(TripLogLine("d", "s", "e", 0.04f), "d,s,e,0.0\r\n");
    EXPECT_EQ(TripLogLine("", "", "", 1234.96f), ",,,1235.0\r\n");
    EXPECT_TRUE(TripLineDue(1, 0.04f));
    EXPECT_FALSE(TripLineDue(1, 0.0f)) << "exactly 0 writes nothing";
    EXPECT_FALSE(TripLineDue(0, 5.0f));
}
