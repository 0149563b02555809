// SiRF binary packets into the GPS server stand-in's record: navigation data (MID 2: the fix,
// position and velocity on the earth-centred frame, satellites used), tracker data (MID 4: the
// satellites in view with their signals) and geodetic navigation data (MID 41: UTC date and
// time, altitude above sea level, and the position of receivers that send no MID 2).
#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/gps_server/receiver_state.h"

// Packet framing: 0xA0 0xA2, a 15-bit payload length (big-endian), the payload, a 15-bit sum of
// the payload's bytes, 0xB0 0xB3.
constexpr uint8_t kSirfStart0 = 0xA0;
constexpr uint8_t kSirfStart1 = 0xA2;
constexpr uint8_t kSirfEnd0 = 0xB0;
constexpr uint8_t kSirfEnd1 = 0xB3;
constexpr size_t kSirfFrameBytes = 8; // start, length, checksum, end
// Payloads are shorter than 2048 bytes; a longer length means a false start.
constexpr size_t kMaxSirfPayload = 2047;

// Applies one payload (message id first) whose checksum was checked. Returns true when it was
// understood and applied; other messages, and payloads too short for their message, change
// nothing.
bool ApplySirfPayload(ReceiverState& state, const uint8_t* payload, size_t size);

// The checksum of a payload, as the packet carries it.
uint16_t SirfChecksum(const uint8_t* payload, size_t size);
