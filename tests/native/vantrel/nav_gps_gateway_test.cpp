// The GPS stand-in as a gateway to real receivers: gpsd's JSON reports into the record, lines out
// of a byte stream, a log paced by its own times, and the silence and reconnect clocks.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tools/gps_server/gateway.h"
#include "tools/gps_server/gateway_options.h"
#include "tools/gps_server/gpsd_report.h"
#include "tools/gps_server/line_assembler.h"
#include "tools/gps_server/log_pacing.h"
#include "tools/gps_server/nmea_decoder.h"
#include "tools/gps_server/nmea_writer.h"

namespace {

bool SameRecord(const GpsSnapshot& a, const GpsSnapshot& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Line(std::string body) {
    std::string line = WithChecksum(body);
    return line.substr(0, line.size() - 2); // without CR LF
}

const std::string kRmc = Line("GPRMC,094737,A,5251.0093,N,00518.8170,E,5.6,230.5,200818,,,A");

// A 3D fix with a position, speed, depth and two satellites, for reports to change or spoil.
ReceiverState KnownState() {
    ReceiverState state;
    EXPECT_TRUE(ApplyNmeaSentence(state, kRmc));
    EXPECT_TRUE(ApplyNmeaSentence(
        state, Line("GPGGA,094737,5251.0093,N,00518.8170,E,1,12,0.6,-4,M,46.8,M,,")));
    EXPECT_TRUE(ApplyNmeaSentence(state, Line("GPGSV,1,1,02,07,10,333,39,08,12,279,35")));
    EXPECT_TRUE(ApplyNmeaSentence(state, Line("SDDPT,5.3,0.4,")));
    return state;
}

std::vector<std::string> Assemble(LineAssembler& assembler, const std::string& bytes) {
    std::vector<std::string> lines;
    AssembleLines(assembler, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), lines);
    return lines;
}

} // namespace

TEST(NavGpsGateway, GpsdReportsBecomeTheRecordInItsUnits) {
    const struct {
        const char* what;
        std::string report;
        std::function<void(const GpsSnapshot&, const GpsSnapshot& before)> check;
    } cases[] = {
        {"a 3D fix, every unit converted",
         R"({"class":"TPV","device":"/dev/pts/3","mode":3,"time":"2018-08-20T09:47:38.250Z",)"
         R"("lat":52.84,"lon":5.31,"altHAE":42.8,"altMSL":-5.5,"alt":-4.0,"track":230.5,)"
         R"("speed":2.881,"geoidSep":46.8,"depth":5.4,"status":2})",
         [](const GpsSnapshot& r, const GpsSnapshot&) {
             EXPECT_EQ(r.fixValid, 1);
             EXPECT_STREQ(GpsStatusWord(r, true), "3D Fix");
             EXPECT_FLOAT_EQ(r.latitude, 52.84f);
             EXPECT_FLOAT_EQ(r.longitude, -5.31f) << "east of Greenwich is negative";
             EXPECT_FLOAT_EQ(r.altitude, -5.5f) << "above sea level, not the ellipsoid";
             EXPECT_NEAR(r.speedKnots, 5.6003f, 1e-4f);
             EXPECT_FLOAT_EQ(r.course, 230.5f);
             EXPECT_FLOAT_EQ(r.geoidSeparation, 46.8f);
             EXPECT_FLOAT_EQ(r.depthMeters, 5.4f);
             EXPECT_NEAR(r.depthFeet, 17.7165f, 1e-3f);
             EXPECT_EQ(r.fixQuality, 2);
             EXPECT_EQ(r.utcTime.year, 2018);
             EXPECT_EQ(r.utcTime.month, 8);
             EXPECT_EQ(r.utcTime.day, 20);
             EXPECT_EQ(r.utcTime.dayOfWeek, 1); // a Monday
             EXPECT_EQ(r.utcTime.hour, 9);
             EXPECT_EQ(r.utcTime.second, 38);
             EXPECT_EQ(r.utcTime.milliseconds, 250);
         }},
        {"a 2D fix from an older gpsd, fields left out keep their values",
         R"({"class":"TPV","mode":2,"lat":-27.25,"lon":-153.5,"alt":3.0})",
         [](const GpsSnapshot& r, const GpsSnapshot& before) {
             EXPECT_EQ(r.fixValid, 1);
             EXPECT_STREQ(GpsStatusWord(r, true), "2D Fix");
             EXPECT_FLOAT_EQ(r.latitude, -27.25f);
             EXPECT_FLOAT_EQ(r.longitude, 153.5f);
             EXPECT_FLOAT_EQ(r.altitude, 3.0f);
             EXPECT_EQ(r.speedKnots, before.speedKnots);
             EXPECT_EQ(r.depthFeet, before.depthFeet);
             EXPECT_EQ(r.fixQuality, 1);
             EXPECT_EQ(r.utcTime.second, before.utcTime.second);
         }},
        {"mode 1 is no fix", R"({"class":"TPV","mode":1,"time":"2018-08-20T09:50:00Z"})",
         [](const GpsSnapshot& r, const GpsSnapshot& before) {
             EXPECT_EQ(r.fixValid, 0);
             EXPECT_STREQ(GpsStatusWord(r, true), "No Fix");
             EXPECT_EQ(r.latitude, before.latitude);
             EXPECT_EQ(r.utcTime.minute, 50);
             EXPECT_EQ(r.fixQuality, 0);
         }},
        {"mode 0 (not seen yet) is no fix too", R"({"class":"TPV","mode":0})",
         [](const GpsSnapshot& r, const GpsSnapshot&) { EXPECT_EQ(r.fixValid, 0); }},
        {"a sky view: more satellites than slots, the used ones, below the horizon",
         [] {
             std::string sats;
             for (int prn = 1; prn <= 14; ++prn)
                 sats += (prn > 1 ? "," : "") + std::string("{\"PRN\":") + std::to_string(prn) +
                         ",\"el\":" + (prn == 3 ? "-2" : "45") +
                         ",\"az\":" + (prn == 4 ? "-90.4" : "123.6") +
                         ",\"ss\":" + std::to_string(30 + prn) +
                         ",\"used\":" + (prn % 2 ? "true" : "false") + "}";
             return R"({"class":"SKY","hdop":0.9,"pdop":1.5,"nSat":99,"uSat":1,"satellites":[)" +
                    sats + "]}";
         }(),
         [](const GpsSnapshot& r, const GpsSnapshot& before) {
             EXPECT_EQ(r.satsInView, 14);
             EXPECT_EQ(r.satsUsed, 7);
             EXPECT_EQ(r.satellites[0].id, 1);
             EXPECT_EQ(r.satellites[0].elevation, 45);
             EXPECT_EQ(r.satellites[0].azimuth, 124);
             EXPECT_EQ(r.satellites[0].snr, 31);
             EXPECT_EQ(r.satellites[2].elevation, 0);
             EXPECT_EQ(r.satellites[3].azimuth, 270);
             EXPECT_EQ(r.satellites[11].id, 12);
             const uint8_t used[12] = {1, 3, 5, 7, 9, 11, 13};
             EXPECT_EQ(std::memcmp(r.usedPrns, used, sizeof used), 0);
             EXPECT_FLOAT_EQ(r.hdop, 0.9f);
             EXPECT_FLOAT_EQ(r.pdop, 1.5f);
             EXPECT_EQ(r.vdop, before.vdop);
             EXPECT_EQ(r.fixValid, 1) << "a sky view leaves the fix alone";
         }},
        {"a sky view of counts and dilutions only keeps the satellites",
         R"({"class":"SKY","hdop":1.25,"uSat":11})",
         [](const GpsSnapshot& r, const GpsSnapshot& before) {
             EXPECT_FLOAT_EQ(r.hdop, 1.25f);
             EXPECT_EQ(r.satsUsed, 11);
             EXPECT_EQ(std::memcmp(r.satellites, before.satellites, sizeof r.satellites), 0);
             EXPECT_EQ(r.satsInView, before.satsInView);
         }},
        {"no satellite received", R"({"class":"SKY","satellites":[]})",
         [](const GpsSnapshot& r, const GpsSnapshot&) {
             EXPECT_EQ(r.satsInView, 0);
             EXPECT_EQ(r.satellites[0].id, 0);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ReceiverState state = KnownState();
        const GpsSnapshot before = state.record;
        ASSERT_TRUE(ApplyGpsdReport(state, c.report));
        c.check(state.record, before);
    }

    // Reports that are not JSON, not ours or not whole change nothing at all.
    const char* const refused[] = {
        "",
        "not json",
        R"({"class":"TPV","mode":3,"lat":52.9)",
        R"([{"class":"TPV","mode":3}])",
        R"({"class":"VERSION","release":"3.22","proto_major":3})",
        R"({"class":"DEVICES","devices":[]})",
        R"({"mode":3,"lat":52.9})",
        R"({"class":"TPV","lat":52.9,"lon":5.2})",
        R"({"class":"TPV","mode":"3","lat":52.9})",
        R"({"class":"TPV","mode":4})",
        R"({"class":"TPV","mode":3,"lat":91.0,"lon":5.2})",
        R"({"class":"TPV","mode":3,"lat":52.9,"lon":"5.2"})",
        R"({"class":"TPV","mode":3,"lat":52.9,"speed":-1})",
        R"({"class":"TPV","mode":3,"lat":52.9,"time":"2018-02-30T09:47:38Z"})",
        R"({"class":"TPV","mode":3,"lat":52.9,"time":"yesterday"})",
        R"({"class":"TPV","mode":3,"lat":52.9,"time":1534758458})",
        R"({"class":"SKY","satellites":{"PRN":5}})",
        R"({"class":"SKY","satellites":[{"PRN":5,"el":10},{"el":10,"az":20}]})",
        R"({"class":"SKY","satellites":[{"PRN":5,"used":1}]})",
        R"({"class":"SKY","hdop":"good"})",
        R"({"class":"SKY","uSat":300})",
    };
    for (const char* report : refused) {
        SCOPED_TRACE(report);
        ReceiverState state = KnownState();
        const GpsSnapshot before = state.record;
        EXPECT_FALSE(ApplyGpsdReport(state, report));
        EXPECT_TRUE(SameRecord(state.record, before));
        EXPECT_EQ(state.fixMode, kFixMode3D);
    }
}

TEST(NavGpsGateway, LinesAreAssembledAcrossReadsAndOverlongOnesDropped) {
    const std::string longest(kMaxNmeaLine, 'x');
    const std::string overlong(kMaxNmeaLine + 1, 'y');
    const struct {
        const char* what;
        std::vector<std::string> reads;
        std::vector<std::string> lines;
        std::string partial; // left waiting for its line end
    } cases[] = {
        {"CR LF and LF alone", {"$A*00\r\n$B*00\n"}, {"$A*00", "$B*00"}, ""},
        {"a line cut anywhere", {"$GP", "RMC,1", "*00\r", "\n$G"}, {"$GPRMC,1*00"}, "$G"},
        {"the longest line, with and without CR",
         {longest + "\r\n" + longest + "\n"},
         {longest, longest},
         ""},
        {"an overlong line goes, with its end, the next one stays",
         {overlong.substr(0, 100), overlong.substr(100) + "$TAIL*00\r\n$NEXT*00\n"},
         {"$NEXT*00"},
         ""},
        {"an overlong line with no end at all", {overlong + overlong}, {}, ""},
        {"empty lines come as empty lines", {"\n\r\n"}, {"", ""}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LineAssembler assembler;
        std::vector<std::string> lines;
        for (const std::string& read : c.reads)
            for (std::string& line : Assemble(assembler, read))
                lines.push_back(std::move(line));
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(assembler.partial, c.partial);
        EXPECT_LE(assembler.partial.size(), kMaxNmeaLine + 1);
    }
    // A lost connection leaves no half line for the next one to finish.
    LineAssembler assembler;
    Assemble(assembler, overlong);
    ResetLines(assembler);
    EXPECT_EQ(Assemble(assembler, "$OK*00\n"), std::vector<std::string>{"$OK*00"});
}

TEST(NavGpsGateway, LogsArePacedByTheirSentencesTimes) {
    const std::string rmc = Line("GPRMC,235959.50,A,5251.0093,N,00518.8170,E,5.6,230.5,200818,,,A");
    const struct {
        const char* what;
        std::vector<std::string> lines;
        std::vector<uint32_t> waits;
    } cases[] = {
        {"timed sentences and the untimed ones that follow them",
         {"# a comment", Line("GPGGA,120000,5251.0,N,00518.8,E,1,8,1,0,M,0,M,,"),
          Line("GPGSV,1,1,00"), Line("GPGLL,5251.0,N,00518.8,E,120001.25,A"),
          Line("GPZDA,120002.00,20,08,2018,00,00")},
         {0, 0, 0, 1250, 750}},
        {"midnight, a step back and a long gap",
         {rmc, Line("GPGGA,000000.5,5251.0,N,00518.8,E,1,8,1,0,M,0,M,,"),
          Line("GPGGA,000000.0,5251.0,N,00518.8,E,1,8,1,0,M,0,M,,"),
          Line("GPGGA,013000.0,5251.0,N,00518.8,E,1,8,1,0,M,0,M,,")},
         {0, 1000, 0, kLongestLogGapMs}},
        {"a bad checksum carries no time",
         {Line("GPGGA,120000,5251.0,N,00518.8,E,1,8,1,0,M,0,M,,"),
          "$GPGGA,120005,5251.0,N,00518.8,E,1,8,1,0,M,0,M,,*00",
          Line("GPGGA,120001,5251.0,N,00518.8,E,1,8,1,0,M,0,M,,")},
         {0, 0, 1000}},
        {"no time anywhere", {"$A", "$B", "$C"}, {0, kUntimedLineMs, kUntimedLineMs}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string text;
        for (const std::string& line : c.lines)
            text += line + "\r\n\r\n";
        const PacedLog log = PaceLog(text);
        EXPECT_EQ(log.lines, c.lines);
        EXPECT_EQ(log.waitMs, c.waits);
    }

    // Replaying: what is due when, across the clock's wrap, once and looping.
    const PacedLog log = PaceLog("$A\n" + Line("GPGGA,120000,,,,,0,0,,,,,,,") + "\n" +
                                 Line("GPGGA,120002,,,,,0,0,,,,,,,") + "\n$B");
    ASSERT_EQ(log.waitMs, (std::vector<uint32_t>{0, 0, 2000, 0}));
    const uint32_t start = 0xFFFFF000u;
    for (bool loop : {false, true}) {
        SCOPED_TRACE(loop);
        LogReplay replay = StartReplay(log, start, loop);
        EXPECT_EQ(DueLines(log, replay, start).size(), 2u);
        EXPECT_TRUE(DueLines(log, replay, start + 1999).empty());
        EXPECT_EQ(DueLines(log, replay, start + 2000).size(), 2u);
        EXPECT_EQ(replay.finished, !loop);
        const std::vector<std::string_view> again = DueLines(log, replay, start + 3000);
        EXPECT_EQ(again.size(), loop ? 2u : 0u) << "after the pause the log starts again";
        if (loop) {
            EXPECT_EQ(again[0], "$A");
        }
    }
    LogReplay empty = StartReplay(PacedLog{}, start, true);
    EXPECT_TRUE(DueLines(PacedLog{}, empty, start + 5000).empty());
}

TEST(NavGpsGateway, SilenceCostsTheFixAndReconnectsWaitLongerEachTime) {
    for (GatewayProtocol protocol : {GatewayProtocol::Nmea, GatewayProtocol::GpsdJson}) {
        SCOPED_TRACE(static_cast<int>(protocol));
        const bool gpsd = protocol == GatewayProtocol::GpsdJson;
        const std::string fix =
            gpsd ? R"({"class":"TPV","mode":3,"lat":52.85,"lon":5.31,"speed":2.0})" + std::string()
                 : kRmc;
        const std::string noise = gpsd ? R"({"class":"TPV","mode":3,"lat":95})" : "$GPRMC,1*00";
        GatewayLink link = MakeGatewayLink(protocol);
        GatewayConnected(link);
        const uint32_t t0 = 0xFFFFFC00u; // the clock wraps during the test
        EXPECT_FALSE(GatewayTick(link, t0 + 10 * kSilenceLimitMs)) << "nothing heard yet";

        const std::string bytes = fix + "\r\n" + noise + "\r\n" + std::string(5000, '$') + "\n";
        EXPECT_TRUE(ReceiveGatewayBytes(link, reinterpret_cast<const uint8_t*>(bytes.data()),
                                        bytes.size(), t0));
        EXPECT_EQ(link.receiver.state.record.fixValid, 1);
        EXPECT_NEAR(link.receiver.state.record.latitude, 52.85f, 1e-3f);
        // Noise is not a sign of life.
        EXPECT_FALSE(ApplyGatewayLine(link, noise, t0 + 2000));
        EXPECT_FALSE(GatewayTick(link, t0 + kSilenceLimitMs - 1));
        EXPECT_EQ(link.receiver.state.record.fixValid, 1);
        const GpsSnapshot held = link.receiver.state.record;
        EXPECT_TRUE(GatewayTick(link, t0 + kSilenceLimitMs));
        EXPECT_EQ(link.receiver.state.record.fixValid, 0);
        EXPECT_STREQ(GpsStatusWord(link.receiver.state.record, true), "No Fix");
        EXPECT_EQ(link.receiver.state.record.latitude, held.latitude);
        EXPECT_FALSE(GatewayTick(link, t0 + 3 * kSilenceLimitMs)) << "once";
        // The source speaks again: the fix is back, and silence counts from then.
        EXPECT_TRUE(ApplyGatewayLine(link, fix, t0 + 4 * kSilenceLimitMs));
        EXPECT_EQ(link.receiver.state.record.fixValid, 1);
        EXPECT_FALSE(GatewayTick(link, t0 + 5 * kSilenceLimitMs - 1));
        EXPECT_TRUE(GatewayTick(link, t0 + 5 * kSilenceLimitMs));

        // Lost, refused, refused...: each wait doubles up to the longest.
        uint32_t now = t0 + 6 * kSilenceLimitMs;
        std::vector<uint32_t> waits;
        for (int attempt = 0; attempt < 7; ++attempt) {
            waits.push_back(GatewayLost(link, now));
            EXPECT_FALSE(GatewayRetryDue(link, now + waits.back() - 1));
            EXPECT_TRUE(GatewayRetryDue(link, now + waits.back()));
            now += waits.back();
        }
        EXPECT_EQ(waits, (std::vector<uint32_t>{250, 500, 1000, 2000, 4000, 4000, 4000}));
        // A peer that accepts and hangs up at once does not make the waits short again...
        GatewayConnected(link);
        EXPECT_FALSE(GatewayRetryDue(link, now));
        EXPECT_EQ(GatewayLost(link, now), kLongestRetryMs);
        // ...one that delivered a report does; a half line from before is not finished.
        GatewayConnected(link);
        const std::string half = fix.substr(0, 10);
        ReceiveGatewayBytes(link, reinterpret_cast<const uint8_t*>(half.data()), half.size(), now);
        GatewayLost(link, now);
        GatewayConnected(link);
        const std::string next = fix + "\n";
        EXPECT_TRUE(ReceiveGatewayBytes(link, reinterpret_cast<const uint8_t*>(next.data()),
                                        next.size(), now));
        EXPECT_EQ(GatewayLost(link, now), kFirstRetryMs);
    }
}

TEST(NavGpsGateway, SourceOptionsAreReadOrRefused) {
    const struct {
        std::vector<std::string> args; // after the program name
        OptionRead read;
        size_t last; // index of the last argument taken
        GatewayKind kind;
        std::string where; // device, host:port or file
        uint32_t baud;
    } cases[] = {
        {{"/serial", "COM3"}, OptionRead::Taken, 2, GatewayKind::Serial, "COM3", 4800},
        {{"/serial", "com12", "38400"}, OptionRead::Taken, 3, GatewayKind::Serial, "com12", 38400},
        {{"/serial", "COM3", "/loop"}, OptionRead::Taken, 2, GatewayKind::Serial, "COM3", 4800},
        {{"/gpsd"}, OptionRead::Taken, 1, GatewayKind::Gpsd, "localhost:2947", 4800},
        {{"/gpsd", "10.0.0.2", "/loop"},
         OptionRead::Taken,
         2,
         GatewayKind::Gpsd,
         "10.0.0.2:2947",
         4800},
        {{"/gpsd", "gps.local:3000"},
         OptionRead::Taken,
         2,
         GatewayKind::Gpsd,
         "gps.local:3000",
         4800},
        {{"/gpsd", ":3000"}, OptionRead::Taken, 2, GatewayKind::Gpsd, "localhost:3000", 4800},
        {{"/tcp", "192.168.1.5", "10110"},
         OptionRead::Taken,
         3,
         GatewayKind::Tcp,
         "192.168.1.5:10110",
         4800},
        {{"/nmea", "C:\\logs\\a.nmea"},
         OptionRead::Taken,
         2,
         GatewayKind::File,
         "C:\\logs\\a.nmea",
         4800},
        {{"/script", "a.txt"}, OptionRead::NotMine, 1, GatewayKind::None, "", 4800},
        {{"/serial"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
        {{"/serial", "COM0"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
        {{"/serial", "COM256"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
        {{"/serial", "LPT1"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
        {{"/serial", "COM3", "0"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
        {{"/serial", "COM3", "9600x"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
        {{"/tcp", "host"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
        {{"/tcp", "host", "0"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
        {{"/tcp", "host", "65536"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
        {{"/tcp", "/gpsd", "10"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
        {{"/gpsd", "host:"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
        {{"/gpsd", "host:abc"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
        {{"/nmea"}, OptionRead::Bad, 1, GatewayKind::None, "", 4800},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"GpsServer"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(args[1] + (args.size() > 2 ? " " + args[2] : ""));
        GatewayOptions options;
        size_t i = 1;
        std::string error;
        EXPECT_EQ(ReadGatewayOption(args, i, options, error), c.read);
        EXPECT_EQ(i, c.last);
        EXPECT_EQ(options.kind, c.kind);
        EXPECT_EQ(error.empty(), c.read != OptionRead::Bad);
        const std::string where =
            c.kind == GatewayKind::Serial ? options.device
            : c.kind == GatewayKind::File
                ? options.path
                : (c.kind == GatewayKind::None ? ""
                                               : options.host + ":" + std::to_string(options.port));
        EXPECT_EQ(where, c.where);
        EXPECT_EQ(options.baud, c.baud);
    }
    // One source at a time: a second one is refused and the first stays.
    const std::vector<std::string> args = {"GpsServer", "/tcp", "a", "1", "/gpsd"};
    GatewayOptions options;
    size_t i = 1;
    std::string error;
    ASSERT_EQ(ReadGatewayOption(args, i, options, error), OptionRead::Taken);
    ++i;
    EXPECT_EQ(ReadGatewayOption(args, i, options, error), OptionRead::Bad);
    EXPECT_EQ(options.kind, GatewayKind::Tcp);
    EXPECT_EQ(options.host, "a");
}
