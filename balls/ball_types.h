// Plain value types of the ball toy that portable code shares with the Win32 glue, with the
// same layout as their Win32 counterparts.
#pragma once

#include <cstdint>

// A window's screen rectangle (the layout of RECT: left, top, right, bottom).
struct ScreenRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};
static_assert(sizeof(ScreenRect) == 16, "RECT layout");

// Window handles are opaque to portable code.
using BallWindowHandle = void*;
