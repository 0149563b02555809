// Any bytes from a gateway's source, as NMEA and as gpsd's JSON: fed whole or in pieces they give
// the same record, the record holds only possible values, and no half line grows past its limit.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "tools/gps_server/gateway.h"

namespace {

bool Possible(const GpsSnapshot& r) {
    return std::fabs(r.latitude) <= 90.0f && std::fabs(r.longitude) <= 180.0f && r.course >= 0.0f &&
           r.course <= 360.0f && r.speedKnots >= 0.0f && std::isfinite(r.altitude) &&
           std::isfinite(r.depthMeters) && std::isfinite(r.depthFeet) && r.serverStatus <= 3 &&
           r.fixValid <= 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (GatewayProtocol protocol : {GatewayProtocol::Nmea, GatewayProtocol::GpsdJson}) {
        GatewayLink whole = MakeGatewayLink(protocol);
        GatewayLink pieces = MakeGatewayLink(protocol);
        ReceiveGatewayBytes(whole, data, size, 0);
        uint32_t seed = size > 0 ? data[0] : 0;
        for (size_t at = 0; at < size;) {
            seed = seed * 1103515245u + 12345u;
            const size_t piece = std::min<size_t>(size - at, 1 + (seed >> 16) % 300);
            ReceiveGatewayBytes(pieces, data + at, piece, 0);
            if (pieces.lines.partial.size() > pieces.lines.limit + 1) __builtin_trap();
            at += piece;
        }
        if (std::memcmp(&whole.receiver.state.record, &pieces.receiver.state.record,
                        sizeof(GpsSnapshot)) != 0)
            __builtin_trap();
        if (!Possible(whole.receiver.state.record)) __builtin_trap();
    }
    return 0;
}
