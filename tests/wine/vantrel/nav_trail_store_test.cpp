// "Trails.dat" on disk: loading damaged files and replacing the file in one step.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

#include "rig/rig.h"
#include "trip/trail_store_win.h"

namespace {

std::vector<uint8_t> Bytes(const TrailRing& ring) {
    std::vector<uint8_t> bytes(sizeof ring);
    std::memcpy(bytes.data(), &ring, sizeof ring);
    return bytes;
}

TrailRing SampleTrail() {
    TrailRing ring;
    for (int i = 0; i < 40; ++i)
        AppendTrailPoint(ring, {47.5f + 0.001f * i, 122.25f - 0.002f * i});
    return ring;
}

bool IsEmptyTrail(const TrailRing& ring) {
    const TrailRing empty;
    return std::memcmp(&ring, &empty, sizeof ring) == 0;
}

} // namespace

TEST(NavTrailStore, SavesAndLoadsTheRingByteForByte) {
    rig::ProgramFolder folder;
    const std::string path = folder.File("Trails.dat");
    TrailRing ring = SampleTrail();
    // A file that is not there gives the empty ring.
    LoadTrailStore(ring, path.c_str());
    EXPECT_TRUE(IsEmptyTrail(ring));

    ring = SampleTrail();
    ASSERT_TRUE(SaveTrailStore(ring, path.c_str()));
    EXPECT_EQ(rig::ReadFileBytes(path), Bytes(ring));
    EXPECT_FALSE(rig::FileExists(path + ".new")) << "the new file replaced the old one";

    TrailRing loaded;
    LoadTrailStore(loaded, path.c_str());
    EXPECT_EQ(Bytes(loaded), Bytes(ring));

    // A second save replaces the first.
    AppendTrailPoint(ring, {48.0f, 123.0f});
    ASSERT_TRUE(SaveTrailStore(ring, path.c_str()));
    LoadTrailStore(loaded, path.c_str());
    EXPECT_EQ(loaded.index, 41u);
}

TEST(NavTrailStore, DamagedFilesGiveAnEmptyOrPartlyFilledRing) {
    rig::ProgramFolder folder;
    const std::string path = folder.File("Trails.dat");
    std::vector<uint8_t> good = Bytes(SampleTrail());
    TrailRing ring;

    std::vector<uint8_t> wrongMagic = good;
    std::memcpy(wrongMagic.data(), "TR02", 4);
    ASSERT_TRUE(rig::WriteFileBytes(path, wrongMagic));
    LoadTrailStore(ring, path.c_str());
    EXPECT_TRUE(IsEmptyTrail(ring));
    // The next save replaces the foreign file.
    ASSERT_TRUE(SaveTrailStore(ring, path.c_str()));
    std::vector<uint8_t> saved = rig::ReadFileBytes(path);
    ASSERT_EQ(saved.size(), 16392u);
    EXPECT_EQ(std::memcmp(saved.data(), "TR01", 4), 0);

    std::vector<uint8_t> badIndex = good;
    const uint32_t index = 5000;
    std::memcpy(badIndex.data() + 4, &index, 4);
    ASSERT_TRUE(rig::WriteFileBytes(path, badIndex));
    LoadTrailStore(ring, path.c_str());
    EXPECT_TRUE(IsEmptyTrail(ring));
    AppendTrailPoint(ring, {1.0f, 1.0f}); // an append after it stays inside the ring
    EXPECT_EQ(ring.index, 1u);

    std::vector<uint8_t> shortFile(good.begin(), good.begin() + 8 + 8 * 3 + 4);
    ASSERT_TRUE(rig::WriteFileBytes(path, shortFile));
    LoadTrailStore(ring, path.c_str());
    EXPECT_EQ(ring.index, 40u);
    EXPECT_EQ(ring.points[2].latitude, 47.502f);
    EXPECT_EQ(ring.points[3].latitude, 47.503f);
    EXPECT_EQ(ring.points[3].longitude, 0.0f);
    EXPECT_EQ(ring.points[4].latitude, 0.0f);

    ASSERT_TRUE(rig::WriteFileBytes(path, {}));
    LoadTrailStore(ring, path.c_str());
    EXPECT_TRUE(IsEmptyTrail(ring));
}

TEST(NavTrailStore, FailedSaveKeepsThePreviousTrail) {
    rig::ProgramFolder folder;
    const std::string path = folder.File("Trails.dat");
    std::vector<uint8_t> previous = Bytes(SampleTrail());
    ASSERT_TRUE(rig::WriteFileBytes(path, previous));
    // The new file cannot be made: a folder stands where it would go.
    ASSERT_TRUE(CreateDirectoryA((path + ".new").c_str(), nullptr));
    TrailRing other;
    AppendTrailPoint(other, {10.0f, 10.0f});
    EXPECT_FALSE(SaveTrailStore(other, path.c_str()));
    EXPECT_EQ(rig::ReadFileBytes(path), previous);
    RemoveDirectoryA((path + ".new").c_str());

    // A folder that does not exist: nothing is written and nothing breaks.
    EXPECT_FALSE(SaveTrailStore(other, folder.File("missing\\Trails.dat").c_str()));
}
