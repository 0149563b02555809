// The compiled-in skin as stored bytes, the shown mask, the version rules, names and labels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "state/skin_record.h"

namespace {

std::vector<uint8_t> BytesOf(const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    return std::vector<uint8_t>(b, b + n);
}

// The stored bytes of a default gauge record: "Arial", the four parameters, colour, (1, 1).
std::vector<uint8_t> DefaultGaugeBytes(uint16_t a, uint16_t b, uint16_t c, uint16_t d,
                                       uint32_t color) {
    std::vector<uint8_t> v(88, 0);
    std::memcpy(v.data(), "Arial", 5);
    auto put16 = [&](size_t at, uint16_t x) {
        v[at] = x & 0xFF;
        v[at + 1] = x >> 8;
    };
    put16(64, a);
    put16(66, b);
    for (int i = 0; i < 4; ++i)
        v[68 + i] = (color >> (8 * i)) & 0xFF;
    put16(72, 1);
    put16(74, 1);
    put16(76, c);
    put16(78, d);
    return v;
}

std::vector<uint8_t> StoredGauge(const SkinRecord& s, int k) {
    return BytesOf(reinterpret_cast<const uint8_t*>(&s) + 28 + 88 * k, 88);
}

TEST(SkinRecordDefaults, HeaderBytesAreTheStoredForm) {
    const SkinRecord s = DefaultSkinRecord();
    const std::vector<uint8_t> expected = {'S', 'K', 'I',  'N',  4,    0, 0, 0, 0xFF, 0,
                                           0,   0,   0x1F, 0x68, 0x03, 0, 0, 0, 0,    0,
                                           0,   0,   0,    0,    0,    0, 0, 0};
    EXPECT_EQ(BytesOf(&s, 28), expected);
}

TEST(SkinRecordDefaults, GaugeRecordsAreByteExact) {
    const SkinRecord s = DefaultSkinRecord();
    EXPECT_EQ(StoredGauge(s, 0), DefaultGaugeBytes(12, 0, 0, 0, 0xFF00FF00));
    EXPECT_EQ(StoredGauge(s, 1), DefaultGaugeBytes(210, 23, 0, 0, 0xFF00FF00));
    EXPECT_EQ(StoredGauge(s, 19), DefaultGaugeBytes(155, 145, 0, 0, 0xFF00FF00));
    EXPECT_EQ(StoredGauge(s, 20), DefaultGaugeBytes(0, 0, 0, 0, 0xFF0000FF));
    EXPECT_EQ(StoredGauge(s, 22), DefaultGaugeBytes(160, 145, 0, 0, 0xFFFF0000));
    EXPECT_EQ(StoredGauge(s, 51), DefaultGaugeBytes(240, 90, 100, 0, 0xFF00FF00));
    EXPECT_EQ(StoredGauge(s, 58), DefaultGaugeBytes(12, 20, 0, 0, 0xFF00FF00));
    // Spare records: 59 has a usable text style, 60 to 63 are zero bytes.
    EXPECT_EQ(StoredGauge(s, 59), DefaultGaugeBytes(20, 90, 0, 0, 0xFF00FF00));
    for (int k = 60; k < 64; ++k)
        EXPECT_EQ(StoredGauge(s, k), std::vector<uint8_t>(88, 0)) << k;
}

TEST(SkinRecordDefaults, EveryKindIsArialAtOneOneAndOnlyTheTenKindsAreShown) {
    const SkinRecord s = DefaultSkinRecord();
    const std::vector<int> shown = {0, 1, 2, 3, 4, 11, 13, 14, 16, 17};
    for (int k = 0; k < kGaugeKindCount; ++k) {
        const GaugeRecord& g = KindRecord(s, k);
        EXPECT_STREQ(g.fontName, "Arial") << k;
        EXPECT_EQ(g.x, 1) << k;
        EXPECT_EQ(g.y, 1) << k;
        EXPECT_EQ(std::memcmp(g.reserved, "\0\0\0\0\0\0\0\0", 8), 0) << k;
        const bool expectShown = std::find(shown.begin(), shown.end(), k) != shown.end();
        EXPECT_EQ(IsKindShown(s, k), expectShown) << k;
    }
    EXPECT_EQ(s.gauges[kKindVantrel].paramA, 38);
    EXPECT_EQ(s.gauges[kKindVantrel].paramB, 6);
}

TEST(SkinRecordShownMask, TestAndToggleAcrossTheWordBoundary) {
    SkinRecord s = DefaultSkinRecord();
    EXPECT_TRUE(IsKindShown(s, 0));
    ToggleKindShown(s, 0);
    EXPECT_FALSE(IsKindShown(s, 0));
    EXPECT_EQ(s.shownMask[0], 0x0003681Eu);

    ToggleKindShown(s, 31);
    EXPECT_TRUE(IsKindShown(s, 31));
    EXPECT_EQ(s.shownMask[0], 0x8003681Eu);
    EXPECT_EQ(s.shownMask[1], 0u);

    ToggleKindShown(s, 32); // first bit of the second word
    EXPECT_TRUE(IsKindShown(s, 32));
    EXPECT_EQ(s.shownMask[1], 0x00000001u);
    EXPECT_EQ(s.shownMask[0], 0x8003681Eu);

    ToggleKindShown(s, 58);
    EXPECT_TRUE(IsKindShown(s, 58));
    EXPECT_EQ(s.shownMask[1], 0x04000001u);
    ToggleKindShown(s, 58);
    ToggleKindShown(s, 32);
    EXPECT_FALSE(IsKindShown(s, 58));
    EXPECT_EQ(s.shownMask[1], 0u);

    // A spare bit is stored as it is; out-of-range kinds change nothing.
    ToggleKindShown(s, 60);
    EXPECT_EQ(s.shownMask[1], 0x10000000u);
    const SkinRecord before = s;
    ToggleKindShown(s, 64);
    ToggleKindShown(s, -1);
    EXPECT_FALSE(SkinRecordsDiffer(s, before));
    EXPECT_FALSE(IsKindShown(s, 64));

    SetKindShown(s, 5, true);
    SetKindShown(s, 5, true);
    EXPECT_TRUE(IsKindShown(s, 5));
    SetKindShown(s, 5, false);
    EXPECT_FALSE(IsKindShown(s, 5));
}

TEST(SkinRecordVersions, OnlyVersionOneIsDiscarded) {
    SkinRecord s = DefaultSkinRecord();
    s.version = 1;
    EXPECT_TRUE(DiscardVersion1Skin(s));
    EXPECT_EQ(BytesOf(&s, sizeof s), std::vector<uint8_t>(kSkinRecordSize, 0));

    for (uint32_t v : {0u, 2u, 3u, 4u, 5u}) {
        SkinRecord kept = DefaultSkinRecord();
        kept.version = v;
        std::memcpy(kept.magic, "XXXX", 4); // a damaged magic does not matter
        const SkinRecord before = kept;
        EXPECT_FALSE(DiscardVersion1Skin(kept)) << v;
        EXPECT_FALSE(SkinRecordsDiffer(kept, before)) << v;
    }
}

TEST(SkinRecordVersions, GdiColourBecomesOpaqueArgbWhateverItsTopByte) {
    EXPECT_EQ(GdiColorToArgb(0x00123456u), 0xFF563412u);
    EXPECT_EQ(GdiColorToArgb(0x80123456u), 0xFF563412u);
    EXPECT_EQ(GdiColorToArgb(0x000000FFu), 0xFFFF0000u); // GDI red
    EXPECT_EQ(GdiColorToArgb(0x00000000u), 0xFF000000u);

    SkinRecord s = DefaultSkinRecord();
    s.version = 3;
    for (int k = 0; k < kGaugeRecordCount; ++k)
        s.gauges[k].color = 0x00123456u + k;
    SkinRecord expected = s;
    UpgradeSkinFromVersion3(s);
    EXPECT_EQ(s.version, 4u);
    for (int k = 0; k < kGaugeRecordCount; ++k) {
        EXPECT_EQ(s.gauges[k].color, 0xFF563412u + (uint32_t(k) << 16)) << k;
        expected.gauges[k].color = s.gauges[k].color;
    }
    expected.version = 4;
    EXPECT_FALSE(SkinRecordsDiffer(s, expected)); // nothing else moved
}

TEST(SkinRecordNames, NamesInListOrderAsTheProgramSpellsThem) {
    EXPECT_STREQ(GaugeKindName(0), "Course");
    EXPECT_STREQ(GaugeKindName(1), "Horiz Vantrel");
    EXPECT_STREQ(GaugeKindName(20), "Needle Color");
    EXPECT_STREQ(GaugeKindName(50), "OBD2 Coolant Temp");
    EXPECT_STREQ(GaugeKindName(57), "Depth Guage");
    EXPECT_STREQ(GaugeKindName(58), "Avg Speed");
    EXPECT_STREQ(GaugeKindName(59), "");
    EXPECT_STREQ(GaugeKindName(-1), "");
    for (int k = 0; k < kGaugeKindCount; ++k)
        EXPECT_GT(std::strlen(GaugeKindName(k)), 0u) << k;
}

TEST(SkinRecordNames, LabelsBySlotAndTheirLimits) {
    EXPECT_STREQ(GaugeParamLabel(0, 0), "");
    EXPECT_STREQ(GaugeParamLabel(0, 1), "Size");
    EXPECT_STREQ(GaugeParamLabel(1, 0), "Height");
    EXPECT_STREQ(GaugeParamLabel(1, 1), "Width");
    EXPECT_STREQ(GaugeParamLabel(7, 2), "Fmt");
    EXPECT_STREQ(GaugeParamLabel(16, 0), "Size");
    EXPECT_STREQ(GaugeParamLabel(16, 1), "");
    EXPECT_STREQ(GaugeParamLabel(18, 0), "GH");
    EXPECT_STREQ(GaugeParamLabel(18, 2), "Angle");
    EXPECT_STREQ(GaugeParamLabel(18, 3), "Sweep");
    EXPECT_STREQ(GaugeParamLabel(19, 1), "Range");
    EXPECT_STREQ(GaugeParamLabel(19, 2), "Start");
    EXPECT_STREQ(GaugeParamLabel(19, 3), "Type");
    EXPECT_STREQ(GaugeParamLabel(23, 0), "Time");
    EXPECT_STREQ(GaugeParamLabel(20, 3), "");
    EXPECT_STREQ(GaugeParamLabel(0, 4), "");
    EXPECT_STREQ(GaugeParamLabel(59, 1), "");
    for (int k = 0; k < kGaugeKindCount; ++k) {
        for (int slot = 0; slot < kParamLabelCount; ++slot) {
            EXPECT_LE(std::strlen(GaugeParamLabel(k, slot)), 7u) << k << "/" << slot;
        }
    }
}

} // namespace
