// The GPS server stand-in's receiver stream beyond what the recorded logs hold: sentences that
// must change nothing, constellations the logs lack, logs cut as the cluster's playback cuts
// them, and its own drive written as a log and read back.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sources/playback.h"
#include "tools/gps_server/nmea_decoder.h"
#include "tools/gps_server/nmea_writer.h"
#include "tools/gps_server/receiver_stream.h"

namespace {

void Feed(ReceiverStream& stream, const std::string& bytes) {
    FeedReceiverBytes(stream, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

bool SameRecord(const GpsSnapshot& a, const GpsSnapshot& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A state with a fix, satellites and depth, for sentences to spoil.
ReceiverState KnownState() {
    ReceiverStream stream;
    Feed(stream, WithChecksum("GPRMC,094737,A,5251.0093,N,00518.8170,E,5.6,230.5,200818,,,A") +
                     WithChecksum("GPGGA,094737,5251.0093,N,00518.8170,E,1,12,0.6,-4,M,46.8,M,,") +
                     WithChecksum("GPGSV,1,1,02,07,10,333,39,08,12,279,35") +
                     WithChecksum("SDDPT,5.3,0.4,"));
    return stream.state;
}

std::string ReadLog(const std::string& name) {
    std::ifstream in(std::string(VZ_TEST_DATA_DIR "/gps-logs/") + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

TEST(NavGpsServerStream, SentencesThatDoNotReadWholeChangeNothing) {
    const char* const unchecked[] = {
        "$GPRMC,094738,A,5251.0084,N,00518.8149,E,5.8,235.1,200818,1.4,E,A*12\r\n", // wrong
        "$GPRMC,094738,A,5251.0084,N,00518.8149,E,5.8,235.1,200818,1.4,E,A\r\n",    // none
        "$GPRMC,094738,A,5251.0084,N,00518.8149,E,5.8,235.1,200818,1.4,E,A*1\r\n",  // short
    };
    // Each with a right checksum.
    const char* const spoiled[] = {
        "$GPRMC,094738,A,5251.0084,N,00518.8149,E,5.8x,235.1,200818,,,A",    // a number
        "$GPRMC,094738,A,5251.0084,N,00518.8149,E,5e1,235.1,200818,,,A",     // an exponent
        "$GPRMC,094738,A,5251.0084,,00518.8149,E,5.8,235.1,200818,,,A",      // hemisphere
        "$GPRMC,094738,A,5261.0084,N,00518.8149,E,5.8,235.1,200818,,,A",     // 61 minutes
        "$GPRMC,094738,X,5251.0084,N,00518.8149,E,5.8,235.1,200818,,,A",     // status
        "$GPRMC,094738,A,5251.0084,N,00518.8149,E,5.8,361.0,200818,,,A",     // course
        "$GPVTG,054.7,T,034.4,M,-5.5,N,,K",                                  // speed
        "$GPRMC,254738,A,5251.0084,N,00518.8149,E,5.8,235.1,200818,,,A",     // 25 o'clock
        "$GPRMC,094738,A,5251.0084,N,00518.8149,E,5.8,235.1,310218,,,A",     // 31 February
        "$GPRMC,094738,A,5251.0084,N",                                       // too short
        "$GPGGA,094738,5251.0084,N,00518.8149,E,,12,0.6,-4,M,46.8,M,,",      // no quality
        "$GPGGA,094738,9100.0000,N,00518.8149,E,1,12,0.6,-4,M,46.8,M,,",     // 91 degrees
        "$GPGSA,A,4,07,08,,,,,,,,,,,1.1,0.6,0.9",                            // mode 4
        "$GPGSV,2,3,08,07,10,333,39",                                        // 3 of 2
        "$GPGSV,1,1,01,07,95,333,39",                                        // elevation 95
        "$GPZDA,094738,30,02,2018,00,00",                                    // 30 February
        "$SDDPT,-5.3,0.4,",                                                  // negative depth
        "$SDDBT,17.5,f,5,3,M,2.9,F",                                         // a comma decimal
        "$PGRMZ,2282,f,3",                                                   // proprietary
        "$GPRMC,094738,A,5251.0084,N,00518.8149,E,5.8,235.1,200818,\x01,,A", // a control
    };
    std::vector<std::string> lines(std::begin(unchecked), std::end(unchecked));
    for (const char* text : spoiled)
        lines.push_back(WithChecksum(text + 1));
    const ReceiverState known = KnownState();
    ASSERT_EQ(known.record.fixValid, 1);
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        ReceiverState state = known;
        EXPECT_FALSE(ApplyNmeaSentence(state, line));
        EXPECT_TRUE(SameRecord(state.record, known.record));
        ReceiverStream stream;
        stream.state = known;
        EXPECT_FALSE(
            FeedReceiverBytes(stream, reinterpret_cast<const uint8_t*>(line.data()), line.size()));
        EXPECT_TRUE(SameRecord(stream.state.record, known.record));
    }
    // Lower-case checksum digits are fine.
    ReceiverState state = known;
    EXPECT_TRUE(ApplyNmeaSentence(state, "$SDDPT,5.4,0.4,*7e"));
    EXPECT_EQ(state.record.depthMeters, 5.4f);
}

TEST(NavGpsServerStream, ConstellationsDepthAndDatesFillTheRecord) {
    ReceiverStream stream;
    // GPS in two sentences, GLONASS in one, Galileo numbered from 1; a group shows complete.
    Feed(stream, WithChecksum("GPGSV,2,1,05,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45"));
    EXPECT_EQ(stream.state.record.satellites[0].id, 0) << "half a group is not shown";
    Feed(stream, WithChecksum("GPGSV,2,2,05,15,12,100,") +
                     WithChecksum("GLGSV,1,1,02,65,34,291,33,72,10,020,") +
                     WithChecksum("GAGSV,1,1,01,05,60,130,40,7"));
    const GpsSnapshot& r = stream.state.record;
    const uint16_t ids[] = {1, 2, 12, 14, 15, 65, 72, 305, 0};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(r.satellites[i].id, ids[i]) << i;
    EXPECT_EQ(r.satellites[4].snr, 0) << "a satellite not heard";
    EXPECT_EQ(r.satellites[7].azimuth, 130);
    EXPECT_EQ(r.satsInView, 8);
    // A new GPS group replaces only GPS; more satellites than the record holds are cut.
    std::string many;
    for (int n = 1; n <= 4; ++n) {
        std::string body = "GPGSV,4," + std::to_string(n) + ",16";
        for (int k = 0; k < 4; ++k)
            body += "," + std::to_string(n * 4 + k) + ",10,100,30";
        many += WithChecksum(body);
    }
    Feed(stream, many);
    EXPECT_EQ(r.satellites[0].id, 4);
    EXPECT_EQ(r.satellites[11].id, 15);
    EXPECT_EQ(r.satsInView, 16 + 2 + 1);

    // Depth in feet and metres, or fathoms only; speed from km/h; the date and its weekday.
    Feed(stream, WithChecksum("SDDBT,17.5,f,5.3,M,2.9,F"));
    EXPECT_EQ(r.depthFeet, 17.5f);
    EXPECT_EQ(r.depthMeters, 5.3f);
    Feed(stream, WithChecksum("SDDBT,,f,,M,2.0,F"));
    EXPECT_EQ(r.depthFeet, 12.0f);
    EXPECT_NEAR(r.depthMeters, 3.6576f, 1e-5);
    Feed(stream, WithChecksum("GPVTG,054.7,T,034.4,M,,N,18.52,K"));
    EXPECT_NEAR(r.speedKnots, 10.0f, 1e-5);
    EXPECT_NEAR(r.course, 54.7f, 1e-5);
    Feed(stream, WithChecksum("GPZDA,201530.25,29,02,2028,00,00"));
    EXPECT_EQ(r.utcTime.year, 2028);
    EXPECT_EQ(r.utcTime.day, 29);
    EXPECT_EQ(r.utcTime.dayOfWeek, 2) << "29 February 2028 is a Tuesday";
    EXPECT_EQ(r.utcTime.milliseconds, 250);

    // A fix lost and found again; the south and east come out negative where they should.
    Feed(stream, WithChecksum("GPRMC,201531,V,,,,,,,290228,,,N"));
    EXPECT_EQ(r.fixValid, 0);
    EXPECT_EQ(r.serverStatus, 1);
    Feed(stream, WithChecksum("GPGSA,A,2,01,02,12,,,,,,,,,,2.5,1.3,2.1") +
                     WithChecksum("GPGLL,3345.1000,S,15112.6000,E,201532,A,A"));
    EXPECT_EQ(r.fixValid, 1);
    EXPECT_EQ(r.serverStatus, 2) << "2D, as GSA said";
    EXPECT_NEAR(r.latitude, -33.751667f, 1e-5);
    EXPECT_NEAR(r.longitude, -151.21f, 1e-4) << "east is negative in the record";
    EXPECT_EQ(r.usedPrns[2], 12);
}

TEST(NavGpsServerStream, LogsCutByThePlaybackDecodeAsWhole) {
    // Every log as the cluster's playback sends it, record by record (the SiRF log's comment
    // header puts its first packet beyond offset 200, so it is cut as text), against the log
    // fed whole: the records put back together give the same fixes.
    for (const char* name : {"sirf2.log", "bundg_zeus_9.log", "haicom-305N.log"}) {
        SCOPED_TRACE(name);
        const std::string log = ReadLog(name);
        const auto* bytes = reinterpret_cast<const uint8_t*>(log.data());
        ReceiverStream whole, played;
        Feed(whole, log);
        int fixes = 0;
        float lastLatitude = 0.0f;
        size_t cursor = 0;
        const bool binary = IsBinaryLog(bytes, log.size());
        while (cursor < log.size()) {
            PlaybackRecord record;
            CutRecord(bytes, log.size(), cursor, binary, record);
            FeedReceiverBytes(played, record.bytes, record.length);
            const float latitude = played.state.record.latitude;
            if (played.state.record.fixValid && latitude != lastLatitude) ++fixes;
            lastLatitude = latitude;
        }
        EXPECT_GT(fixes, 50);
        EXPECT_TRUE(SameRecord(played.state.record, whole.state.record));
    }

    // A packet with one byte changed is dropped whole, and what follows it still counts.
    const std::string log = ReadLog("sirf2.log");
    const size_t first = log.find("\xA0\xA2");
    std::string damaged = log.substr(first);
    damaged[10] = static_cast<char>(damaged[10] ^ 0x40);
    ReceiverStream stream, reference;
    Feed(stream, damaged);
    Feed(reference, log);
    EXPECT_TRUE(SameRecord(stream.state.record, reference.state.record));
}
