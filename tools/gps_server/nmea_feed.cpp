#include "tools/gps_server/nmea_feed.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

std::vector<std::string> SplitFields(const std::string& sentence) {
    std::string body = sentence.substr(0, sentence.find_first_of("*\r\n"));
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t comma = body.find(',', start);
        fields.push_back(body.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return fields;
}

double Number(const std::string& text) {
    return std::strtod(text.c_str(), nullptr);
}

// "ddmm.mmmm" (or "dddmm.mmmm") to degrees.
double Degrees(const std::string& text) {
    double raw = Number(text);
    double whole = std::floor(raw / 100.0);
    return whole + (raw - whole * 100.0) / 60.0;
}

void ApplyTime(const std::string& hhmmss, SystemTime16& t) {
    if (hhmmss.size() < 6) return;
    t.hour = static_cast<uint16_t>(std::atoi(hhmmss.substr(0, 2).c_str()));
    t.minute = static_cast<uint16_t>(std::atoi(hhmmss.substr(2, 2).c_str()));
    t.second = static_cast<uint16_t>(std::atoi(hhmmss.substr(4, 2).c_str()));
    double fraction = hhmmss.size() > 6 ? Number(hhmmss.substr(6)) : 0.0;
    t.milliseconds = static_cast<uint16_t>(std::lround(fraction * 1000.0) % 1000);
}

void ApplyDate(const std::string& ddmmyy, SystemTime16& t) {
    if (ddmmyy.size() != 6) return;
    t.day = static_cast<uint16_t>(std::atoi(ddmmyy.substr(0, 2).c_str()));
    t.month = static_cast<uint16_t>(std::atoi(ddmmyy.substr(2, 2).c_str()));
    int year = std::atoi(ddmmyy.substr(4, 2).c_str());
    t.year = static_cast<uint16_t>(year < 80 ? 2000 + year : 1900 + year);
}

bool ApplyRmc(NmeaFeed& feed, const std::vector<std::string>& f) {
    if (f.size() < 10) return false;
    GpsSnapshot& r = feed.record;
    ApplyTime(f[1], r.utcTime);
    ApplyDate(f[9], r.utcTime);
    bool valid = f[2] == "A";
    if (!f[3].empty() && !f[5].empty()) {
        double latitude = Degrees(f[3]);
        double longitude = Degrees(f[5]);
        r.latitude = static_cast<float>(f[4] == "S" ? -latitude : latitude);
        // The record counts longitudes positive to the west.
        r.longitude = static_cast<float>(f[6] == "E" ? -longitude : longitude);
    }
    r.speedKnots = static_cast<float>(Number(f[7]));
    r.course = static_cast<float>(Number(f[8]));
    r.fixValid = valid ? 1 : 0;
    r.serverStatus = static_cast<uint8_t>(valid ? (feed.fixMode >= 2 ? feed.fixMode : 2) : 1);
    return true;
}

bool ApplyGga(NmeaFeed& feed, const std::vector<std::string>& f) {
    if (f.size() < 10) return false;
    GpsSnapshot& r = feed.record;
    r.fixQuality = std::atoi(f[6].c_str());
    r.satsUsed = static_cast<uint8_t>(std::atoi(f[7].c_str()));
    r.hdop = static_cast<float>(Number(f[8]));
    r.altitude = static_cast<float>(Number(f[9]));
    if (f.size() > 11) r.geoidSeparation = static_cast<float>(Number(f[11]));
    return true;
}

bool ApplyGsa(NmeaFeed& feed, const std::vector<std::string>& f) {
    if (f.size() < 18) return false;
    GpsSnapshot& r = feed.record;
    int mode = std::atoi(f[2].c_str());
    if (mode >= 1 && mode <= 3) feed.fixMode = mode;
    for (int i = 0; i < 12; ++i)
        r.usedPrns[i] = static_cast<uint8_t>(std::atoi(f[3 + i].c_str()));
    r.pdop = static_cast<float>(Number(f[15]));
    r.hdop = static_cast<float>(Number(f[16]));
    r.vdop = static_cast<float>(Number(f[17]));
    return true;
}

bool ApplyGsv(NmeaFeed& feed, const std::vector<std::string>& f) {
    if (f.size() < 4) return false;
    GpsSnapshot& r = feed.record;
    int message = std::atoi(f[2].c_str());
    if (message < 1) return false;
    if (message == 1)
        for (SatelliteEntry& s : r.satellites)
            s = SatelliteEntry{};
    int inView = std::atoi(f[3].c_str());
    r.satsInView = static_cast<uint8_t>(inView < 0 ? 0 : inView > 255 ? 255 : inView);
    for (int j = 0; j < 4; ++j) {
        size_t base = 4 + 4 * static_cast<size_t>(j);
        int slot = (message - 1) * 4 + j;
        if (base >= f.size() || slot >= kSatelliteSlots) break;
        SatelliteEntry& s = r.satellites[slot];
        s.id = static_cast<uint16_t>(std::atoi(f[base].c_str()));
        s.elevation =
            static_cast<uint16_t>(base + 1 < f.size() ? std::atoi(f[base + 1].c_str()) : 0);
        s.azimuth = static_cast<uint16_t>(base + 2 < f.size() ? std::atoi(f[base + 2].c_str()) : 0);
        s.snr = static_cast<uint16_t>(base + 3 < f.size() ? std::atoi(f[base + 3].c_str()) : 0);
    }
    return true;
}

void SetDepthMetres(GpsSnapshot& r, double metres) {
    r.depthMeters = static_cast<float>(metres);
    r.depthFeet = static_cast<float>(metres * 3.2808);
}

} // namespace

bool ApplyNmeaSentence(NmeaFeed& feed, const std::string& sentence) {
    size_t start = sentence.find('$');
    if (start == std::string::npos) return false;
    std::vector<std::string> f = SplitFields(sentence.substr(start));
    if (f[0].size() < 4) return false;
    const std::string type = f[0].substr(f[0].size() - 3);
    if (type == "RMC") return ApplyRmc(feed, f);
    if (type == "GGA") return ApplyGga(feed, f);
    if (type == "GSA") return ApplyGsa(feed, f);
    if (type == "GSV") return ApplyGsv(feed, f);
    if (type == "DPT" && f.size() > 1 && !f[1].empty()) {
        SetDepthMetres(feed.record, Number(f[1]));
        return true;
    }
    if (type == "DBT" && f.size() > 3 && !f[3].empty()) {
        SetDepthMetres(feed.record, Number(f[3]));
        return true;
    }
    return false;
}
