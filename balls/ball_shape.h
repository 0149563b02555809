// The shape of a ball window: the rows of frame 0 cut into runs of non-key pixels.
#pragma once

#include <cstdint>
#include <vector>

// A rectangle of the shape in window pixels, right and bottom exclusive.
struct ShapeRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// Runs of pixels that differ from the key colour, one rectangle per run and row. `pixels` holds
// width × height colours row by row from the top; the key is the pixel at (0, 0).
//
// The shape has always been cut this way: a run that ends inside the picture loses its last
// column (a one-pixel run none at all), a run that reaches the right edge keeps all of its
// columns. Empty runs are left out.
std::vector<ShapeRect> ShapeRuns(const std::vector<uint32_t>& pixels, int32_t width,
                                 int32_t height);
