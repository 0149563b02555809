#include "trip/trip_log.h"

#include <cmath>
#include <cstdio>

bool TripLineDue(unsigned tripLogging, float tripDistance) {
    // A distance that is not a number has nothing to say and would be written as "nan".
    return tripLogging != 0 && tripDistance != 0.0f && std::isfinite(tripDistance);
}

std::vector<std::string> TripLogFolders(const std::string& tripLogPath) {
    std::vector<std::string> folders;
    for (size_t i = 0; i < tripLogPath.size(); ++i)
        if (tripLogPath[i] == '\\' && i > 2) folders.push_back(tripLogPath.substr(0, i));
    return folders;
}

std::string RemovePathExtension(const std::string& path) {
    size_t dot = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '\\' || path[i] == ' ')
            dot = std::string::npos;
        else if (path[i] == '.')
            dot = i;
    }
    return dot == std::string::npos ? path : path.substr(0, dot);
}

std::string TripLogFileName(const std::string& tripLogPath, int year, int month) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%d-%02d.log", year, month);
    return RemovePathExtension(tripLogPath) + suffix;
}

std::string TripLogLine(const std::string& startDate, const std::string& startTime,
                        const std::string& endTime, float tripDistance) {
    char distance[64];
    std::snprintf(distance, sizeof distance, "%.1f", static_cast<double>(tripDistance));
    return startDate + "," + startTime + "," + endTime + "," + distance + "\r\n";
}
