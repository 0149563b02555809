#include "tools/gps_server/gateway_options.h"

#include "tools/gps_server/nmea_text.h"

namespace {

bool IsNumber(const std::string& text, uint32_t low, uint32_t high, uint32_t& value) {
    return ParseWhole(text, value) && value >= low && value <= high;
}

// "COM1" to "COM255", in any case.
bool IsComPort(const std::string& name) {
    uint32_t number = 0;
    return name.size() > 3 && (name[0] == 'C' || name[0] == 'c') &&
           (name[1] == 'O' || name[1] == 'o') && (name[2] == 'M' || name[2] == 'm') &&
           IsNumber(name.substr(3), 1, 255, number);
}

bool IsValue(const std::vector<std::string>& args, size_t i) {
    return i < args.size() && !args[i].empty() && args[i][0] != '/' && args[i][0] != '-';
}

} // namespace

OptionRead ReadGatewayOption(const std::vector<std::string>& args, size_t& i,
                             GatewayOptions& options, std::string& error) {
    const std::string& option = args[i];
    GatewayOptions next = options;
    size_t at = i;
    if (option == "/serial") {
        next.kind = GatewayKind::Serial;
        if (!IsValue(args, at + 1) || !IsComPort(args[at + 1])) {
            error = "/serial needs a port, COM1 to COM255";
            return OptionRead::Bad;
        }
        next.device = args[++at];
        if (IsValue(args, at + 1)) {
            if (!IsNumber(args[at + 1], 50, 4000000, next.baud)) {
                error = "/serial: the baud rate must be a number from 50 to 4000000";
                return OptionRead::Bad;
            }
            ++at;
        }
    } else if (option == "/tcp") {
        next.kind = GatewayKind::Tcp;
        uint32_t port = 0;
        if (!IsValue(args, at + 2) || !IsValue(args, at + 1) ||
            !IsNumber(args[at + 2], 1, 65535, port)) {
            error = "/tcp needs a host and a port from 1 to 65535";
            return OptionRead::Bad;
        }
        next.host = args[at + 1];
        next.port = static_cast<uint16_t>(port);
        at += 2;
    } else if (option == "/gpsd") {
        next.kind = GatewayKind::Gpsd;
        next.host = "localhost";
        next.port = kGpsdDefaultPort;
        if (IsValue(args, at + 1)) {
            const std::string& where = args[++at];
            const size_t colon = where.rfind(':');
            next.host = where.substr(0, colon);
            uint32_t port = 0;
            if (colon != std::string::npos) {
                if (!IsNumber(where.substr(colon + 1), 1, 65535, port)) {
                    error = "/gpsd: the port must be a number from 1 to 65535";
                    return OptionRead::Bad;
                }
                next.port = static_cast<uint16_t>(port);
            }
            if (next.host.empty()) next.host = "localhost";
        }
    } else if (option == "/nmea") {
        next.kind = GatewayKind::File;
        // Any next argument is the file: the name is the user's to choose.
        if (at + 1 >= args.size() || args[at + 1].empty()) {
            error = "/nmea needs a file";
            return OptionRead::Bad;
        }
        next.path = args[++at];
    } else {
        return OptionRead::NotMine;
    }
    if (options.kind != GatewayKind::None) {
        error = "one source at a time";
        return OptionRead::Bad;
    }
    options = next;
    i = at;
    return OptionRead::Taken;
}
