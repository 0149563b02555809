#include "trip/trip_log_win.h"

#include <windows.h>

#include "sources/system_time_win.h"
#include "trip/trip_log.h"

namespace {

// Closes the file however the write ends.
struct FileHandle {
    HANDLE handle;
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};

} // namespace

SystemTime16 LocalTimeNow() {
    return LocalTimeNow16();
}

std::string FormatShortDate(const SystemTime16& time) {
    SYSTEMTIME st = ToSystemTime(time);
    char text[31] = ""; // at most 30 characters
    if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, text, sizeof text) == 0)
        return std::string();
    return text;
}

std::string FormatTime(const SystemTime16& time) {
    SYSTEMTIME st = ToSystemTime(time);
    char text[24] = ""; // at most 23 characters
    if (GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, text, sizeof text) == 0)
        return std::string();
    return text;
}

void WriteTripLine(NavState& nav, const char* tripLogPath, const SystemTime16& endTime) {
    if (!TripLineDue(nav.tripLogging, nav.tripDistance)) return;

    // Existing folders and other creation errors are fine: opening the file decides.
    for (const std::string& folder : TripLogFolders(tripLogPath))
        CreateDirectoryA(folder.c_str(), nullptr);

    SystemTime16 now = LocalTimeNow();
    std::string fileName = TripLogFileName(tripLogPath, now.year, now.month);
    FileHandle file{CreateFileA(fileName.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER end{};
    const LARGE_INTEGER none{};
    if (!SetFilePointerEx(file.handle, none, &end, FILE_END)) return;

    // The whole line is built first and goes out in one write, flushed before the distance is
    // given up: a power cut leaves the line whole or absent. A short write (a full disk) is cut
    // off again, so the next line does not start in the middle of this one.
    std::string line = TripLogLine(FormatShortDate(nav.tripStart), FormatTime(nav.tripStart),
                                   FormatTime(endTime), nav.tripDistance);
    DWORD written = 0;
    if (!WriteFile(file.handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size()) {
        if (written != 0 && SetFilePointerEx(file.handle, end, nullptr, FILE_BEGIN))
            SetEndOfFile(file.handle);
        return;
    }
    FlushFileBuffers(file.handle);
    nav.tripDistance = 0.0f;
}
