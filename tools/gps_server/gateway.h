// The stand-in as a gateway to a real receiver: what arrives from a serial port, a TCP
// connection, a gpsd or a log file becomes the published record. The transports themselves live
// in gateway_win.cpp; everything they share is here, in plain arithmetic on a millisecond clock
// (GetTickCount's, which wraps after 49 days, so times are only ever subtracted).
//
//  - Lines: the bytes are cut into lines (line_assembler.h); an NMEA line goes to the NMEA
//    decoder, a gpsd line to the JSON reports (gpsd_report.h). A line that does not parse
//    changes nothing.
//  - Silence: a source that has said nothing useful for kSilenceLimitMs loses its fix, as a
//    real server's would, so the cluster shows "No Fix" rather than frozen values.
//  - Reconnecting: a lost or refused connection is tried again after a delay that doubles from
//    kFirstRetryMs up to kLongestRetryMs; it starts small again only once a connection has
//    delivered a report, so a peer that accepts and hangs up at once is not hammered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/gps_server/line_assembler.h"
#include "tools/gps_server/receiver_stream.h"

enum class GatewayProtocol : uint8_t { Nmea, GpsdJson };

constexpr uint32_t kSilenceLimitMs = 3000;
constexpr uint32_t kFirstRetryMs = 250;
constexpr uint32_t kLongestRetryMs = 4000;

// When a source was last heard from.
struct SilenceWatch {
    bool heard = false; // anything since the start or the last expiry
    uint32_t lastHeardMs = 0;
};

void NoteHeard(SilenceWatch& watch, uint32_t nowMs);
// True once, when the source has been silent for the limit since it was last heard.
bool SilenceExpired(SilenceWatch& watch, uint32_t nowMs);

// The growing delay between connection attempts.
struct ReconnectDelay {
    uint32_t nextMs = kFirstRetryMs;
};

// The delay before the next attempt, and the one after it doubled up to the longest.
uint32_t TakeRetryDelay(ReconnectDelay& delay);
void ResetRetryDelay(ReconnectDelay& delay);

struct GatewayLink {
    GatewayProtocol protocol = GatewayProtocol::Nmea;
    LineAssembler lines;
    ReceiverStream receiver;
    SilenceWatch silence;
    ReconnectDelay retry;
    bool connected = false;
    bool reportedOnThisConnection = false;
    uint32_t retryAtMs = 0; // when not connected: the next attempt is due then
};

GatewayLink MakeGatewayLink(GatewayProtocol protocol);

// One line as it came (no line end): true when it was understood and applied.
bool ApplyGatewayLine(GatewayLink& link, const std::string& line, uint32_t nowMs);

// Bytes from the transport. True when the record may have changed.
bool ReceiveGatewayBytes(GatewayLink& link, const uint8_t* bytes, size_t size, uint32_t nowMs);

// The transport connected (or the port opened).
void GatewayConnected(GatewayLink& link);
// The transport failed to connect or lost its connection: the next attempt is scheduled.
// Returns the delay until it.
uint32_t GatewayLost(GatewayLink& link, uint32_t nowMs);
// Not connected and the next attempt is due.
bool GatewayRetryDue(const GatewayLink& link, uint32_t nowMs);

// The regular check: true when silence has just cost the record its fix.
bool GatewayTick(GatewayLink& link, uint32_t nowMs);
