#include "tools/gps_server/receiver_stream.h"

#include <algorithm>
#include <string_view>

#include "tools/gps_server/nmea_decoder.h"
#include "tools/gps_server/nmea_text.h"
#include "tools/gps_server/sirf_decoder.h"

namespace {

// What the bytes at a position turned out to be.
enum class Frame {
    Applied,    // a sentence or packet, applied; `length` bytes long
    NotAFrame,  // nothing starts here
    Incomplete, // something may start here: wait for more bytes
};

struct FrameResult {
    Frame frame = Frame::NotAFrame;
    size_t length = 0;
};

// A sentence ends with its checksum, "*hh"; the line end after it is not waited for, so the last
// sentence of a log without a final line end counts too.
FrameResult SentenceAt(ReceiverState& state, const std::vector<uint8_t>& bytes, size_t at) {
    const size_t last = at + kMaxSentenceLength - 1; // where the checksum's last digit may be
    for (size_t star = at + 1; star < bytes.size() && star + 2 <= last; ++star) {
        const uint8_t c = bytes[star];
        if (c == '\r' || c == '\n' || c == '$') return {};
        if (c != '*') continue;
        if (star + 2 >= bytes.size()) return {Frame::Incomplete, 0};
        const size_t length = star + 3 - at;
        const std::string_view line(reinterpret_cast<const char*>(bytes.data() + at), length);
        if (!ApplyNmeaSentence(state, line)) return {};
        return {Frame::Applied, length};
    }
    return {bytes.size() < last - 1 ? Frame::Incomplete : Frame::NotAFrame, 0};
}

FrameResult PacketAt(ReceiverState& state, const std::vector<uint8_t>& bytes, size_t at) {
    const size_t available = bytes.size() - at;
    const uint8_t* p = bytes.data() + at;
    if (available < 2) return {Frame::Incomplete, 0};
    if (p[1] != kSirfStart1) return {};
    if (available < 4) return {Frame::Incomplete, 0};
    const size_t payload = size_t{p[2]} << 8 | p[3];
    if (payload == 0 || payload > kMaxSirfPayload) return {};
    const size_t length = payload + kSirfFrameBytes;
    if (available < length) return {Frame::Incomplete, 0};
    const uint8_t* tail = p + 4 + payload;
    if (tail[2] != kSirfEnd0 || tail[3] != kSirfEnd1) return {};
    if ((size_t{tail[0]} << 8 | tail[1]) != SirfChecksum(p + 4, payload)) return {};
    ApplySirfPayload(state, p + 4, payload);
    return {Frame::Applied, length};
}

FrameResult FrameAt(ReceiverState& state, const std::vector<uint8_t>& bytes, size_t at) {
    if (bytes[at] == '$') return SentenceAt(state, bytes, at);
    if (bytes[at] == kSirfStart0) return PacketAt(state, bytes, at);
    return {};
}

} // namespace

bool FeedReceiverBytes(ReceiverStream& stream, const uint8_t* bytes, size_t size) {
    std::vector<uint8_t>& pending = stream.pending;
    pending.insert(pending.end(), bytes, bytes + size);
    bool applied = false;
    size_t at = 0;
    while (at < pending.size()) {
        const FrameResult result = FrameAt(stream.state, pending, at);
        if (result.frame == Frame::Incomplete) break;
        if (result.frame == Frame::Applied) {
            applied = true;
            at += result.length;
        } else {
            ++at;
        }
    }
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(at));
    return applied;
}

void ResetReceiverStream(ReceiverStream& stream) {
    ResetReceiver(stream.state);
    stream.pending.clear();
}
