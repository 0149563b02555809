#include "tools/gps_server/fix_script.h"

#include <cstring>
#include <locale>
#include <sstream>

namespace {

bool Fail(std::string& error, int lineNumber, const std::string& line) {
    error = "line " + std::to_string(lineNumber) + ": " + line;
    return false;
}

} // namespace

bool ParseFixScript(const std::string& text, std::vector<ScriptedFix>& fixes, std::string& error) {
    fixes.clear();
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream words(line);
        words.imbue(std::locale::classic());
        std::string command;
        if (!(words >> command) || command[0] == '#') continue;

        ScriptedFix fix = fixes.empty() ? ScriptedFix{} : fixes.back();
        if (command == "fix") {
            fix = ScriptedFix{};
            fix.valid = true;
            if (!(words >> fix.latitude >> fix.longitude >> fix.speedKnots >> fix.course))
                return Fail(error, lineNumber, line);
            // Up to three optional values, each a whole word.
            std::string word;
            for (int i = 0; i < 3 && words >> word; ++i) {
                std::istringstream value(word);
                value.imbue(std::locale::classic());
                bool ok = i == 0   ? static_cast<bool>(value >> fix.altitude)
                          : i == 1 ? static_cast<bool>(value >> fix.depthMeters)
                                   : static_cast<bool>(value >> fix.satellites);
                if (!ok || !(value >> std::ws).eof()) return Fail(error, lineNumber, line);
            }
            if (fix.satellites < 0 || fix.satellites > kSatelliteSlots)
                return Fail(error, lineNumber, line);
            fixes.push_back(fix);
        } else if (command == "nofix") {
            fix.valid = false;
            fixes.push_back(fix);
        } else if (command == "hold") {
            int seconds = -1;
            if (!(words >> seconds) || seconds < 0 || seconds > 100000 || fixes.empty())
                return Fail(error, lineNumber, line);
            fixes.insert(fixes.end(), static_cast<size_t>(seconds), fix);
        } else {
            return Fail(error, lineNumber, line);
        }
        std::string extra;
        if (words >> extra) return Fail(error, lineNumber, line);
    }
    return true;
}

void ScriptedSnapshot(const ScriptedFix& fix, const SystemTime16& utcTime, GpsSnapshot& out) {
    out = GpsSnapshot{};
    out.utcTime = utcTime;
    out.latitude = fix.latitude;
    out.longitude = fix.longitude;
    out.altitude = fix.altitude;
    out.speedKnots = fix.speedKnots;
    out.course = fix.course;
    out.depthMeters = fix.depthMeters;
    out.depthFeet = fix.depthMeters * 3.2808f;
    for (int i = 0; i < fix.satellites; ++i) {
        SatelliteEntry& s = out.satellites[i];
        s.id = static_cast<uint16_t>(i + 1);
        s.elevation = static_cast<uint16_t>(10 + 6 * i);
        s.azimuth = static_cast<uint16_t>(30 * i);
        s.snr = fix.valid ? static_cast<uint16_t>(30 + i) : 0;
    }
    out.satsInView = static_cast<uint8_t>(fix.satellites);
    out.fixValid = fix.valid ? 1 : 0;
    out.fixQuality = fix.valid ? 1 : 0;
    out.serverStatus = fix.valid ? 3 : 1;
}
