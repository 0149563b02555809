#include "tools/gps_server/gateway.h"

#include <algorithm>

#include "tools/gps_server/gpsd_report.h"
#include "tools/gps_server/nmea_decoder.h"

void NoteHeard(SilenceWatch& watch, uint32_t nowMs) {
    watch.heard = true;
    watch.lastHeardMs = nowMs;
}

bool SilenceExpired(SilenceWatch& watch, uint32_t nowMs) {
    if (!watch.heard || nowMs - watch.lastHeardMs < kSilenceLimitMs) return false;
    watch.heard = false;
    return true;
}

uint32_t TakeRetryDelay(ReconnectDelay& delay) {
    const uint32_t now = delay.nextMs;
    delay.nextMs = std::min(delay.nextMs * 2, kLongestRetryMs);
    return now;
}

void ResetRetryDelay(ReconnectDelay& delay) {
    delay.nextMs = kFirstRetryMs;
}

GatewayLink MakeGatewayLink(GatewayProtocol protocol) {
    GatewayLink link;
    link.protocol = protocol;
    link.lines.limit = protocol == GatewayProtocol::GpsdJson ? kMaxGpsdLine : kMaxNmeaLine;
    return link;
}

bool ApplyGatewayLine(GatewayLink& link, const std::string& line, uint32_t nowMs) {
    bool applied = false;
    if (link.protocol == GatewayProtocol::GpsdJson) {
        applied = ApplyGpsdReport(link.receiver.state, line);
    } else {
        // Noise before a sentence (a receiver that has just been plugged in) is passed over: a
        // sentence holds no '$' of its own, so only the last one can start it.
        const std::size_t start = line.rfind('$');
        applied = start != std::string::npos &&
                  ApplyNmeaSentence(link.receiver.state, std::string_view(line).substr(start));
    }
    if (applied) {
        NoteHeard(link.silence, nowMs);
        if (!link.reportedOnThisConnection) {
            link.reportedOnThisConnection = true;
            ResetRetryDelay(link.retry);
        }
    }
    return applied;
}

bool ReceiveGatewayBytes(GatewayLink& link, const uint8_t* bytes, size_t size, uint32_t nowMs) {
    std::vector<std::string> lines;
    AssembleLines(link.lines, bytes, size, lines);
    bool changed = false;
    for (const std::string& line : lines)
        changed = ApplyGatewayLine(link, line, nowMs) || changed;
    return changed;
}

void GatewayConnected(GatewayLink& link) {
    link.connected = true;
    link.reportedOnThisConnection = false;
    ResetLines(link.lines);
}

uint32_t GatewayLost(GatewayLink& link, uint32_t nowMs) {
    link.connected = false;
    ResetLines(link.lines);
    const uint32_t delay = TakeRetryDelay(link.retry);
    link.retryAtMs = nowMs + delay;
    return delay;
}

bool GatewayRetryDue(const GatewayLink& link, uint32_t nowMs) {
    // Signed difference: due once the clock has reached the time, across a wrap too.
    return !link.connected && static_cast<int32_t>(nowMs - link.retryAtMs) >= 0;
}

bool GatewayTick(GatewayLink& link, uint32_t nowMs) {
    if (!SilenceExpired(link.silence, nowMs)) return false;
    if (link.receiver.state.record.fixValid == 0) return false;
    SetFixValid(link.receiver.state, false);
    return true;
}
