// Lines out of a receiver's byte stream, however the transport cuts it: a serial port hands over
// what arrived since the last read, a socket what fitted in one packet. A line ends at '\n' (a
// '\r' before it is dropped). A line longer than the limit is a receiver out of step or a stream
// of noise: it is dropped whole, up to its line end, so no fragment of it is ever decoded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Longest NMEA line taken; gpsd's reports (a sky view with many satellites) need more.
constexpr size_t kMaxNmeaLine = 256;
constexpr size_t kMaxGpsdLine = 16384;

struct LineAssembler {
    size_t limit = kMaxNmeaLine;
    std::string partial;   // the line being received
    bool overlong = false; // the line being received passed the limit: skip to its end
};

// Appends the complete lines found in the bytes to `lines`; returns how many were added.
size_t AssembleLines(LineAssembler& assembler, const uint8_t* bytes, size_t size,
                     std::vector<std::string>& lines);

// Forgets a partial line (the connection was lost: its rest will never come).
void ResetLines(LineAssembler& assembler);
