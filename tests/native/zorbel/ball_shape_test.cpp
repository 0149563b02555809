// Cutting frame 0 into the rows of the ball window's shape.
#include "balls/ball_shape.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A picture from text rows: '.' is the key colour, anything else a ball colour.
std::vector<uint32_t> Picture(const std::vector<std::string>& rows) {
    std::vector<uint32_t> pixels;
    for (const std::string& row : rows)
        for (char c : row)
            pixels.push_back(c == '.' ? 0x01EF07u : 0xE02020u + uint32_t(c));
    return pixels;
}

bool operator==(const ShapeRect& a, const ShapeRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(ShapeRuns, ARunInsideThePictureLosesItsLastColumn) {
    auto runs = ShapeRuns(Picture({".xxx.."}), 6, 1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE((runs[0] == ShapeRect{1, 0, 3, 1}));
}

TEST(ShapeRuns, ARunReachingTheRightEdgeKeepsAllItsColumns) {
    auto runs = ShapeRuns(Picture({"...xxx"}), 6, 1);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE((runs[0] == ShapeRect{3, 0, 6, 1}));
}

TEST(ShapeRuns, RowsWithSeveralRunsAndSinglePixels) {
    auto runs = ShapeRuns(Picture({".xx.x.xyx", "........x", "........."}), 9, 3);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_TRUE((runs[0] == ShapeRect{1, 0, 2, 1})); // "xx" keeps one column
    // The single "x" at column 4 gives nothing; "xyx" reaches the edge.
    EXPECT_TRUE((runs[1] == ShapeRect{6, 0, 9, 1}));
    EXPECT_TRUE((runs[2] == ShapeRect{8, 1, 9, 2}));
}

TEST(ShapeRuns, TheKeyIsThePixelAtTheTopLeft) {
    // Here the "ball colour" sits at (0, 0), so the dots are the shape.
    auto runs = ShapeRuns(Picture({"x...x", "xxxxx"}), 5, 2);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE((runs[0] == ShapeRect{1, 0, 3, 1}));
}

TEST(ShapeRuns, NothingToCut) {
    EXPECT_TRUE(ShapeRuns(Picture({"....", "...."}), 4, 2).empty());
    EXPECT_TRUE(ShapeRuns({}, 0, 0).empty());
    // Fewer pixels than the size claims: nothing rather than a read past the end.
    EXPECT_TRUE(ShapeRuns(Picture({".xx"}), 3, 2).empty());
}

TEST(ShapeRuns, ADiscIsSymmetricExceptForTheLostColumn) {
    const int size = 21;
    std::vector<std::string> rows;
    for (int y = 0; y < size; ++y) {
        std::string row;
        for (int x = 0; x < size; ++x)
            row += (x - 10) * (x - 10) + (y - 10) * (y - 10) <= 81 ? 'x' : '.';
        rows.push_back(row);
    }
    auto runs = ShapeRuns(Picture(rows), size, size);
    // Rows 1 and 19 are single pixels and give nothing.
    ASSERT_EQ(runs.size(), 17u);
    for (const ShapeRect& run : runs) {
        const int halfRow = 10 - run.left;
        EXPECT_EQ(run.right, 10 + halfRow) << "row " << run.top;
        EXPECT_EQ(run.bottom, run.top + 1);
    }
}

} // namespace
