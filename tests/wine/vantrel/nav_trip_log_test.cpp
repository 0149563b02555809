// The trip log on disk: folders, the month's file, appending, and the locale's formats.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "rig/rig.h"
#include "trip/trip_log.h"
#include "trip/trip_log_win.h"

namespace {

std::string Text(const std::string& path) {
    std::vector<uint8_t> bytes = rig::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::string MonthFile(const std::string& tripLogPath) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return TripLogFileName(tripLogPath, now.wYear, now.wMonth);
}

SystemTime16 Time(uint16_t hour, uint16_t minute, uint16_t second) {
    SystemTime16 t;
    t.year = 2013;
    t.month = 6;
    t.day = 14;
    t.dayOfWeek = 5;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    return t;
}

// The locale's own texts, formatted here independently of the writer.
std::string DateText(const SystemTime16& t) {
    SYSTEMTIME st = {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, 0};
    char text[64] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, sizeof text);
    return text;
}
std::string TimeText(const SystemTime16& t) {
    SYSTEMTIME st = {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, 0};
    char text[64] = "";
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, text, sizeof text);
    return text;
}

} // namespace

TEST(NavTripLog, WritesFoldersAndAppendsLinesToTheMonthsFile) {
    rig::ProgramFolder folder;
    const std::string base = folder.File("Logs\\Deep\\Trip.log");
    NavState nav;
    nav.tripLogging = 1;
    nav.tripStart = Time(9, 5, 7);
    nav.tripDistance = 12.34f;

    WriteTripLine(nav, base.c_str(), Time(10, 15, 30));
    EXPECT_EQ(nav.tripDistance, 0.0f);
    EXPECT_NE(GetFileAttributesA(folder.File("Logs\\Deep").c_str()), INVALID_FILE_ATTRIBUTES);
    const std::string file = MonthFile(base);
    EXPECT_NE(file.find("\\Logs\\Deep\\Trip."), std::string::npos);
    const std::string first = DateText(Time(9, 5, 7)) + "," + TimeText(Time(9, 5, 7)) + "," +
                              TimeText(Time(10, 15, 30)) + ",12.3\r\n";
    ASSERT_FALSE(DateText(Time(9, 5, 7)).empty());
    EXPECT_EQ(Text(file), first);

    // Later lines of the run carry the same start; 0.04 is written as 0.0 and still resets.
    nav.tripDistance = 0.04f;
    WriteTripLine(nav, base.c_str(), Time(11, 0, 0));
    EXPECT_EQ(nav.tripDistance, 0.0f);
    const std::string second = DateText(Time(9, 5, 7)) + "," + TimeText(Time(9, 5, 7)) + "," +
                               TimeText(Time(11, 0, 0)) + ",0.0\r\n";
    EXPECT_EQ(Text(file), first + second);

    // Nothing travelled: nothing written.
    WriteTripLine(nav, base.c_str(), Time(12, 0, 0));
    EXPECT_EQ(Text(file), first + second);

    // A later run appends to the same file.
    NavState nextRun;
    nextRun.tripLogging = 1;
    nextRun.tripStart = Time(13, 0, 0);
    nextRun.tripDistance = 5.0f;
    WriteTripLine(nextRun, base.c_str(), Time(14, 0, 0));
    EXPECT_EQ(Text(file).rfind(",5.0\r\n"), Text(file).size() - 6);
}

TEST(NavTripLog, LoggingOffOrUnwritableFileKeepsTheDistance) {
    rig::ProgramFolder folder;
    NavState nav;
    nav.tripLogging = 0;
    nav.tripDistance = 3.5f;
    WriteTripLine(nav, folder.File("Off\\Trip.log").c_str(), Time(10, 0, 0));
    EXPECT_EQ(nav.tripDistance, 3.5f);
    EXPECT_EQ(GetFileAttributesA(folder.File("Off").c_str()), INVALID_FILE_ATTRIBUTES);

    // A file stands where the folder should be: the line cannot be written and is carried over.
    ASSERT_TRUE(rig::WriteFileBytes(folder.File("Blocked"), {'x'}));
    nav.tripLogging = 1;
    WriteTripLine(nav, folder.File("Blocked\\Trip.log").c_str(), Time(10, 0, 0));
    EXPECT_EQ(nav.tripDistance, 3.5f);
}

TEST(NavTripLog, PathWithoutFolderWritesIntoTheWorkingDirectory) {
    rig::ProgramFolder folder;
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
    NavState nav;
    nav.tripLogging = 1;
    nav.tripDistance = 1.25f;
    WriteTripLine(nav, "Trip.log", Time(10, 0, 0));
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(nav.tripDistance, 0.0f);
    const std::string name = MonthFile("Trip.log");
    EXPECT_EQ(name.rfind("Trip.", 0), 0u);
    EXPECT_TRUE(rig::FileExists(folder.File(name)));
}

TEST(NavTripLog, FileNameAgreesWithTheShellsExtensionRule) {
    for (const char* path : {"C:\\GPSLog\\Trip.log", "Trip.log", "C:\\My.Logs\\Trip",
                             "C:\\Logs\\a.b.txt", "C:\\Logs\\Trip.my log", "C:\\Logs\\.log"}) {
        char shell[MAX_PATH];
        lstrcpynA(shell, path, MAX_PATH);
        PathRemoveExtensionA(shell);
        EXPECT_EQ(RemovePathExtension(path), shell) << path;
    }
}
