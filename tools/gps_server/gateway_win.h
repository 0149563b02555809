// The gateway's transports: a serial port, a TCP connection (NMEA or gpsd's JSON) and a log
// file, polled from the stand-in's window timer so the stand-in keeps its one thread. Reads never
// block: the port is opened with zero read timeouts and the socket is non-blocking.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>

#include "tools/common/serial_port_win.h"
#include "tools/gps_server/gateway.h"
#include "tools/gps_server/gateway_options.h"
#include "tools/gps_server/log_pacing.h"

// How often the transports are read, milliseconds.
constexpr UINT kGatewayPollMs = 50;

class TcpClient {
  public:
    TcpClient() = default;
    ~TcpClient() { Close(); }
    TcpClient(const TcpClient&) = delete;
    TcpClient& operator=(const TcpClient&) = delete;
    // Starts connecting; false when the host is unknown or no socket could be made.
    bool Connect(const std::string& host, uint16_t port);
    enum class State { Closed, Connecting, Connected, Failed };
    // Where the connection attempt is now.
    State Poll();
    void Close();
    // Reads what has arrived; false when the peer closed or the connection broke.
    bool Read(char* buffer, int size, int& got);
    bool Send(const char* text);

  private:
    SOCKET socket_ = INVALID_SOCKET;
    bool connected_ = false;
    bool failed_ = false; // refused at once
};

struct GatewaySource {
    GatewayOptions options;
    GatewayLink link;
    SerialPort port;
    TcpClient tcp;
    DWORD connectStartedMs = 0;
    DWORD lastBytesMs = 0; // a serial port that has said nothing for long may be a stale one
    PacedLog log;
    LogReplay replay;
    bool loop = false;
};

// Prepares the source (winsock, the whole log file). False, with the reason, when it cannot run.
bool StartGatewaySource(GatewaySource& source, const GatewayOptions& options, bool loop,
                        std::string& error);
// Reads what has arrived, reconnects when due, watches for silence. True when the record may
// have changed.
bool PollGatewaySource(GatewaySource& source, DWORD nowMs);
void StopGatewaySource(GatewaySource& source);
