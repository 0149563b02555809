#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "shell/heading.h"
#include "shell/host_follow.h"

namespace {

std::vector<int> Smooth(int from, int to) {
    std::vector<int> steps;
    int h = from;
    for (int i = 0; i < 50 && h != to; ++i) {
        h = SmoothHeading(h, to);
        steps.push_back(h);
    }
    return steps;
}

TEST(HeadingSmoothing, FollowsTheCourseInThirds) {
    EXPECT_EQ(Smooth(180, 0), (std::vector<int>{120, 80, 54, 36, 24, 16, 11, 8, 6, 4, 3, 2, 1, 0}));
    EXPECT_EQ(Smooth(0, 180), (std::vector<int>{60, 100, 126, 144, 156, 164, 169, 172, 174, 176,
                                                177, 178, 179, 180}));
}

TEST(HeadingSmoothing, TakesTheShortWayAcrossNorth) {
    EXPECT_EQ(Smooth(350, 10), (std::vector<int>{356, 0, 3, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(Smooth(10, 350), (std::vector<int>{4, 0, 357, 355, 354, 353, 352, 351, 350}));
    EXPECT_EQ(SmoothHeading(42, 42), 42);
}

TEST(HeadingSmoothing, OnlyTheRoseSatellitesLongitudeAndTrailsTurnItOn) {
    for (int kind = 0; kind < 32; ++kind) {
        const bool expected = kind == 2 || kind == 6 || kind == 14 || kind == 17;
        EXPECT_EQ(HeadingSmoothingWanted(1u << kind), expected) << "kind " << kind;
    }
    // The default skin shows the heading tape and the rose among others.
    EXPECT_TRUE(HeadingSmoothingWanted(0x0003681F));
    EXPECT_FALSE(HeadingSmoothingWanted(0x00000002)); // heading tape alone
}

TEST(HeadingSmoothing, PreviewAndCourseConversion) {
    EXPECT_EQ(PreviewHeading(0), 10);
    EXPECT_EQ(PreviewHeading(355), 5);
    EXPECT_EQ(PreviewHeading(350), 0);
    EXPECT_EQ(HeadingFromCourse(359.9f), 359);
    EXPECT_EQ(HeadingFromCourse(0.7f), 0);
    // Out-of-range courses are brought into 0..359 so the smoothing can settle.
    // Whole degrees are taken after the reduction: a negative course rounds down too.
    const struct {
        float course;
        int32_t heading;
    } reduced[] = {{360.0f, 0},     {-5.5f, 354}, {-0.5f, 359}, {-360.0f, 0},
                   {-725.25f, 354}, {-1e-30f, 0}, {719.9f, 359}};
    for (const auto& row : reduced) {
        EXPECT_EQ(HeadingFromCourse(row.course), row.heading) << row.course;
    }
    EXPECT_EQ(HeadingFromCourse(1e30f), int(std::fmod(double(1e30f), 360.0)));
    EXPECT_EQ(HeadingFromCourse(NAN), 0);
    EXPECT_EQ(SmoothHeading(0, HeadingFromCourse(360.0f)), 0);
}

TEST(HostFollow, OffsetsMeasureFromTheNearOrFarEdge) {
    const RectI32 host{100, 200, 900, 700};
    const RectI32 never{-1, -1, -1, -1};
    HostPlacement p = PlaceOnHost(host, never, 50, -10, 300, 120);
    EXPECT_TRUE(p.move);
    EXPECT_EQ(p.x, 150);
    EXPECT_EQ(p.y, 700 - 10 - 120);
    p = PlaceOnHost(host, never, -20, 30, 300, 120);
    EXPECT_EQ(p.x, 900 - 20 - 300);
    EXPECT_EQ(p.y, 230);
}

TEST(HostFollow, MovesOnlyWhenTheHostMoved) {
    const RectI32 host{100, 200, 900, 700};
    EXPECT_FALSE(PlaceOnHost(host, host, 50, 10, 300, 120).move);
    // A resize that keeps the left and top edges is not followed.
    EXPECT_FALSE(PlaceOnHost(host, RectI32{100, 200, 500, 500}, 50, 10, 300, 120).move);
    EXPECT_TRUE(PlaceOnHost(host, RectI32{101, 200, 900, 700}, 50, 10, 300, 120).move);
    // Both offsets 0: followed for closing only.
    EXPECT_FALSE(PlaceOnHost(host, RectI32{-1, -1, -1, -1}, 0, 0, 300, 120).move);
}

} // namespace
