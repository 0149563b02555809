// Real GDI+ pixels of the analog gauges: a composed frame's dial needle, scale arc and linear
// bar land where and in the colours the skin says.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>

#include "render/compose.h"
#include "render/display_hooks_win.h"
#include "render/renderer_table.h"
#include "render/skin_drawing.h"
#include "render_pixel_frame.h"

namespace {

constexpr gfx::Argb kGreen = 0xFF00FF00;
constexpr gfx::Argb kBlue = 0xFF0000FF;

bool Bluish(gfx::Argb c) {
    return (c & 0xFF) > 0xC0 && ((c >> 8) & 0xFF) < 0x40 && ((c >> 16) & 0xFF) < 0x40;
}
bool Greenish(gfx::Argb c) {
    return ((c >> 8) & 0xFF) > 0x60 && (c & 0xFF) < 0x40 && ((c >> 16) & 0xFF) < 0x40;
}
bool Black(gfx::Argb c) {
    return (c & 0xFFFFFF) == 0;
}

class AnalogPixels : public PixelFrame {
  protected:
    void SetUp() override {
        MakeFrame(PixelSize{200, 120});
        InstallGaugeRenderers(display->renderers);
        KindRecord(app->skin, kKindNeedleColor).color = kBlue;
    }
};

TEST_F(AnalogPixels, DialNeedleScaleArcAndLinearBar) {
    SetKindShown(app->skin, kKindSpeedometer, true);
    SetKindShown(app->skin, kKindObd2ClvGauge, true);
    GaugeRecord& dial = KindRecord(app->skin, kKindSpeedometer);
    std::strcpy(dial.fontName, "Arial");
    dial.x = 10;
    dial.y = 10;
    dial.paramB = 100; // centre (60, 60), radius 50
    dial.paramA = 155;
    dial.paramD = 0;
    dial.color = kGreen;
    KindRecord(app->skin, kKindSpeed).paramC = 0;
    KindRecord(app->skin, kKindSpeed).paramD = 0;
    display->values.needleValue[kKindSpeedometer] = 77.5f; // half the range: straight up

    GaugeRecord& bar = KindRecord(app->skin, kKindObd2ClvGauge);
    bar.x = 130;
    bar.y = 20;
    bar.paramB = 60; // thick 6
    bar.paramA = 100;
    bar.paramC = 0;
    bar.paramD = 5;                                      // horizontal bar only
    display->values.needleValue[kKindObd2ClvGauge] = 50; // trunc(50 * 61 / 100) = 30 pixels

    Compose(*display, *app, *nav, 200, 120, 0);

    // The needle points up from the centre; nothing below the hub.
    EXPECT_TRUE(Bluish(Pixel(60, 40))) << std::hex << Pixel(60, 40);
    EXPECT_TRUE(Bluish(Pixel(60, 60)));
    EXPECT_TRUE(Black(Pixel(60, 85)));
    // The scale arc passes three o'clock on the rim and leaves the bottom open.
    bool arc = Greenish(Pixel(109, 60)) || Greenish(Pixel(110, 60));
    EXPECT_TRUE(arc) << std::hex << Pixel(109, 60) << " " << Pixel(110, 60);
    EXPECT_TRUE(Black(Pixel(60, 109)));
    // The bar: 30 pixels of 60 from the left, 6 high.
    EXPECT_TRUE(Bluish(Pixel(135, 23)));
    EXPECT_TRUE(Bluish(Pixel(158, 23)));
    EXPECT_TRUE(Black(Pixel(165, 23)));
    EXPECT_TRUE(Black(Pixel(135, 28)));
    // "80" stands about its anchor 35 pixels above the centre, between the ticks and the hub.
    int numberPixels = 0;
    for (int y = 18; y < 34; ++y)
        for (int x = 48; x < 77; ++x)
            if (Greenish(Pixel(x, y))) ++numberPixels;
    EXPECT_GT(numberPixels, 8);
    // It stands on its anchor (y 25): between the anchor and the hub, where a number measured
    // in a box lower than its line would hang, there is none of it.
    int hanging = 0;
    for (int y = 27; y < 36; ++y)
        for (int x = 54; x < 70; ++x)
            if (Greenish(Pixel(x, y))) ++hanging;
    EXPECT_EQ(hanging, 0);
    EXPECT_EQ(display->hitRects[kKindSpeedometer].right, 111);
    EXPECT_EQ(display->hitRects[kKindObd2ClvGauge].right, 191);
}

} // namespace
