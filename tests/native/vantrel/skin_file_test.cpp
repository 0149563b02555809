// Which "Skin.bin" contents are taken over the live record, skin paths, and the frame and
// window sizes a skin's images give.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "skin/skin_file.h"

namespace {

std::vector<uint8_t> FileOf(const SkinRecord& s, size_t extra = 0) {
    std::vector<uint8_t> v(sizeof s + extra, 0xAB);
    std::memcpy(v.data(), &s, sizeof s);
    return v;
}

SkinRecord Edited(uint32_t version) {
    SkinRecord s = DefaultSkinRecord();
    s.version = version;
    s.opacity = 128;
    s.gauges[kKindSpeed].x = 300;
    s.gauges[kKindSpeed].color = 0x00123456u;
    s.gauges[63].color = 0x000000FFu;
    return s;
}

TEST(SkinFileBytes, VersionFourIsTakenAsItIs) {
    const SkinRecord file = Edited(4);
    SkinRecord live = DefaultSkinRecord();
    const auto bytes = FileOf(file);
    EXPECT_EQ(ApplySkinFileBytes(bytes.data(), bytes.size(), live), SkinFileResult::Taken);
    EXPECT_FALSE(SkinRecordsDiffer(live, file));
}

TEST(SkinFileBytes, VersionThreeIsTakenAndItsColoursUpgraded) {
    SkinRecord live = DefaultSkinRecord();
    const auto bytes = FileOf(Edited(3));
    EXPECT_EQ(ApplySkinFileBytes(bytes.data(), bytes.size(), live), SkinFileResult::Upgraded);
    EXPECT_EQ(live.version, 4u);
    EXPECT_EQ(live.opacity, 128u);
    EXPECT_EQ(live.gauges[kKindSpeed].x, 300);
    EXPECT_EQ(live.gauges[kKindSpeed].color, 0xFF563412u);
    EXPECT_EQ(live.gauges[63].color, 0xFFFF0000u);          // spare records too
    EXPECT_EQ(live.gauges[kKindCourse].color, 0xFF00FF00u); // green stays green
}

TEST(SkinFileBytes, OtherVersionsAndShortFilesLeaveTheRecordAlone) {
    const SkinRecord original = Edited(4);
    for (uint32_t v : {0u, 1u, 2u, 5u, 0x04000000u}) {
        SkinRecord live = original;
        const auto bytes = FileOf(Edited(v));
        EXPECT_EQ(ApplySkinFileBytes(bytes.data(), bytes.size(), live),
                  SkinFileResult::UnknownVersion)
            << v;
        EXPECT_FALSE(SkinRecordsDiffer(live, original)) << v;
    }
    SkinRecord live = original;
    const auto full = FileOf(DefaultSkinRecord());
    EXPECT_EQ(ApplySkinFileBytes(full.data(), full.size() - 1, live), SkinFileResult::Short);
    EXPECT_EQ(ApplySkinFileBytes(full.data(), 0, live), SkinFileResult::Short);
    EXPECT_EQ(ApplySkinFileBytes(nullptr, 0, live), SkinFileResult::Short);
    EXPECT_FALSE(SkinRecordsDiffer(live, original));
    EXPECT_FALSE(SkinFileWasTaken(SkinFileResult::Short));
    EXPECT_TRUE(SkinFileWasTaken(SkinFileResult::Upgraded));
}

TEST(SkinFileBytes, OnlyTheFirstRecordOfALongerFileCounts) {
    const SkinRecord file = Edited(4);
    SkinRecord live = DefaultSkinRecord();
    const auto bytes = FileOf(file, 100);
    EXPECT_EQ(ApplySkinFileBytes(bytes.data(), bytes.size(), live), SkinFileResult::Taken);
    EXPECT_FALSE(SkinRecordsDiffer(live, file));
}

TEST(SkinPaths, JoinAndBmpFallback) {
    EXPECT_EQ(JoinSkinPath("C:\\Prog", "Cluster"), "C:\\Prog\\Cluster");
    EXPECT_EQ(JoinSkinPath("C:\\Prog\\", "Cluster"), "C:\\Prog\\Cluster");
    EXPECT_EQ(JoinSkinPath("", "Skin.bin"), "Skin.bin");
    EXPECT_EQ(BmpFallbackPath("C:\\Prog\\Cluster\\Arrow.png"), "C:\\Prog\\Cluster\\Arrow.bmp");
    EXPECT_EQ(BmpFallbackPath("C:\\My.Skins\\Night\\Arrow"), "C:\\My.Skins\\Night\\Arrow.bmp");
    EXPECT_EQ(BmpFallbackPath("Background.png"), "Background.bmp");
    EXPECT_STREQ(SkinImageFileName(kImageArrow), "Arrow.png");
    EXPECT_STREQ(SkinImageFileName(kImageNeedle2), "Needle2.png");
    EXPECT_STREQ(SkinImageFileName(kImageBackground), "Background.png");
    EXPECT_STREQ(SkinImageFileName(kSkinImageCount), "");
}

GaugeRecord RoseAt(uint16_t x, uint16_t y) {
    GaugeRecord g = DefaultSkinRecord().gauges[kKindVantrel];
    g.x = x;
    g.y = y;
    return g;
}

TEST(SkinGeometrySizing, BackgroundGivesTheFrameWhateverTheRosePosition) {
    const SkinGeometry g =
        ComputeSkinGeometry(std::nullopt, PixelSize{320, 240}, RoseAt(90, 70), false);
    EXPECT_EQ(g.frame.width, 320);
    EXPECT_EQ(g.frame.height, 240);
    EXPECT_EQ(g.window.width, 320);
    EXPECT_EQ(g.window.height, 240);
}

TEST(SkinGeometrySizing, LargerArrowWidensTheWindowNotTheFrame) {
    const SkinGeometry g =
        ComputeSkinGeometry(PixelSize{400, 400}, PixelSize{320, 240}, RoseAt(1, 1), false);
    EXPECT_EQ(g.base.width, 400);
    EXPECT_EQ(g.frame.width, 320);
    EXPECT_EQ(g.frame.height, 240);
    EXPECT_EQ(g.window.width, 400);
    EXPECT_EQ(g.window.height, 400);
}

TEST(SkinGeometrySizing, WithoutImagesTheRoseFramesTheDefaultBase) {
    const SkinGeometry g = ComputeSkinGeometry(std::nullopt, std::nullopt, RoseAt(1, 1), false);
    EXPECT_EQ(g.base.width, 100);
    EXPECT_EQ(g.frame.width, 102);
    EXPECT_EQ(g.frame.height, 102);
    EXPECT_EQ(g.window.width, 102);
    EXPECT_EQ(g.window.height, 102);

    const SkinGeometry a =
        ComputeSkinGeometry(PixelSize{80, 60}, std::nullopt, RoseAt(10, 5), false);
    EXPECT_EQ(a.frame.width, 100);
    EXPECT_EQ(a.frame.height, 70);
    EXPECT_EQ(a.window.width, 100);
    EXPECT_EQ(a.window.height, 70);
}

TEST(SkinGeometrySizing, StretchGrowsOnlyTheWindowHeightByAFifth) {
    const SkinGeometry g = ComputeSkinGeometry(std::nullopt, std::nullopt, RoseAt(1, 1), true);
    EXPECT_EQ(g.frame.height, 102);
    EXPECT_EQ(g.window.width, 102);
    EXPECT_EQ(g.window.height, 122); // 102 + 102 / 5

    const SkinGeometry b =
        ComputeSkinGeometry(std::nullopt, PixelSize{320, 244}, RoseAt(1, 1), true);
    EXPECT_EQ(b.window.height, 292); // 244 + 48
    EXPECT_EQ(b.frame.height, 244);
}

} // namespace
