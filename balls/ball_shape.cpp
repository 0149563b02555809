#include "balls/ball_shape.h"

#include <cstddef>

std::vector<ShapeRect> ShapeRuns(const std::vector<uint32_t>& pixels, int32_t width,
                                 int32_t height) {
    std::vector<ShapeRect> runs;
    if (width <= 0 || height <= 0 || pixels.size() < size_t(width) * size_t(height)) return runs;
    const uint32_t key = pixels[0];
    for (int32_t row = 0; row < height; ++row) {
        const uint32_t* line = &pixels[size_t(row) * size_t(width)];
        // The scan looks one column past the picture, and that column never matches the key.
        auto isKey = [&](int32_t column) { return column < width && line[column] == key; };
        int32_t column = 0;
        while (column < width) {
            if (isKey(column)) {
                ++column;
                continue;
            }
            int32_t end = column + 1;
            while (end <= width && !isKey(end))
                ++end;
            // `end` is the first key column after the run, or width + 1 past the edge; the
            // rectangle stops one column before it.
            if (end - 1 > column) runs.push_back(ShapeRect{column, row, end - 1, row + 1});
            column = end;
        }
    }
    return runs;
}
