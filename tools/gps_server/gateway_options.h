// The stand-in's gateway options, one source at a time:
//   /serial COMn [BAUD]     NMEA from a serial port (4800 baud unless told)
//   /tcp HOST PORT          NMEA from a TCP server
//   /gpsd [HOST[:PORT]]     gpsd's JSON reports (localhost:2947 unless told)
//   /nmea FILE              NMEA from a log file, paced by its sentences' times (/loop repeats)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class GatewayKind : uint8_t { None, Serial, Tcp, Gpsd, File };

constexpr uint32_t kDefaultBaud = 4800;
constexpr uint16_t kGpsdDefaultPort = 2947;

struct GatewayOptions {
    GatewayKind kind = GatewayKind::None;
    std::string device; // "COM3"
    uint32_t baud = kDefaultBaud;
    std::string host;
    uint16_t port = 0;
    std::string path; // the log file
};

enum class OptionRead { NotMine, Taken, Bad };

// Reads the option at args[i] and its values, moving i to its last value. NotMine leaves
// everything alone; Bad says why in `error`. A second source is Bad too.
OptionRead ReadGatewayOption(const std::vector<std::string>& args, size_t& i,
                             GatewayOptions& options, std::string& error);
