// The GPS server stand-in's decoding of real receivers' logs, checked against an independent
// decoder: beside each log in tests/data/gps-logs, X.log.chk holds what gpsd reported after each
// input sentence (NMEA logs: the sentence, then the JSON lines it caused) or packet (the SiRF
// log: one TPV line per navigation-data packet, MID 2, and one SKY line with "nSat" per tracker
// packet, MID 4, in the order of the packets).
//
// Compared, after the sentence or packet that caused the report, where the report has the field:
//   TPV  mode            -> fixValid (mode 2 or 3)
//        lat, lon        -> latitude, longitude (the record's longitude is positive west)
//        speed, track    -> speedKnots (the report's metres per second), course
//        altMSL          -> altitude (NMEA logs)
//        time            -> utcTime, to the millisecond (NMEA logs)
//        depth           -> depthMeters
//   SKY  satellites      -> the satellites listed (PRN, elevation, azimuth, signal, and for the
//                           NMEA logs whether the fix uses it), as a set: the record holds 12
//        uSat            -> satsUsed (NMEA logs, reports without a satellite list)
//        hdop, pdop, vdop   (NMEA logs)
// Within the precision of the record (single-precision floats, whole degrees and dB-Hz for the
// satellites) and of the report's printed digits.
//
// Not compared: the 2D/3D distinction (the reference calls a fix 3D when GGA has an altitude, the
// record takes GSA's mode), the SiRF log's altitude (gpsd derives sea level from its own geoid
// model, the record takes the receiver's) and time (gpsd corrects the receiver's GPS time by its
// own count of leap seconds, the record takes the receiver's UTC), the SiRF log's dilutions and
// satellite usage (the reference works them out from the satellites' geometry and tracking state,
// the record takes the receiver's fix), error estimates (eph, epx, ...), magnetic track and
// variation, height above the ellipsoid, gdop, tdop, xdop, ydop, and what a chartplotter adds
// (wind, heading, water temperature).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "tools/gps_server/receiver_stream.h"
#include "tools/gps_server/sirf_decoder.h"

namespace {

using nlohmann::json;

constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;

std::string ReadLog(const std::string& name) {
    std::ifstream in(std::string(VZ_TEST_DATA_DIR "/gps-logs/") + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// Half a unit of the report's last printed digit, and the record's float resolution.
double Tolerance(double value, int decimals) {
    const float f = static_cast<float>(value);
    const double ulp = std::fabs(double(std::nextafter(f, HUGE_VALF)) - double(f));
    return 0.5 * std::pow(10.0, -decimals) + ulp;
}

// What a log's reports can be compared in (see the list at the top).
struct Compared {
    bool altitudeAndTime; // NMEA logs
    bool dopsAndUsage;    // NMEA logs: for the SiRF log the reference works them out itself
};

struct Checker {
    Compared what;
    std::string where;
    std::string motionSecond; // "hh:mm:ss" of the last RMC, the second its speed belongs to
    int compared = 0;

    void Field(const json& report, const char* key, int decimals, double ours, double scale = 1.0) {
        if (!report.contains(key)) return;
        const double expected = report[key].get<double>() * scale;
        EXPECT_NEAR(ours, expected, Tolerance(expected, decimals) * scale) << where << " " << key;
        ++compared;
    }

    void Position(const json& tpv, const GpsSnapshot& r) {
        if (tpv.contains("mode")) {
            const int mode = tpv["mode"].get<int>();
            EXPECT_EQ(r.fixValid != 0, mode >= 2) << where << " mode " << mode;
            ++compared;
        }
        Field(tpv, "lat", 9, r.latitude);
        Field(tpv, "lon", 9, -r.longitude);
        // At the start of each second the reference estimates speed and course itself (from the
        // change of position and the magnetic heading) until that second's RMC arrives; the
        // record keeps what the receiver said last.
        const bool motionOfThisSecond =
            !what.altitudeAndTime ||
            (tpv.contains("time") && tpv["time"].get<std::string>().substr(11, 8) == motionSecond);
        if (motionOfThisSecond && tpv.contains("track")) {
            Field(tpv, "speed", 3, r.speedKnots, kKnotsPerMetrePerSecond);
            Field(tpv, "track", 4, r.course);
        }
        Field(tpv, "depth", 3, r.depthMeters);
        if (what.altitudeAndTime) Field(tpv, "altMSL", 4, r.altitude);
        if (what.altitudeAndTime && tpv.contains("time")) {
            const SystemTime16& t = r.utcTime;
            char ours[64];
            std::snprintf(ours, sizeof ours, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ",
                          unsigned(t.year), unsigned(t.month), unsigned(t.day), unsigned(t.hour),
                          unsigned(t.minute), unsigned(t.second), unsigned(t.milliseconds));
            EXPECT_EQ(ours, tpv["time"].get<std::string>()) << where;
            ++compared;
        }
    }

    void Sky(const json& sky, const GpsSnapshot& r) {
        std::map<int, SatelliteEntry> listed;
        for (const SatelliteEntry& s : r.satellites)
            if (s.id != 0) listed[s.id] = s;
        auto used = [&](int prn) {
            for (uint8_t p : r.usedPrns)
                if (p != 0 && p == prn) return true;
            return false;
        };
        if (what.dopsAndUsage) {
            Field(sky, "hdop", 2, r.hdop);
            Field(sky, "pdop", 2, r.pdop);
            Field(sky, "vdop", 2, r.vdop);
        }
        // With a satellite list the reference counts the used ones itself (see below).
        if (what.dopsAndUsage && sky.contains("uSat") && !sky.contains("satellites")) {
            EXPECT_EQ(r.satsUsed, sky["uSat"].get<int>()) << where;
        }
        const json none = json::array();
        const json& satellites = sky.contains("satellites") ? sky["satellites"] : none;
        if (!sky.contains("satellites") && !sky.contains("nSat")) return;
        std::map<int, const json*> theirs;
        for (const json& s : satellites)
            theirs[s["PRN"].get<int>()] = &s;
        for (const auto& [prn, s] : theirs) {
            const std::string at = where + " PRN " + std::to_string(prn);
            auto ours = listed.find(prn);
            if (ours == listed.end()) {
                EXPECT_GT(theirs.size(), size_t(kSatelliteSlots)) << at << " not listed";
                continue;
            }
            const SatelliteEntry& e = ours->second;
            // The reference places geostationary satellites the receiver gave no place for.
            if (e.elevation != 0 || e.azimuth != 0) {
                EXPECT_NEAR(e.elevation, s->value("el", 0.0), 0.5) << at;
                EXPECT_NEAR(e.azimuth, s->value("az", 0.0), 0.5) << at;
            }
            EXPECT_NEAR(e.snr, s->value("ss", 0.0), 0.5) << at;
            // The reference counts a satellite it hears nothing from as unused, whatever the
            // receiver's fix says.
            if (what.dopsAndUsage && e.snr != 0) {
                EXPECT_EQ(used(prn), (*s)["used"].get<bool>()) << at;
            }
            ++compared;
        }
        // The record lists a satellite that is tracked but not yet placed in the sky for its
        // signal; the reference leaves it out.
        for (const auto& [prn, e] : listed) {
            if (theirs.count(prn) == 0) {
                EXPECT_TRUE(e.elevation == 0 && e.azimuth == 0) << where << " PRN " << prn;
            }
        }
    }
};

void Feed(ReceiverStream& stream, const std::string& bytes) {
    FeedReceiverBytes(stream, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

TEST(NavGpsServerDecoding, NmeaLogsAgreeWithTheReferenceDecoder) {
    const struct {
        const char* log;
        int minimumCompared; // so that a check file read wrong cannot pass by comparing nothing
    } logs[] = {
        {"bundg_zeus_9.log", 12000},
        {"garmin-geko201.log", 400},
        {"haicom-305N.log", 2000},
        {"nmea-rtk.log", 1000},
    };
    for (const auto& log : logs) {
        SCOPED_TRACE(log.log);
        // The sentences of the log: a line with no checksum ("$GPBOD,,T,,M,,*") is none.
        std::vector<std::string> input;
        for (const std::string& line : Lines(ReadLog(log.log)))
            if (line.size() > 4 && line[0] == '$' && line[line.size() - 3] == '*')
                input.push_back(line);
        const std::vector<std::string> check = Lines(ReadLog(std::string(log.log) + ".chk"));
        ASSERT_GT(input.size(), 50u);

        ReceiverStream stream;
        Checker checker{{true, true}, "", "", 0};
        size_t sentences = 0;
        for (const std::string& line : check) {
            if (!line.empty() && line[0] == '$') {
                ASSERT_LT(sentences, input.size());
                ASSERT_EQ(line, input[sentences]) << "the check file follows the log";
                checker.where = line;
                if (line.compare(3, 4, "RMC,") == 0 && line.size() > 13)
                    checker.motionSecond =
                        line.substr(7, 2) + ":" + line.substr(9, 2) + ":" + line.substr(11, 2);
                Feed(stream, line + "\r\n");
                ++sentences;
                continue;
            }
            const json report = json::parse(line, nullptr, false);
            if (report.is_discarded() || !report.contains("class")) continue;
            const GpsSnapshot& r = stream.state.record;
            if (report["class"] == "TPV") checker.Position(report, r);
            if (report["class"] == "SKY") checker.Sky(report, r);
        }
        EXPECT_EQ(sentences, input.size());
        EXPECT_GE(checker.compared, log.minimumCompared);
    }
}

TEST(NavGpsServerDecoding, SirfLogAgreesWithTheReferenceDecoder) {
    const std::string log = ReadLog("sirf2.log");
    std::vector<json> positions, skies;
    for (const std::string& line : Lines(ReadLog("sirf2.log.chk"))) {
        const json report = json::parse(line, nullptr, false);
        if (report.is_discarded() || !report.contains("class")) continue;
        if (report["class"] == "TPV") positions.push_back(report);
        if (report["class"] == "SKY" && report.contains("nSat")) skies.push_back(report);
    }

    // The packets, found here on their own, go through the stream one by one.
    ReceiverStream stream;
    Checker checker{{false, false}, "", "", 0};
    size_t navigation = 0, tracker = 0, packets = 0;
    for (size_t at = log.find("\xA0\xA2"); at != std::string::npos && at + 4 <= log.size();) {
        const size_t length = (size_t(uint8_t(log[at + 2])) << 8 | uint8_t(log[at + 3])) + 8;
        ASSERT_LE(at + length, log.size());
        Feed(stream, log.substr(at, length));
        ++packets;
        const uint8_t id = uint8_t(log[at + 4]);
        checker.where = "packet " + std::to_string(packets) + " MID " + std::to_string(id);
        const GpsSnapshot& r = stream.state.record;
        if (id == 2) {
            ASSERT_LT(navigation, positions.size());
            checker.Position(positions[navigation++], r);
        } else if (id == 4) {
            ASSERT_LT(tracker, skies.size());
            checker.Sky(skies[tracker++], r);
        }
        at = log.find("\xA0\xA2", at + length);
    }
    EXPECT_EQ(packets, 5508u);
    EXPECT_EQ(navigation, positions.size());
    EXPECT_EQ(tracker, skies.size());
    EXPECT_GE(checker.compared, 9000);
}
