// Which "Skin.bin" contents are taken over the live record, skin paths, and the frame and
// window sizes a skin's images give.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "skin/skin_caps.h"
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

TEST(SkinCaps, EveryFieldACapNamesIsLoweredToItAndNothingElseMoves) {
    SkinRecord s = DefaultSkinRecord();
    for (int kind = 0; kind < kGaugeRecordCount; ++kind) {
        s.gauges[kind].paramA = s.gauges[kind].paramB = 65535;
        s.gauges[kind].paramC = s.gauges[kind].paramD = 65535;
        s.gauges[kind].x = s.gauges[kind].y = 65535;
    }
    const SkinRecord before = s;
    int lowered = ApplySkinCaps(s);
    int expected = 0;
    for (int kind = 0; kind < kGaugeRecordCount; ++kind) {
        uint16_t a = 65535, b = 65535;
        for (const SkinCap& cap : kSkinCaps) {
            if (kind >= kGaugeKindCount) break; // spare records are never drawn
            if (cap.field == CappedField::ParamA &&
                std::strcmp(GaugeParamLabel(kind, 1), cap.label) == 0)
                a = cap.limit;
            if (cap.field == CappedField::ParamB &&
                std::strcmp(GaugeParamLabel(kind, 0), cap.label) == 0)
                b = cap.limit;
        }
        expected += (a != 65535) + (b != 65535);
        const GaugeRecord& r = s.gauges[kind];
        EXPECT_EQ(r.paramA, a) << GaugeKindName(kind) << " " << kind;
        EXPECT_EQ(r.paramB, b) << GaugeKindName(kind) << " " << kind;
        EXPECT_EQ(r.paramC, 65535);
        EXPECT_EQ(r.paramD, 65535);
        EXPECT_EQ(r.x, 65535);
        EXPECT_EQ(r.y, 65535);
    }
    EXPECT_EQ(lowered, expected);
    // The ones that matter most, by name.
    EXPECT_EQ(s.gauges[kKindHorizVantrel].paramA, 1440); // tape width
    EXPECT_EQ(s.gauges[kKindSignal].paramB, 1024);       // bar height
    EXPECT_EQ(s.gauges[kKindSpeedometer].paramB, 4096);  // dial size
    EXPECT_EQ(s.gauges[kKindSpeedometer].paramA, 65535); // a range costs nothing
    EXPECT_EQ(s.gauges[kKindCourse].paramA, 1024);       // font size
    EXPECT_EQ(std::memcmp(s.gauges + kGaugeKindCount, before.gauges + kGaugeKindCount,
                          sizeof(GaugeRecord) * (kGaugeRecordCount - kGaugeKindCount)),
              0);

    // A record within the caps is left exactly as it is.
    SkinRecord usual = DefaultSkinRecord();
    const SkinRecord copy = usual;
    EXPECT_EQ(ApplySkinCaps(usual), 0);
    EXPECT_FALSE(SkinRecordsDiffer(usual, copy));
}

TEST(SkinCaps, TheFrameNeverExceedsItsCapWhateverThePicturesOrTheRose) {
    const int32_t side = MaxFrameSide();
    EXPECT_EQ(side, 4096);
    const struct {
        std::optional<PixelSize> arrow, background;
        uint16_t x, y;
        PixelSize frame, window;
    } cases[] = {
        {std::nullopt, std::nullopt, 65535, 65535, {side, side}, {side, side}}, // 131170 asked
        {std::nullopt, PixelSize{20000, 300}, 1, 1, {side, 300}, {side, 300}},
        {PixelSize{9000, 50}, PixelSize{320, 240}, 1, 1, {320, 240}, {side, 240}},
        {std::nullopt, PixelSize{4096, 4096}, 1, 1, {4096, 4096}, {4096, 4096}},
    };
    for (const auto& c : cases) {
        const SkinGeometry g = ComputeSkinGeometry(c.arrow, c.background, RoseAt(c.x, c.y), false);
        EXPECT_EQ(g.frame.width, c.frame.width);
        EXPECT_EQ(g.frame.height, c.frame.height);
        EXPECT_EQ(g.window.width, c.window.width);
        EXPECT_EQ(g.window.height, c.window.height);
    }
}

} // namespace
