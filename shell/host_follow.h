// Following a host window: the gauge window keeps a fixed offset from the host's edges.
#pragma once

#include <cstdint>

#include "state/win_types.h"

struct HostPlacement {
    bool move = false; // whether the gauge window must be moved this tick
    int32_t x = 0;
    int32_t y = 0;
};

// Where the gauge window goes for host rectangle `host`. A non-negative offset measures from the
// host's left or top edge, a negative one from its right or bottom edge to the frame's far edge.
// Nothing moves when both offsets are 0 (the host is then followed for closing only) or when the
// host's left and top are where they were at the previous tick (`lastHost`).
HostPlacement PlaceOnHost(const RectI32& host, const RectI32& lastHost, int32_t offsetX,
                          int32_t offsetY, int32_t frameWidth, int32_t frameHeight);
