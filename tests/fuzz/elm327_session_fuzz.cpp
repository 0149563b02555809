// Any bytes as an ELM327 adapter's output, in pieces and at any pace: the conversation never
// writes a PID the cluster did not ask for, always shows a link state the cluster can word,
// sends only whole commands, and holds no more than one bounded unfinished answer.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/obd_reader/elm327.cpp"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5) return 0;
    const uint32_t mask = data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24;
    const bool volts = (data[4] & 1) != 0;
    data += 5;
    size -= 5;

    ElmSession session;
    ReaderValues values;
    for (uint16_t& raw : values.pid)
        raw = 0xA5A5;
    uint32_t seed = size > 0 ? data[0] : 0;
    for (size_t at = 0; at <= size;) {
        seed = seed * 1103515245u + 12345u;
        const size_t piece = std::min<size_t>(size - at, (seed >> 16) % 40);
        const double seconds = ((seed >> 8) & 0xFF) / 64.0; // 0 to 4 s
        const std::string bytes(reinterpret_cast<const char*>(data + at), piece);
        const ElmOutput out = ElmStep(session, bytes, seconds, mask, volts, values);
        if (!out.send.empty() && (out.send.back() != '\r' || out.send.size() > 6)) __builtin_trap();
        if (session.linkState < kElmLinkOpen || session.linkState > kElmLinkIdle) __builtin_trap();
        if (session.received.size() > 1024 + 40) __builtin_trap();
        for (int n = 0; n < 32; ++n)
            if (!((mask >> n) & 1u) && values.pid[n] != 0xA5A5) __builtin_trap();
        if (out.lost) session = ElmSession{};
        at += piece;
        if (piece == 0 && at == size) break;
    }

    // The whole input as one answer: reading and decoding it is safe for every PID.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ElmReply reply = ParseElmReply(text, "010C");
    uint16_t raw = 0;
    for (int pid = 0; pid < 32; ++pid)
        DecodePidReply(reply, pid, raw);
    float v = 0.0f;
    DecodeVoltage(reply, v);
    return 0;
}
