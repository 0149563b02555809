#include "tools/gps_server/gateway_win.h"

#include <ws2tcpip.h>

#include <cstring>
#include <string>

#include "tools/common/peer_section_win.h"
#include "tools/gps_server/gpsd_report.h"

namespace {

// A connection attempt that has not completed by then has failed.
constexpr DWORD kConnectTimeoutMs = 3000;
// At most this much is read in one poll, so a fast source cannot starve the window's messages.
constexpr int kReadsPerPoll = 16;

void Note(const std::string& text) {
    OutputDebugStringA(("GpsServer: " + text + "\n").c_str());
}

std::string SourceName(const GatewayOptions& options) {
    switch (options.kind) {
    case GatewayKind::Serial:
        return options.device;
    case GatewayKind::Tcp:
    case GatewayKind::Gpsd:
        return options.host + ":" + std::to_string(options.port);
    default:
        return options.path;
    }
}

void Lost(GatewaySource& source, DWORD nowMs, const char* why) {
    source.port.Close();
    source.tcp.Close();
    const uint32_t wait = GatewayLost(source.link, nowMs);
    Note(SourceName(source.options) + ": " + why + ", next attempt in " + std::to_string(wait) +
         " ms");
}

void Connected(GatewaySource& source, DWORD nowMs) {
    GatewayConnected(source.link);
    source.lastBytesMs = nowMs;
    Note(SourceName(source.options) + ": connected");
}

bool Receive(GatewaySource& source, const char* bytes, size_t size, DWORD nowMs) {
    source.lastBytesMs = nowMs;
    return ReceiveGatewayBytes(source.link, reinterpret_cast<const uint8_t*>(bytes), size, nowMs);
}

bool PollSerial(GatewaySource& source, DWORD nowMs) {
    if (!source.port.IsOpen()) {
        if (!GatewayRetryDue(source.link, nowMs)) return false;
        if (!source.port.Open(source.options.device, source.options.baud)) {
            Lost(source, nowMs, "cannot open the port");
            return false;
        }
        Connected(source, nowMs);
    }
    bool changed = false;
    char buffer[4096];
    for (int i = 0; i < kReadsPerPoll; ++i) {
        DWORD got = 0;
        if (!source.port.ReadSome(buffer, sizeof buffer, got)) {
            Lost(source, nowMs, "the port went away");
            return changed;
        }
        if (got == 0) break;
        changed = Receive(source, buffer, got, nowMs) || changed;
    }
    // A device that was unplugged and plugged in again may be a new device behind the same name
    // while the old handle reads nothing for ever: a port silent for long is opened afresh.
    if (nowMs - source.lastBytesMs >= kSilenceLimitMs) Lost(source, nowMs, "silent");
    return changed;
}

bool PollTcp(GatewaySource& source, DWORD nowMs) {
    switch (source.tcp.Poll()) {
    case TcpClient::State::Closed:
        if (!GatewayRetryDue(source.link, nowMs)) return false;
        if (!source.tcp.Connect(source.options.host, source.options.port)) {
            Lost(source, nowMs, "unknown host");
            return false;
        }
        source.connectStartedMs = nowMs;
        return false;
    case TcpClient::State::Connecting:
        if (nowMs - source.connectStartedMs >= kConnectTimeoutMs) Lost(source, nowMs, "no answer");
        return false;
    case TcpClient::State::Failed:
        Lost(source, nowMs, "refused");
        return false;
    case TcpClient::State::Connected:
        break;
    }
    if (!source.link.connected) {
        Connected(source, nowMs);
        if (source.options.kind == GatewayKind::Gpsd && !source.tcp.Send(kGpsdWatchCommand)) {
            Lost(source, nowMs, "cannot send the watch command");
            return false;
        }
    }
    bool changed = false;
    char buffer[4096];
    for (int i = 0; i < kReadsPerPoll; ++i) {
        int got = 0;
        if (!source.tcp.Read(buffer, sizeof buffer, got)) {
            Lost(source, nowMs, "connection closed");
            return changed;
        }
        if (got == 0) break;
        changed = Receive(source, buffer, static_cast<size_t>(got), nowMs) || changed;
    }
    return changed;
}

bool PollFile(GatewaySource& source, DWORD nowMs) {
    bool changed = false;
    for (std::string_view line : DueLines(source.log, source.replay, nowMs))
        changed = ApplyGatewayLine(source.link, std::string(line), nowMs) || changed;
    return changed;
}

} // namespace

bool TcpClient::Connect(const std::string& host, uint16_t port) {
    Close();
    addrinfo hints = {};
    hints.ai_family = AF_INET; // gpsd listens on IPv4 loopback unless told otherwise
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
    socket_ = socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    u_long nonBlocking = 1;
    bool started = socket_ != INVALID_SOCKET && ioctlsocket(socket_, FIONBIO, &nonBlocking) == 0;
    if (started && connect(socket_, found->ai_addr, static_cast<int>(found->ai_addrlen)) != 0)
        started = WSAGetLastError() == WSAEWOULDBLOCK;
    freeaddrinfo(found);
    if (socket_ == INVALID_SOCKET) return false;
    // A refusal at once is reported by the next poll, as one that comes later.
    failed_ = !started;
    return true;
}

TcpClient::State TcpClient::Poll() {
    if (socket_ == INVALID_SOCKET) return State::Closed;
    if (connected_) return State::Connected;
    if (failed_) return State::Failed;
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    FD_SET(socket_, &writable);
    FD_SET(socket_, &failed);
    timeval now = {0, 0};
    if (select(0, nullptr, &writable, &failed, &now) == SOCKET_ERROR) return State::Failed;
    if (FD_ISSET(socket_, &failed)) return State::Failed;
    if (!FD_ISSET(socket_, &writable)) return State::Connecting;
    int error = 0;
    int length = sizeof error;
    if (getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 ||
        error != 0)
        return State::Failed;
    connected_ = true;
    return State::Connected;
}

void TcpClient::Close() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    socket_ = INVALID_SOCKET;
    connected_ = false;
    failed_ = false;
}

bool TcpClient::Read(char* buffer, int size, int& got) {
    got = recv(socket_, buffer, size, 0);
    if (got > 0) return true;
    if (got == 0) return false; // the peer closed
    got = 0;
    return WSAGetLastError() == WSAEWOULDBLOCK;
}

bool TcpClient::Send(const char* text) {
    const int length = static_cast<int>(std::strlen(text));
    return send(socket_, text, length, 0) == length;
}

bool StartGatewaySource(GatewaySource& source, const GatewayOptions& options, bool loop,
                        std::string& error) {
    source.options = options;
    source.loop = loop;
    const bool gpsd = options.kind == GatewayKind::Gpsd;
    source.link = MakeGatewayLink(gpsd ? GatewayProtocol::GpsdJson : GatewayProtocol::Nmea);
    const DWORD now = GetTickCount();
    source.link.retryAtMs = now;
    if (options.kind == GatewayKind::Tcp || gpsd) {
        WSADATA data;
        if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
            error = "winsock cannot start";
            return false;
        }
    } else if (options.kind == GatewayKind::File) {
        std::string text;
        if (!ReadWholeFile(options.path.c_str(), text)) {
            error = "cannot read " + options.path;
            return false;
        }
        source.log = PaceLog(text);
        source.replay = StartReplay(source.log, now, loop);
        GatewayConnected(source.link);
    }
    return true;
}

bool PollGatewaySource(GatewaySource& source, DWORD nowMs) {
    bool changed = false;
    switch (source.options.kind) {
    case GatewayKind::Serial:
        changed = PollSerial(source, nowMs);
        break;
    case GatewayKind::Tcp:
    case GatewayKind::Gpsd:
        changed = PollTcp(source, nowMs);
        break;
    case GatewayKind::File:
        changed = PollFile(source, nowMs);
        break;
    case GatewayKind::None:
        break;
    }
    return GatewayTick(source.link, nowMs) || changed;
}

void StopGatewaySource(GatewaySource& source) {
    source.port.Close();
    if (source.options.kind == GatewayKind::Tcp || source.options.kind == GatewayKind::Gpsd) {
        source.tcp.Close();
        WSACleanup();
    }
}
