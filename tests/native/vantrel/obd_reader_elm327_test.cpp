// The OBD-II reader stand-in's ELM327 conversation: reading the adapter's answers, decoding PID
// bytes into the reader's raw values, and which commands go out for the cluster's request bits.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tools/obd_reader/elm327.cpp"

namespace {

using Kind = ElmReply::Kind;

// An adapter that answers every command at once: echo and spaces on until told otherwise, as
// after power-up, and a table of what the car answers to each mode 01 request.
struct FakeAdapter {
    bool echo = true;
    bool spaces = true;
    bool silent = false;
    std::map<std::string, std::string> car; // request without spaces -> answer lines
    std::vector<std::string> heard;

    std::string Answer(const std::string& sent) {
        if (sent.empty() || silent) return "";
        std::string command = sent.substr(0, sent.size() - 1); // without the '\r'
        heard.push_back(command);
        std::string reply = echo ? command + "\r" : "";
        if (command == "ATZ") {
            echo = spaces = true;
            reply += "\r\rELM327 v1.5\r";
        } else if (command == "ATE0") {
            echo = false;
            reply += "OK\r";
        } else if (command == "ATS0") {
            spaces = false;
            reply += "OK\r";
        } else if (command == "ATRV") {
            reply += "12.6V\r";
        } else if (command.compare(0, 2, "AT") == 0) {
            reply += "OK\r";
        } else {
            auto it = car.find(command);
            std::string lines = it == car.end() ? "NO DATA" : it->second;
            if (!spaces) {
                std::string packed;
                for (char c : lines)
                    if (c != ' ') packed += c;
                lines = lines.find_first_of("0123456789") == 0 ? packed : lines;
            }
            reply += lines + "\r";
        }
        return reply + "\r>";
    }
};

} // namespace

TEST(ObdReaderElm327, RepliesAreReadWhateverTheAdaptersSettings) {
    struct Row {
        const char* reply;
        const char* command;
        Kind kind;
        int pid;      // PID to decode
        int expected; // raw slot value, or -1 when the reply holds none for the PID
    };
    const Row rows[] = {
        {"410C1AF8\r\r", "010C", Kind::Data, 0x0C, 0x1AF8},
        {"010C\r41 0C 1A F8 \r\r", "010C", Kind::Data, 0x0C, 0x1AF8}, // echo on, spaces on
        {"01 0c\r41 0c 1a f8\r", "010C", Kind::Data, 0x0C, 0x1AF8},   // echo spaced, lower case
        {"\r\n41 0D 32\r\n\r\n", "010D", Kind::Data, 0x0D, 0x32},     // linefeeds on
        {"SEARCHING...\r410D32\r\r", "010D", Kind::Data, 0x0D, 0x32},
        {"BUS INIT: ...OK\r41 05 7B\r", "0105", Kind::Data, 0x05, 0x7B},
        {"NO DATA\r\r", "010C", Kind::NoData, 0x0C, -1},
        {"010C\rSEARCHING...\rNO DATA\r", "010C", Kind::NoData, 0x0C, -1},
        {"", "010C", Kind::NoData, 0x0C, -1},
        {"?\r\r", "010C", Kind::Unknown, 0x0C, -1},
        {"STOPPED\r\r", "010C", Kind::Stopped, 0x0C, -1},
        {"SEARCHING...\rUNABLE TO CONNECT\r", "010D", Kind::Error, 0x0D, -1},
        {"BUS INIT: ...ERROR\r", "010D", Kind::Error, 0x0D, -1},
        {"CAN ERROR\r", "010D", Kind::Error, 0x0D, -1},
        {"BUS BUSY\r", "010D", Kind::Busy, 0x0D, -1},
        {"OK\r", "ATE0", Kind::Ok, 0x0C, -1},
        {"ATZ\r\r\rELM327 v1.5\r\r", "ATZ", Kind::Text, 0x0C, -1},
        // Several ECUs: the first that answers the PID in full wins.
        {"410C1AF8\r410C0FA0\r", "010C", Kind::Data, 0x0C, 0x1AF8},
        {"410C1A\r410C0BB8\r", "010C", Kind::Data, 0x0C, 0x0BB8},
        {"7E8 04 41 0C 1A F8\r7E9 04 41 0C 0F A0\r", "010C", Kind::Data, 0x0C, 0x1AF8},
        {"48 6B 10 41 0D 32 C4\r", "010D", Kind::Data, 0x0D, 0x32}, // legacy headers
        // An answer for another PID (late, after a time-out) is not taken for this one.
        {"410D32\r", "010C", Kind::Data, 0x0C, -1},
        {"4110 01F4\r", "0110", Kind::Data, 0x10, 0x01F4},
        {"41 00 BE 3F A8 13\r", "0100", Kind::Data, 0x00, 0xBE3F},
        {"41 0C 1A F8 ZZ\r", "010C", Kind::Text, 0x0C, -1}, // garbled: not hex
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reply);
        const ElmReply reply = ParseElmReply(row.reply, row.command);
        EXPECT_EQ(reply.kind, row.kind);
        uint16_t raw = 0xDEAD;
        EXPECT_EQ(DecodePidReply(reply, row.pid, raw), row.expected >= 0);
        if (row.expected >= 0) {
            EXPECT_EQ(raw, row.expected);
        }
    }

    float volts = 0.0f;
    EXPECT_TRUE(DecodeVoltage(ParseElmReply("ATRV\r12.6V\r", "ATRV"), volts));
    EXPECT_FLOAT_EQ(volts, 12.6f);
    EXPECT_FALSE(DecodeVoltage(ParseElmReply("?\r", "ATRV"), volts));

    // An answer is complete at the prompt; what follows it waits for the next one.
    std::string received = "41 0D 32\r\r", text;
    EXPECT_FALSE(TakeElmReply(received, text));
    received += ">41";
    ASSERT_TRUE(TakeElmReply(received, text));
    EXPECT_EQ(text, "41 0D 32\r\r");
    EXPECT_EQ(received, "41");
}

TEST(ObdReaderElm327, AsksForExactlyTheRequestedPidsAndKeepsValuesThatGoUnanswered) {
    struct Row {
        uint32_t mask;
        bool volts;
        std::vector<std::string> round; // the commands of one polling round, in order
    };
    const Row rows[] = {
        {1u << 12, false, {"010C"}},
        {(1u << 13) | (1u << 12), true, {"010C", "010D", "ATRV"}},
        {(1u << 7) | (1u << 13) | (1u << 16), false, {"0107", "010D", "0110"}},
        {0x80000001u, false, {"0100", "011F"}},
        {0, true, {"ATRV"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mask);
        FakeAdapter adapter;
        ElmSession session;
        ReaderValues values;
        std::string incoming;
        for (int step = 0; step < 6 + 2 * int(row.round.size()); ++step) {
            ElmOutput out = ElmStep(session, incoming, 0.05, row.mask, row.volts, values);
            ASSERT_FALSE(out.lost);
            incoming = adapter.Answer(out.send);
        }
        const std::vector<std::string> setup = {"ATZ", "ATE0", "ATL0", "ATS0", "ATH0", "ATSP0"};
        ASSERT_GE(adapter.heard.size(), setup.size() + 2 * row.round.size());
        EXPECT_EQ(std::vector<std::string>(adapter.heard.begin(), adapter.heard.begin() + 6),
                  setup);
        for (size_t i = 0; i < 2 * row.round.size(); ++i)
            EXPECT_EQ(adapter.heard[6 + i], row.round[i % row.round.size()]) << "command " << i;
    }

    // A car that answers the engine speed and has no speed: the speed keeps its value.
    FakeAdapter adapter;
    adapter.car["010C"] = "41 0C 1A F8";
    ElmSession session;
    ReaderValues values;
    values.pid[0x0D] = 42;
    std::string incoming;
    const uint32_t mask = (1u << 12) | (1u << 13);
    EXPECT_EQ(session.linkState, kElmLinkInit);
    for (int step = 0; step < 12; ++step) {
        incoming = adapter.Answer(ElmStep(session, incoming, 0.05, mask, false, values).send);
        if (step < 6) {
            EXPECT_EQ(session.linkState, kElmLinkInit) << step;
        }
    }
    EXPECT_EQ(values.pid[0x0C], 0x1AF8);
    EXPECT_EQ(values.pid[0x0D], 42) << "NO DATA leaves the value";
    EXPECT_EQ(session.linkState, kElmLinkWorking);

    // The engine speed changes; then the adapter falls silent: each command waits its time-out
    // (first "TO"), the values stay, and after three in a row the adapter counts as gone.
    adapter.car["010C"] = "41 0C 0F A0";
    for (int step = 0; step < 4; ++step)
        incoming = adapter.Answer(ElmStep(session, incoming, 0.05, mask, false, values).send);
    EXPECT_EQ(values.pid[0x0C], 0x0FA0);
    // The ignition goes off: NO DATA for everything. After a round without data the link is
    // "Open" again, and the values stay.
    adapter.car.clear();
    for (int step = 0; step < 6; ++step)
        incoming = adapter.Answer(ElmStep(session, incoming, 0.05, mask, false, values).send);
    EXPECT_EQ(session.linkState, kElmLinkOpen);
    EXPECT_EQ(values.pid[0x0C], 0x0FA0);
    adapter.silent = true;
    int timeOuts = 0;
    bool lost = false;
    for (int step = 0; step < 400 && !lost; ++step) {
        ElmOutput out = ElmStep(session, incoming, 0.05, mask, false, values);
        incoming = adapter.Answer(out.send);
        lost = out.lost;
        if (!lost && session.linkState == kElmLinkTimeOut && !out.send.empty()) ++timeOuts;
    }
    EXPECT_TRUE(lost);
    EXPECT_EQ(timeOuts, kElmTimeOutsUntilLost - 1);
    EXPECT_EQ(values.pid[0x0C], 0x0FA0);
    EXPECT_EQ(values.pid[0x0D], 42);

    // A line that chatters without a prompt is not kept without end.
    ElmSession chatter;
    for (int step = 0; step < 10; ++step)
        ElmStep(chatter, std::string(1000, 'x'), 0.05, mask, false, values);
    EXPECT_LE(chatter.received.size(), 1024u);

    // Nothing requested: "Idle", with a keep-alive every two seconds and no PID request.
    FakeAdapter idle;
    ElmSession quiet;
    incoming.clear();
    for (int step = 0; step < 6 + 90; ++step) // set-up, then 4.5 s
        incoming = idle.Answer(ElmStep(quiet, incoming, 0.05, 0, false, values).send);
    EXPECT_EQ(quiet.linkState, kElmLinkIdle);
    EXPECT_EQ(idle.heard.size(), 6u + 2u);
    EXPECT_EQ(idle.heard.back(), "ATRV");
    // One keep-alive goes unanswered ("TO"); the next answer makes the link idle again.
    idle.silent = true;
    for (int step = 0; step < 90; ++step)
        incoming = idle.Answer(ElmStep(quiet, incoming, 0.05, 0, false, values).send);
    EXPECT_EQ(quiet.linkState, kElmLinkTimeOut);
    idle.silent = false;
    for (int step = 0; step < 60; ++step)
        incoming = idle.Answer(ElmStep(quiet, incoming, 0.05, 0, false, values).send);
    EXPECT_EQ(quiet.linkState, kElmLinkIdle);
}
