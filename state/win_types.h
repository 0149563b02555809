// Portable stand-ins for the few Win32 value types that the program's records hold, with the
// same sizes and layouts, so records shared with Windows code and files can be used and tested
// without <windows.h>.
#pragma once

#include <cstdint>

// RECT: four int32 in the order left, top, right, bottom.
struct RectI32 {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};
static_assert(sizeof(RectI32) == 16, "RECT layout");

// POINT.
struct PointI32 {
    int32_t x = 0;
    int32_t y = 0;
};
static_assert(sizeof(PointI32) == 8, "POINT layout");

// SYSTEMTIME: eight uint16 fields.
struct SystemTime16 {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};
static_assert(sizeof(SystemTime16) == 16, "SYSTEMTIME layout");

// Window, module and cursor handles are opaque to portable code.
using WindowHandle = void*;
using ModuleHandle = void*;
using CursorHandle = void*;
