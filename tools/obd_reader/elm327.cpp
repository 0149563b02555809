#include "tools/obd_reader/elm327.h"

#include <cctype>
#include <cstdlib>

namespace {

// Echo off first, so every later answer is the answer alone; linefeeds and spaces off to keep
// the answers short; no headers; the adapter finds the vehicle's protocol itself.
const char* const kSetupCommands[] = {"ATZ", "ATE0", "ATL0", "ATS0", "ATH0", "ATSP0"};
constexpr size_t kSetupCount = sizeof kSetupCommands / sizeof kSetupCommands[0];

constexpr double kResetSeconds = 3.0;   // ATZ restarts the adapter
constexpr double kCommandSeconds = 2.0; // any other command
constexpr double kSearchSeconds = 10.0; // the first request, while the protocol is searched
constexpr double kKeepAliveSeconds = 2.0;
// The longest answer we wait for: a dozen ECUs' lines. A line that chatters without ever sending
// the prompt must not grow the buffer without end.
constexpr size_t kMaxAnswerBytes = 1024;

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string WithoutSpaces(const std::string& s) {
    std::string out;
    for (char c : s)
        if (c != ' ' && c != '\t') out += c;
    return out;
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A line of hex bytes, with or without spaces; a leading three-digit CAN header is skipped.
bool HexFrame(const std::string& line, std::vector<uint8_t>& frame) {
    std::string digits = WithoutSpaces(line);
    if (line.size() > 4 && line[3] == ' ' && WithoutSpaces(line.substr(0, 3)).size() == 3)
        digits = WithoutSpaces(line.substr(4));
    if (digits.empty() || digits.size() % 2 != 0) return false;
    frame.clear();
    for (size_t i = 0; i < digits.size(); i += 2) {
        const int high = HexDigit(digits[i]);
        const int low = HexDigit(digits[i + 1]);
        if (high < 0 || low < 0) return false;
        frame.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return true;
}

ElmReply::Kind KindOfLine(const std::string& line) {
    using Kind = ElmReply::Kind;
    if (line == "NO DATA") return Kind::NoData;
    if (line == "?") return Kind::Unknown;
    if (line == "STOPPED") return Kind::Stopped;
    if (line == "OK") return Kind::Ok;
    if (line == "BUS BUSY" || line == "BUFFER FULL") return Kind::Busy;
    if (line == "UNABLE TO CONNECT" || line.find("ERROR") != std::string::npos ||
        StartsWith(line, "ERR") || line == "<RX ERROR" || line == "CAN ERROR")
        return Kind::Error;
    return Kind::Text;
}

double TimeOutFor(const ElmSession& s) {
    if (s.pending == "ATZ") return kResetSeconds;
    if (s.pendingPid >= 0 && !s.searched) return kSearchSeconds;
    return kCommandSeconds;
}

void Send(ElmSession& s, ElmOutput& out, const std::string& command, int pid) {
    s.pending = command;
    s.pendingPid = pid;
    s.waitedSeconds = 0.0;
    out.send = command + "\r";
}

void TakeAnswer(ElmSession& s, const ElmReply& reply, ReaderValues& values) {
    using Kind = ElmReply::Kind;
    s.timeOutsInARow = 0;
    if (s.setupStep < kSetupCount) {
        // A clone that does not know an optional command answers "?"; the set-up goes on.
        ++s.setupStep;
        s.linkState = kElmLinkInit;
        return;
    }
    if (s.pendingPid == kElmKeepAlive) {
        s.linkState = kElmLinkIdle; // a keep-alive: the adapter is there, nothing is asked
        return;
    }
    s.searched = true;
    // Any answer ends a time-out; what it says decides the rest.
    if (s.linkState == kElmLinkTimeOut) s.linkState = kElmLinkOpen;
    if (s.pendingPid == kElmVoltageRequest) {
        DecodeVoltage(reply, values.volts);
        return;
    }
    switch (reply.kind) {
    case Kind::Data: {
        uint16_t raw = 0;
        if (DecodePidReply(reply, s.pendingPid, raw)) values.pid[s.pendingPid] = raw;
        s.linkState = kElmLinkWorking;
        s.roundAnswered = true;
        break;
    }
    case Kind::Busy:
        s.linkState = kElmLinkBusy;
        break;
    case Kind::Error:
        s.linkState = kElmLinkOpen;
        break;
    case Kind::NoData:
    case Kind::Unknown:
    case Kind::Stopped:
    case Kind::Ok:
    case Kind::Text:
        // The ECU does not have the PID, or the request was cut short: the value stays. Whether
        // the car still answers at all is decided at the end of the round.
        if (s.linkState != kElmLinkWorking) s.linkState = kElmLinkOpen;
        break;
    }
}

} // namespace

bool TakeElmReply(std::string& received, std::string& reply) {
    const size_t prompt = received.find('>');
    if (prompt == std::string::npos) return false;
    reply = received.substr(0, prompt);
    received.erase(0, prompt + 1);
    return true;
}

ElmReply ParseElmReply(const std::string& text, const std::string& command) {
    ElmReply reply;
    std::vector<std::string> raw;
    std::string line;
    for (char c : text + "\r") {
        if (c == '\r' || c == '\n') {
            size_t a = line.find_first_not_of(" \t");
            size_t b = line.find_last_not_of(" \t");
            if (a != std::string::npos) raw.push_back(Upper(line.substr(a, b - a + 1)));
            line.clear();
        } else if (c != '>' && c != '\0') {
            line += c;
        }
    }
    const std::string echo = WithoutSpaces(Upper(command));
    for (size_t i = 0; i < raw.size(); ++i) {
        if (i == 0 && !echo.empty() && WithoutSpaces(raw[i]) == echo) continue;
        if (StartsWith(raw[i], "SEARCHING")) continue;
        if (StartsWith(raw[i], "BUS INIT") && raw[i].find("ERROR") == std::string::npos) continue;
        reply.lines.push_back(raw[i]);
    }
    using Kind = ElmReply::Kind;
    bool decided = false;
    for (const std::string& l : reply.lines) {
        std::vector<uint8_t> frame;
        if (HexFrame(l, frame)) {
            reply.frames.push_back(frame);
        } else if (!decided) {
            reply.kind = KindOfLine(l);
            decided = true;
        }
    }
    if (!reply.frames.empty()) reply.kind = Kind::Data;
    return reply;
}

int PidDataBytes(int pid) {
    switch (pid) {
    case 0x00:
    case 0x01:
        return 4;
    case 0x02:
    case 0x03:
    case 0x0C:
    case 0x10:
    case 0x1F:
        return 2;
    default:
        if (pid >= 0x14 && pid <= 0x1B) return 2; // oxygen sensors: voltage and trim
        return 1;
    }
}

bool DecodePidReply(const ElmReply& reply, int pid, uint16_t& raw) {
    const size_t need = 2 + static_cast<size_t>(PidDataBytes(pid));
    for (const std::vector<uint8_t>& f : reply.frames) {
        // Headers, if an adapter sends them anyway, put up to three bytes before the service.
        for (size_t at = 0; at <= 3 && at + need <= f.size(); ++at) {
            if (f[at] != 0x41 || f[at + 1] != pid) continue;
            const uint8_t a = f[at + 2];
            raw = need == 3 ? a : static_cast<uint16_t>(a * 256 + f[at + 3]);
            return true;
        }
    }
    return false;
}

bool DecodeVoltage(const ElmReply& reply, float& volts) {
    for (const std::string& l : reply.lines) {
        if (l.empty() || l.back() != 'V') continue;
        char* end = nullptr;
        const double v = std::strtod(l.c_str(), &end);
        if (end == l.c_str() + l.size() - 1 && v >= 0.0 && v < 100.0) {
            volts = static_cast<float>(v);
            return true;
        }
    }
    return false;
}

std::string PidRequest(int pid) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string r = "01";
    r += kHex[(pid >> 4) & 15];
    r += kHex[pid & 15];
    return r;
}

std::vector<int> RequestedPids(uint32_t requestMask) {
    std::vector<int> pids;
    for (int n = 0; n < 32; ++n)
        if ((requestMask >> n) & 1u) pids.push_back(n);
    return pids;
}

ElmOutput ElmStep(ElmSession& s, const std::string& bytes, double seconds, uint32_t requestMask,
                  bool voltsWanted, ReaderValues& values) {
    ElmOutput out;
    s.received += bytes;
    std::string text;
    while (TakeElmReply(s.received, text)) {
        if (s.pending.empty()) continue; // late, or the adapter's own start-up prompt
        TakeAnswer(s, ParseElmReply(text, s.pending), values);
        s.pending.clear();
    }
    if (s.received.size() > kMaxAnswerBytes)
        s.received.erase(0, s.received.size() - kMaxAnswerBytes);
    if (!s.pending.empty()) {
        s.waitedSeconds += seconds;
        if (s.waitedSeconds < TimeOutFor(s)) return out;
        s.pending.clear();
        s.received.clear();
        s.linkState = kElmLinkTimeOut;
        if (++s.timeOutsInARow >= kElmTimeOutsUntilLost) {
            out.lost = true;
            return out;
        }
    }

    if (s.setupStep < kSetupCount) {
        Send(s, out, kSetupCommands[s.setupStep], kElmSetupCommand);
        return out;
    }
    if (s.round.empty()) {
        // A whole round without data: the ignition is off, or the car has none of the PIDs.
        if (s.roundPolled && !s.roundAnswered && s.linkState == kElmLinkWorking)
            s.linkState = kElmLinkOpen;
        s.roundPolled = s.roundAnswered = false;
        s.round = RequestedPids(requestMask);
        if (voltsWanted) s.round.push_back(kElmVoltageRequest);
    }
    if (s.round.empty()) {
        // Nothing to poll; a keep-alive now and then tells whether the adapter is still there.
        if (s.linkState != kElmLinkTimeOut) s.linkState = kElmLinkIdle;
        s.idleSeconds += seconds;
        if (s.idleSeconds >= kKeepAliveSeconds) {
            s.idleSeconds = 0.0;
            Send(s, out, "ATRV", kElmKeepAlive);
        }
        return out;
    }
    s.idleSeconds = 0.0;
    if (s.linkState == kElmLinkIdle || s.linkState == kElmLinkInit) s.linkState = kElmLinkOpen;
    const int next = s.round.front();
    s.round.erase(s.round.begin());
    if (next >= 0) s.roundPolled = true;
    Send(s, out, next == kElmVoltageRequest ? std::string("ATRV") : PidRequest(next), next);
    return out;
}
