// A scale's ticks and the numbers among them, gathered in drawing order and put down in as few
// calls as keep every overlap of a number and a tick the way a drawing in order has it. Under
// Wine a wide line is a path of its own to fill (tens of microseconds each), and a scale has
// dozens of ticks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/gdiplus.h"

struct ScaleNumber {
    std::u16string text;
    gfx::PointF at;          // the corner of the layout box without size it is drawn in
    gfx::RectF ink;          // where it may put pixels: its measured box at its place
    int32_t ticksBefore = 0; // ticks that come before it in the drawing order
};

struct ScaleMarks {
    std::vector<gfx::PointF> ticks; // two ends per tick
    std::vector<ScaleNumber> numbers;

    void AddTick(const gfx::PointF& from, const gfx::PointF& to) {
        ticks.push_back(from);
        ticks.push_back(to);
    }
    // The number drawn after the ticks added so far.
    void AddNumber(std::u16string text, const gfx::PointF& at, const gfx::RectF& ink) {
        numbers.push_back({std::move(text), at, ink, int32_t(ticks.size() / 2)});
    }
};

// Whether every number keeps clear of every tick that comes after it (the pen's half width and
// a pixel of anti-aliasing around both): then all ticks can go down first. A scale too large
// to check cheaply counts as not clear.
bool NumbersClearOfLaterTicks(const ScaleMarks& marks, float penWidth);

// Draws the ticks with `pen` and the numbers in `font` and `brush`: all ticks in one call and
// then the numbers when they keep clear, otherwise the ticks before each number in one call
// ahead of it.
void DrawScaleMarks(gfx::Graphics& graphics, const gfx::Pen& pen, const gfx::Font& font,
                    const gfx::SolidBrush& brush, const ScaleMarks& marks);
