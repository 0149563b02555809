// The frame cache on the recording backend: it is drawn again exactly when what it holds may
// have changed, a frame drawn from it makes the same drawing calls on the back buffer as a whole
// frame besides the cached scales, and a scale that something earlier in the frame covers is
// drawn live.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/compose.h"
#include "render/renderer_table.h"
#include "vantrel/render_fixture.h"

namespace {

class FrameCacheTest : public RenderFixture {
  protected:
    void SetUp() override {
        RenderFixture::SetUp();
        InstallGaugeRenderers(display->renderers);
        display->renderers.editStep = nullptr;
        app->skin.shownMask[0] = app->skin.shownMask[1] = 0;
        for (int kind : {kKindKnots, kKindSpeedometer, kKindObd2ClvGauge})
            SetKindShown(app->skin, kind, true);
        GaugeRecord& dial = Record(kKindSpeedometer);
        dial.x = 10, dial.y = 60, dial.paramB = 100, dial.paramD = 0;
        GaugeRecord& bar = Record(kKindObd2ClvGauge);
        bar.x = 150, bar.y = 100, bar.paramB = 120, bar.paramA = 100, bar.paramD = 4;
        Record(kKindKnots).x = 200;
        Record(kKindKnots).y = 10;
    }
    // One frame; whether it drew the cache anew (only the cache is ever cleared).
    bool Frame(int32_t width = 320, int32_t height = 240) {
        rec::Current().calls.clear();
        Compose(*display, *app, *nav, width, height, 0);
        return !Recorded().Of("Clear").empty();
    }
    std::vector<gfx::Argb> ArcColours() {
        std::vector<gfx::Argb> colours;
        for (const auto& call : Recorded().Of("DrawArc"))
            colours.push_back(call.color);
        return colours;
    }
};

TEST_F(FrameCacheTest, DrawnAgainExactlyWhenWhatItHoldsMayHaveChanged) {
    EXPECT_TRUE(Frame());
    EXPECT_TRUE(display->cache.cached[kKindSpeedometer]);
    EXPECT_TRUE(display->cache.cached[kKindObd2ClvGauge]);
    EXPECT_FALSE(display->cache.cached[kKindKnots]); // a text always moves
    // Values alone: the scales come from the cache, the needle and the bar are drawn.
    display->values.needleValue[kKindSpeedometer] = 80;
    display->values.value[kKindKnots] = 12;
    EXPECT_FALSE(Frame());
    EXPECT_TRUE(ArcColours().empty());
    EXPECT_EQ(Recorded().Of("FillPolygon").size(), 1u);
    EXPECT_EQ(Recorded().Of("DrawString").size(), 1u); // only the knots
    // Only the knots change: only their rectangle is drawn again, from the cache up.
    display->values.value[kKindKnots] = 13;
    EXPECT_FALSE(Frame());
    EXPECT_EQ(Recorded().Of("DrawString").size(), 1u);
    EXPECT_TRUE(Recorded().Of("FillPolygon").empty());
    ASSERT_EQ(Recorded().Of("SetClip").size(), 1u);
    const auto clip = Recorded().Of("SetClip")[0].args;
    EXPECT_GE(clip[0], 200 - 40); // around the knots at (200, 10), far from the dial
    EXPECT_LE(clip[1], 10);

    const struct {
        const char* what;
        void (*change)(SkinRecord& skin, GaugeDisplay& display);
    } changes[] = {
        {"colour", [](SkinRecord& skin,
                      GaugeDisplay&) { KindRecord(skin, kKindSpeedometer).color = 0xFF123456; }},
        {"font",
         [](SkinRecord& skin, GaugeDisplay&) {
             std::strcpy(KindRecord(skin, kKindSpeedometer).fontName, "Tahoma");
         }},
        {"range growth",
         [](SkinRecord& skin, GaugeDisplay&) { KindRecord(skin, kKindObd2ClvGauge).paramA = 200; }},
        {"sweep of the companion",
         [](SkinRecord& skin, GaugeDisplay&) { KindRecord(skin, kKindSpeed).paramD = 180; }},
        {"position",
         [](SkinRecord& skin, GaugeDisplay&) { KindRecord(skin, kKindSpeedometer).x = 12; }},
        {"style",
         [](SkinRecord& skin, GaugeDisplay&) { KindRecord(skin, kKindObd2ClvGauge).paramD = 6; }},
        {"skin load", [](SkinRecord& skin, GaugeDisplay& d) { ResetForSkin(d, skin); }},
    };
    for (const auto& c : changes) {
        c.change(app->skin, *display);
        EXPECT_TRUE(Frame()) << c.what;
        EXPECT_FALSE(Frame()) << c.what << ", a frame later";
    }
    // The colour shows on the scale drawn into the cache.
    Record(kKindSpeedometer).color = 0xFF654321;
    Frame();
    EXPECT_EQ(ArcColours(), (std::vector<gfx::Argb>{0xFF654321}));
    // A new frame size.
    EXPECT_TRUE(Frame(300, 200));
    EXPECT_FALSE(Frame(300, 200));
    // The turning dial and the moving tapes move their scales: never cached.
    Record(kKindSpeedometer).paramD = 8;
    Record(kKindObd2ClvGauge).paramD = 10;
    Frame();
    EXPECT_FALSE(display->cache.cached[kKindSpeedometer]);
    EXPECT_FALSE(display->cache.cached[kKindObd2ClvGauge]);
    EXPECT_EQ(ArcColours().size(), 1u); // the turning scale, live
}

TEST_F(FrameCacheTest, AScaleUnderSomethingDrawnBeforeItIsDrawnLive) {
    // The knots text (kind 3) drawn across the dial (kind 19): in the frame's order the dial's
    // scale lies over the text, which a cached scale could not.
    Record(kKindKnots).x = 40;
    Record(kKindKnots).y = 90;
    Record(kKindKnots).paramA = 30;
    Record(kKindObd2ClvGauge).y = 190; // clear of the text
    display->values.value[kKindKnots] = 1234.5f;
    Frame();
    EXPECT_FALSE(display->cache.cached[kKindSpeedometer]);
    EXPECT_TRUE(display->cache.live[kKindSpeedometer]);
    EXPECT_TRUE(display->cache.cached[kKindObd2ClvGauge]);
    // Drawn live after the text, as a whole frame draws it.
    const auto& calls = Recorded().calls;
    size_t text = 0, arc = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].op == "DrawString" &&
            rec::Narrow(calls[i].text).find("1234") != std::string::npos)
            text = i;
        if (calls[i].op == "DrawArc") arc = i;
    }
    EXPECT_GT(arc, text);
    // Nothing changed: nothing is drawn. The needle moves: its dial is drawn again, the live
    // scale with it.
    EXPECT_FALSE(Frame());
    EXPECT_TRUE(Recorded().Drawing().empty());
    display->values.needleValue[kKindSpeedometer] = 100;
    EXPECT_FALSE(Frame());
    EXPECT_EQ(ArcColours().size(), 1u);
    // A skin load gives the scale its chance in the cache again.
    Record(kKindKnots).x = 200;
    Record(kKindKnots).y = 10;
    Record(kKindKnots).paramA = 12;
    ResetForSkin(*display, app->skin);
    Frame();
    EXPECT_TRUE(display->cache.cached[kKindSpeedometer]);
}

} // namespace
