// The monthly trip log: one line per trip, "start date,start time,end time,distance\r\n",
// appended to a file named from the "TripLogPath" setting and the month of writing.
// Portable pieces; the file and the locale's date and time formats are in trip/trip_log_win.h.
#pragma once

#include <string>
#include <vector>

// Whether a trip line is due: logging is on and some distance (a finite one) was travelled.
bool TripLineDue(unsigned tripLogging, float tripDistance);

// The folders to create before writing: the text before each backslash of the path when it is
// longer than two characters (so a drive "C:" is skipped). The last component is never a folder.
std::vector<std::string> TripLogFolders(const std::string& tripLogPath);

// The path with its extension removed the way PathRemoveExtensionA does (the last dot of the
// final component; a space or backslash after it means there is none).
std::string RemovePathExtension(const std::string& path);

// The month's file: "C:\GPSLog\Trip.log" in June 2013 gives "C:\GPSLog\Trip.2013-06.log".
std::string TripLogFileName(const std::string& tripLogPath, int year, int month);

// One whole line from the already formatted date and times, the distance with one decimal.
std::string TripLogLine(const std::string& startDate, const std::string& startTime,
                        const std::string& endTime, float tripDistance);
