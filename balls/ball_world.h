// The ball toy's shared state, one instance for the program's lifetime. The Win32 handles that
// go with it (module, controller window, frame DCs, menu) are kept by the Win32 glue.
#pragma once

#include "balls/ball_record.h"

#include <cstdint>

// Number of animation frames; the animation cycles through all of them.
constexpr int32_t kFrameCount = 9;
// Ticks before the first automatic add or remove.
constexpr int32_t kFirstAutoCountdown = 200;

struct BallWorld {
    int32_t screenLeft = 0; // virtual-screen origin
    int32_t screenTop = 0;
    int32_t rightLimit = 0;  // largest x a ball may rest at
    int32_t bottomLimit = 0; // the floor: largest y of a living ball
    uint32_t ownThread = 0;  // windows of this thread are never obstacles
    int32_t frameWidth = kBallWidth;
    int32_t frameHeight = kBallHeight;
    int32_t currentFrame = 0;     // the frame every ball shows this tick
    uint32_t windowBounce = 1;    // balls collide with other programs' windows
    uint32_t userTookControl = 0; // the menu added or deleted: no more automatic changes
    int32_t autoCountdown = kFirstAutoCountdown;
    int32_t autoEvents = 0;
    BallRecord* balls = nullptr; // head of the list, the first ball added
};

// Sets the screen fields from the virtual screen's origin and size.
void SetVirtualScreen(BallWorld& world, int32_t left, int32_t top, int32_t width, int32_t height);
