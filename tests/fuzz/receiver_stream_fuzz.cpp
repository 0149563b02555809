// Any bytes as a receiver's output: fed whole or in pieces they give the same record, the
// record's position, course and speed stay possible values, and the stream never holds more
// than one unfinished packet.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "tools/gps_server/nmea_decoder.h"
#include "tools/gps_server/receiver_stream.h"
#include "tools/gps_server/sirf_decoder.h"

namespace {

bool Possible(const GpsSnapshot& r) {
    return std::fabs(r.latitude) <= 90.0f && std::fabs(r.longitude) <= 180.0f &&
           r.course >= 0.0f && r.course <= 360.0f && r.speedKnots >= 0.0f &&
           std::isfinite(r.altitude) && std::isfinite(r.depthMeters) && r.serverStatus <= 3;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReceiverStream whole, pieces;
    FeedReceiverBytes(whole, data, size);
    // Piece sizes from a little generator seeded by the input, as the playback's records vary.
    uint32_t seed = size > 0 ? data[0] : 0;
    for (size_t at = 0; at < size;) {
        seed = seed * 1103515245u + 12345u;
        const size_t piece = std::min<size_t>(size - at, 1 + (seed >> 16) % 300);
        FeedReceiverBytes(pieces, data + at, piece);
        if (pieces.pending.size() > kMaxSirfPayload + kSirfFrameBytes) __builtin_trap();
        at += piece;
    }
    if (std::memcmp(&whole.state.record, &pieces.state.record, sizeof(GpsSnapshot)) != 0)
        __builtin_trap();
    if (!Possible(whole.state.record)) __builtin_trap();

    // The same bytes as one sentence and as one packet's payload.
    ReceiverState sentence, packet;
    ApplyNmeaSentence(sentence, std::string_view(reinterpret_cast<const char*>(data), size));
    ApplySirfPayload(packet, data, size);
    if (!Possible(sentence.record) || !Possible(packet.record)) __builtin_trap();
    return 0;
}
