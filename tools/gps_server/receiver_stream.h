// A played-back receiver's output as one stream of bytes, however it was cut into records: NMEA
// sentences and SiRF binary packets are found in it, checked and applied to the record. A text
// log may be cut anywhere and a binary log may arrive in text-sized pieces (a log whose comment
// header pushes the first packet far into the file is sent as text); the stream puts the pieces
// together again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/gps_server/receiver_state.h"

struct ReceiverStream {
    ReceiverState state;
    std::vector<uint8_t> pending; // the start of a sentence or packet still being received
};

// Takes the next bytes of the stream. Returns true when a sentence or packet was applied, that
// is when the record may have changed. Bytes that belong to nothing are passed over.
bool FeedReceiverBytes(ReceiverStream& stream, const uint8_t* bytes, size_t size);

// Forgets the receiver: no fix, no satellites, nothing pending.
void ResetReceiverStream(ReceiverStream& stream);
