// The trail ring in memory and as read from "Trails.dat".
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "state/trail_ring.h"

TEST(NavTrailRing, AppendAtTheLastSlotWrapsAndClearsTwoAhead) {
    TrailRing ring;
    ring.index = 2047;
    ring.points[0] = {1.0f, 2.0f};
    ring.points[1] = {3.0f, 4.0f};
    ring.points[2] = {5.0f, 6.0f};
    AppendTrailPoint(ring, {10.0f, 20.0f});
    EXPECT_EQ(ring.points[2047].latitude, 10.0f);
    EXPECT_EQ(ring.points[2047].longitude, 20.0f);
    EXPECT_EQ(ring.index, 0u);
    EXPECT_EQ(ring.points[0].latitude, 0.0f);
    EXPECT_EQ(ring.points[1].latitude, 0.0f);
    EXPECT_EQ(ring.points[1].longitude, 4.0f) << "longitudes are left as they are";
    EXPECT_EQ(ring.points[2].latitude, 5.0f);
}

TEST(NavTrailRing, BreaksNeverDouble) {
    TrailRing ring;
    InsertTrailBreak(ring); // empty ring: the slot before 0 (2047) is already a break
    EXPECT_EQ(ring.index, 0u);
    AppendTrailPoint(ring, {1.0f, 1.0f});
    AppendTrailPoint(ring, {2.0f, 2.0f});
    InsertTrailBreak(ring);
    EXPECT_EQ(ring.index, 3u);
    EXPECT_EQ(ring.points[2].latitude, 0.0f);
    EXPECT_EQ(ring.points[3].latitude, 0.0f);
    InsertTrailBreak(ring);
    EXPECT_EQ(ring.index, 3u);
    AppendTrailPoint(ring, {3.0f, 3.0f});
    EXPECT_EQ(ring.points[3].latitude, 3.0f);
    EXPECT_EQ(ring.points[1].latitude, 2.0f);
}

TEST(NavTrailRing, AfterAFullRoundTheOldestSlotsAreBreaks) {
    TrailRing ring;
    for (uint32_t i = 0; i < 2048; ++i)
        AppendTrailPoint(ring, {static_cast<float>(i + 1), 0.5f});
    EXPECT_EQ(ring.index, 0u);
    EXPECT_EQ(ring.points[2047].latitude, 2048.0f);
    EXPECT_EQ(ring.points[0].latitude, 0.0f);
    EXPECT_EQ(ring.points[1].latitude, 0.0f);
    EXPECT_EQ(ring.points[2].latitude, 3.0f);
    AppendTrailPoint(ring, {5000.0f, 0.5f});
    EXPECT_EQ(ring.points[0].latitude, 5000.0f);
    EXPECT_EQ(ring.points[2].latitude, 0.0f);
}

TEST(NavTrailRing, StoredBytesAreCheckedBeforeUse) {
    TrailRing stored;
    AppendTrailPoint(stored, {47.5f, 122.25f});
    AppendTrailPoint(stored, {47.6f, 122.35f});
    std::vector<uint8_t> file(sizeof stored);
    std::memcpy(file.data(), &stored, sizeof stored);

    TrailRing ring;
    TrailFromFileBytes(ring, file.data(), file.size());
    EXPECT_EQ(std::memcmp(&ring, &stored, sizeof ring), 0);

    // Short file: the bytes read replace the beginning; the rest stays empty.
    TrailFromFileBytes(ring, file.data(), 12);
    EXPECT_EQ(ring.index, 2u);
    EXPECT_EQ(ring.points[0].latitude, 47.5f);
    EXPECT_EQ(ring.points[0].longitude, 0.0f);
    EXPECT_EQ(ring.points[1].latitude, 0.0f);

    const TrailRing empty;
    TrailFromFileBytes(ring, file.data(), 3); // not even the magic
    EXPECT_EQ(std::memcmp(&ring, &empty, sizeof ring), 0);

    std::vector<uint8_t> wrongMagic = file;
    wrongMagic[3] = '2';
    TrailFromFileBytes(ring, wrongMagic.data(), wrongMagic.size());
    EXPECT_EQ(std::memcmp(&ring, &empty, sizeof ring), 0);

    for (uint32_t badIndex : {2048u, 5000u, 0xFFFFFFFFu}) {
        std::vector<uint8_t> bad = file;
        std::memcpy(bad.data() + 4, &badIndex, 4);
        TrailFromFileBytes(ring, bad.data(), bad.size());
        EXPECT_EQ(std::memcmp(&ring, &empty, sizeof ring), 0) << badIndex;
    }
}
