// The memo of measured texts: a measure is recalled only for exactly what it was made of, and
// the memo never grows past its limit.
#include <gtest/gtest.h>

#include <string>

#include "render/gdiplus.h"
#include "render/measure_memo.h"

namespace {

gfx::MeasureKey Key() {
    gfx::MeasureKey key;
    key.font = 7;
    key.format = 3;
    key.layout = {0, 0, 96, 32};
    key.text = u"NE";
    return key;
}

TEST(MeasureMemo, RecallsOnlyTheSameTextFontFormatLayoutAndTransform) {
    gfx::MeasureMemo memo;
    memo.Keep(Key(), {1, 2, 30, 18});
    gfx::MeasureBox box;
    ASSERT_TRUE(memo.Recall(Key(), &box));
    EXPECT_EQ(box.width, 30);
    EXPECT_EQ(box.height, 18);

    struct Change {
        const char* what;
        void (*apply)(gfx::MeasureKey&);
    };
    // The texts are built as temporaries: GCC 12's optimiser mistakes a literal assigned to the
    // string for an overlapping copy (-Wrestrict) in builds with optimisation.
    const Change changes[] = {
        {"another font", [](gfx::MeasureKey& k) { k.font = 8; }},
        {"no format", [](gfx::MeasureKey& k) { k.format = 0; }},
        {"a narrower layout box", [](gfx::MeasureKey& k) { k.layout.width = 95; }},
        {"a layout box moved", [](gfx::MeasureKey& k) { k.layout.y = 1; }},
        {"a turned surface", [](gfx::MeasureKey& k) { k.transform[1] = 0.5; }},
        {"a moved surface", [](gfx::MeasureKey& k) { k.transform[4] = 10; }},
        {"another text", [](gfx::MeasureKey& k) { k.text = std::u16string(u"N"); }},
        {"a longer text", [](gfx::MeasureKey& k) { k.text = std::u16string(u"NE "); }},
    };
    for (const Change& change : changes) {
        gfx::MeasureKey key = Key();
        change.apply(key);
        EXPECT_FALSE(memo.Recall(key, &box)) << change.what;
    }
}

TEST(MeasureMemo, StartsAgainEmptyWhenFullAndFontsNeverShareASerial) {
    gfx::MeasureMemo memo;
    gfx::MeasureKey key = Key();
    for (std::size_t i = 0; i < gfx::MeasureMemo::kLimit; ++i) {
        key.text = std::u16string(u"x") + char16_t(u'0' + i % 10) + char16_t(i);
        memo.Keep(key, {0, 0, float(i), 1});
    }
    EXPECT_EQ(memo.Size(), gfx::MeasureMemo::kLimit);
    memo.Keep(Key(), {0, 0, 5, 5});
    EXPECT_EQ(memo.Size(), 1u);

    // A font made where a freed one was is still another font.
    gfx::FontFamily family(u"Tahoma");
    uint64_t first = 0;
    {
        gfx::Font font(family, 10, gfx::FontStyle::Regular, gfx::Unit::Point);
        first = font.Serial();
        gfx::Font moved(std::move(font));
        EXPECT_EQ(moved.Serial(), first); // a move is the same font
    }
    gfx::Font again(family, 10, gfx::FontStyle::Regular, gfx::Unit::Point);
    EXPECT_NE(again.Serial(), first);
}

} // namespace
