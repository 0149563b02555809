// One ball: its window, position and velocity. A record lives exactly as long as its window;
// the records form a singly linked list in the order the balls were added.
#pragma once

#include "balls/ball_types.h"

#include <cstdint>

// The ball's box: the size of every animation frame.
constexpr int32_t kBallWidth = 53;
constexpr int32_t kBallHeight = 52;

struct BallRecord {
    BallRecord* next = nullptr;
    BallWindowHandle window = nullptr; // set while the window is created
    int32_t x = 0;                     // top-left corner in virtual-screen pixels
    int32_t y = 0;
    int32_t width = kBallWidth;
    int32_t height = kBallHeight;
    double vx = 0.0;        // pixels per tick, +x to the right
    double vy = 0.0;        // pixels per tick, +y downward
    int32_t dyingTicks = 0; // 0 living; 1 or more once marked for removal
};
