// Log playback: how a log is cut into records, and the messages the GPS server receives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sources/playback.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Sent {
    uint32_t wParam;
    uint32_t dwData;
    Bytes data; // as the server receives it: cbData bytes
};

struct Server {
    std::vector<Sent> received;
    SendToServer Link() {
        return [this](const ServerMessage& m) {
            received.push_back({m.wParam, m.dwData, Bytes(m.data, m.data + m.size)});
        };
    }
};

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Repeat(uint8_t byte, size_t count) {
    return Bytes(count, byte);
}

const Bytes kPacketStart = {0xA0, 0xA2};

LogFile FileOf(const Bytes& bytes) {
    return LogFile{true, static_cast<uint32_t>(bytes.size()), bytes};
}

bool IsStart(const Sent& m) {
    return m.wParam == 1 && m.dwData == kStartMessageKind && m.data.empty();
}

bool IsEnd(const Sent& m) {
    return m.wParam == 0 && m.dwData == kEndMessageKind && m.data.empty();
}

struct SplitCase {
    const char* what;
    Bytes log;
    bool binary;
    std::vector<size_t> recordLengths; // without the zero byte
};

} // namespace

TEST(NavPlayback, LogsAreCutIntoRecordsThatKeepEveryByte) {
    const Bytes rmc = Text("$GPRMC,094737,A*1F");
    const SplitCase cases[] = {
        {"CR LF line ends belong to the line",
         rmc + Text("\r\n") + rmc + Text("\r\n"),
         false,
         {20, 20}},
        {"a 300-character line: 254 characters, then the rest with its line end",
         Repeat('x', 300) + Text("\n") + rmc,
         false,
         {254, 47, 18}},
        {"254 characters and CR LF: the LF is carried, the area holds 255 and the zero",
         Repeat('x', 254) + Text("\r\n") + rmc,
         false,
         {255, 1, 18}},
        {"a run of 1000 line ends is carried on in full records",
         Text("abc") + Repeat('\n', 1000) + Text("def"),
         false,
         {255, 255, 255, 238, 3}},
        {"a log ending without a line end", rmc + Text("\r\n") + rmc, false, {20, 18}},
        {"a packet start at offset 200 is text",
         Repeat('a', 200) + kPacketStart + Text("bc\r\nd"),
         false,
         {206, 1}},
        {"a packet start at offset 199 is binary",
         Repeat('a', 199) + kPacketStart + Repeat(7, 10),
         true,
         {199, 12}},
        {"binary packets split before each start and at 250 bytes",
         kPacketStart + Repeat(1, 598) + kPacketStart + Repeat(2, 3) + Bytes{0xA0, 0x00, 0xA2} +
             kPacketStart,
         true,
         {250, 250, 100, 8, 2}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.what);
        PlaybackState state;
        Server server;
        ASSERT_TRUE(StartPlayback(state, FileOf(c.log), server.Link()));
        EXPECT_EQ(state.binaryRecords, c.binary);
        while (PlaybackLoaded(state))
            SendNextRecord(state, server.Link());

        const std::vector<Sent>& m = server.received;
        ASSERT_EQ(m.size(), c.recordLengths.size() + 2);
        EXPECT_TRUE(IsStart(m.front()));
        EXPECT_TRUE(IsEnd(m.back()));
        Bytes joined;
        for (size_t i = 0; i < c.recordLengths.size(); ++i) {
            const Sent& record = m[i + 1];
            EXPECT_EQ(record.wParam, 0u);
            EXPECT_EQ(record.dwData, kRecordMessageKind);
            EXPECT_EQ(record.data.size(), c.recordLengths[i] + 1) << "record " << i;
            ASSERT_LE(record.data.size(), kRecordAreaSize);
            EXPECT_EQ(record.data.back(), 0) << "record " << i;
            joined.insert(joined.end(), record.data.begin(), record.data.end() - 1);
        }
        EXPECT_EQ(joined, c.log) << "every byte is sent once, in order";
    }
}

TEST(NavPlayback, FilesThatDoNotPlayChangeNothingButEndARunningPlayback) {
    const Bytes nine = Text("$GPGGA,*0");
    const Bytes log = Text("$GPRMC,1*00\r\n$GPRMC,2*00\r\n");
    struct Case {
        const char* what;
        LogFile file;
        uint32_t fileSize; // as the progress range sees it afterwards
    };
    const Case cases[] = {
        {"a file that cannot be opened", LogFile{}, uint32_t(log.size())},
        {"a 9-byte file", FileOf(nine), 9},
        {"a file that reads shorter than it said", LogFile{true, 40, nine}, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PlaybackState state;
        Server server;
        EXPECT_FALSE(StartPlayback(state, c.file, server.Link()));
        EXPECT_FALSE(PlaybackLoaded(state));
        EXPECT_TRUE(server.received.empty()) << "an idle server hears nothing";
        SendNextRecord(state, server.Link());
        EXPECT_EQ(PlaybackTick(state, 1, server.Link()), 0u);
        EXPECT_TRUE(server.received.empty());

        // The same file replacing a running playback: the server hears that it ended.
        ASSERT_TRUE(StartPlayback(state, FileOf(log), server.Link()));
        SendNextRecord(state, server.Link());
        EXPECT_FALSE(StartPlayback(state, c.file, server.Link()));
        ASSERT_EQ(server.received.size(), 3u);
        EXPECT_TRUE(IsEnd(server.received.back()));
        EXPECT_EQ(PlaybackProgressRange(state), c.fileSize / kProgressUnit);
    }

    // A playable file replacing a running one starts again without an end message between.
    PlaybackState state;
    Server server;
    ASSERT_TRUE(StartPlayback(state, FileOf(log), server.Link()));
    ASSERT_TRUE(StartPlayback(state, FileOf(log), server.Link()));
    ASSERT_EQ(server.received.size(), 2u);
    EXPECT_TRUE(IsStart(server.received[1]));
    EXPECT_EQ(state.cursor, 0u);
}

TEST(NavPlayback, FrameTicksPaceTheRecordsAndStopEndsEarly) {
    // 2000 records of 40 bytes: with play speed 1 (two records a tick) they take 1000 ticks.
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "$GPRMC,000000,A,4807.038,N,01131.000,E\r\n";
    const Bytes log = Text(text);
    PlaybackState state;
    Server server;
    ASSERT_TRUE(StartPlayback(state, FileOf(log), server.Link()));
    EXPECT_EQ(PlaybackProgressRange(state), 80000u / 16);
    int ticks = 0;
    uint32_t progress = 0;
    while (PlaybackLoaded(state)) {
        EXPECT_GE(PlaybackProgress(state), progress);
        progress = PlaybackProgress(state);
        EXPECT_EQ(PlaybackTick(state, 1, server.Link()), 2u);
        ++ticks;
    }
    EXPECT_EQ(ticks, 1000);
    EXPECT_EQ(progress, (80000u - 80) / 16) << "the last tick starts 80 bytes before the end";
    EXPECT_EQ(server.received.size(), 2002u);
    EXPECT_EQ(PlaybackProgressRange(state), 80000u / 16) << "kept for the dialog";

    // Play speeds: 0 sends one record a tick; a speed beyond the dialog's 11 counts as 11.
    const struct {
        uint32_t playSpeed;
        uint32_t records;
    } speeds[] = {{0, 1}, {10, 11}, {11, 12}, {0xFFFFFFFFu, 12}};
    for (const auto& speed : speeds) {
        ASSERT_TRUE(StartPlayback(state, FileOf(log), server.Link()));
        EXPECT_EQ(PlaybackTick(state, speed.playSpeed, server.Link()), speed.records);
        EXPECT_EQ(state.cursor, speed.records * 40u);
    }

    // "Stop" unloads and tells the server; a second "Stop" tells it again, as the button does.
    server.received.clear();
    StopPlayback(state, server.Link());
    EXPECT_FALSE(PlaybackLoaded(state));
    EXPECT_EQ(PlaybackTick(state, 1, server.Link()), 0u);
    StopPlayback(state, server.Link());
    ASSERT_EQ(server.received.size(), 2u);
    EXPECT_TRUE(IsEnd(server.received[0]));
    EXPECT_TRUE(IsEnd(server.received[1]));
}
