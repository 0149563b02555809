// Real GDI+ pixels of the circular map view: the trail is cut at the rim, the home square and a
// satellite's number land where the view puts them, and the composer draws the view through the
// program's renderer table.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <memory>

#include "render/circular_view.h"
#include "render/compose.h"
#include "render/display_hooks_win.h"
#include "render/renderer_table.h"
#include "render/skin_drawing.h"
#include "render_pixel_frame.h"

namespace {

constexpr gfx::Argb kBlack = 0xFF000000;
constexpr gfx::Argb kRed = 0xFFFF0000;
constexpr gfx::Argb kYellow = 0xFFFFFF00;
constexpr gfx::Argb kGreen = 0xFF00FF00;
constexpr int kCx = 100;
constexpr int kCy = 80;
constexpr int kRadius = 44; // size 50
// Statute miles in one degree of latitude on the program's sphere.
const double kMilesPerDegree = 3437.2861 * 1.151 * 0.01745566;

int Red(gfx::Argb c) {
    return (c >> 16) & 0xFF;
}
int Green(gfx::Argb c) {
    return (c >> 8) & 0xFF;
}
int Blue(gfx::Argb c) {
    return c & 0xFF;
}

class CircularViewPixels : public PixelFrame {
  protected:
    void SetUp() override {
        MakeFrame(PixelSize{200, 160});
        display->graphics.Clear(kBlack);
        app->options = kOptionFixedNorth;

        GaugeRecord& sats = KindRecord(app->skin, kKindSatellites);
        sats.x = kCx;
        sats.y = kCy;
        sats.paramA = 10;
        sats.color = kGreen;
        lstrcpyA(sats.fontName, "Arial");
        GaugeRecord& trails = KindRecord(app->skin, kKindTrails);
        trails.paramB = 50;  // radius 44
        trails.paramA = 100; // a mile is 50 pixels
        trails.color = kRed;
        GaugeRecord& home = KindRecord(app->skin, kKindHomeTarget);
        home.paramB = 10;
        home.color = kYellow;

        nav->snapshot->latitude = 47.0f;
        nav->snapshot->longitude = 122.0f;
    }

    GeoPoint North(double miles) const { return {float(47.0 + miles / kMilesPerDegree), 122.0f}; }
};

TEST_F(CircularViewPixels, TheTrailIsCutAtTheRim) {
    SetKindShown(app->skin, kKindTrails, true);
    // From the centre straight up to 2 miles: 100 pixels, more than twice the radius.
    nav->trail.points[0] = North(2.0);
    nav->trail.points[1] = North(0.0);
    nav->trail.index = 2;
    DrawCircularView(*display, *app, *nav, 0);

    auto reddish = [](gfx::Argb c) { return Red(c) > 0x40 && Green(c) == 0 && Blue(c) == 0; };
    // Inside the circle the line is there on every row ...
    for (int y : {kCy - 10, kCy - 25, kCy - 40})
        EXPECT_GT(CountWhere(RectI32{kCx - 3, y, kCx + 4, y + 1}, reddish), 0) << y;
    // ... and nothing at all is drawn outside it.
    int outside = 0;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 200; ++x) {
            double d = std::hypot(x + 0.5 - kCx, y + 0.5 - kCy);
            if (d > kRadius + 1.5 && Pixel(x, y) != kBlack) ++outside;
        }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(Pixel(kCx, kCy - 60), kBlack);
    const RectI32& hit = display->hitRects[kKindTrails];
    EXPECT_EQ(hit.left, kCx - kRadius);
    EXPECT_EQ(hit.bottom, kCy + kRadius);
}

TEST_F(CircularViewPixels, HomeSquareAndASatelliteNumberLandInPlace) {
    SetKindShown(app->skin, kKindHomeTarget, true);
    SetKindShown(app->skin, kKindSatellites, true);
    app->home = {47.0f, 122.0f}; // here: the square sits on the centre, corner (95, 75)
    nav->snapshot->satellites[0] = {7, 30, 90, 45}; // 30 pixels to the right, full green
    DrawCircularView(*display, *app, *nav, 0);

    auto yellowish = [](gfx::Argb c) { return Red(c) > 0x40 && Green(c) > 0x40 && Blue(c) == 0; };
    // The 1-pixel outline straddles x = 95 and y = 75.
    EXPECT_GT(CountWhere(RectI32{94, 78, 96, 83}, yellowish), 0);
    EXPECT_GT(CountWhere(RectI32{98, 74, 103, 76}, yellowish), 0);
    EXPECT_EQ(Pixel(kCx, kCy), kBlack); // hollow

    // The number stands on its anchor (130, 80), centred over it.
    auto greenish = [](gfx::Argb c) { return Green(c) > 0x80 && Red(c) == 0; };
    EXPECT_GT(CountWhere(RectI32{124, 66, 137, 81}, greenish), 5);
    EXPECT_EQ(CountWhere(RectI32{124, 82, 137, 95}, greenish), 0); // nothing below it
    EXPECT_EQ(CountWhere(RectI32{100, 60, 118, 81}, greenish), 0); // nor far left of it
}

TEST_F(CircularViewPixels, TheComposerDrawsTheViewThroughTheRendererTable) {
    InstallGaugeRenderers(display->renderers);
    SetKindShown(app->skin, kKindHomeTarget, true);
    app->home = North(5.0); // far north: the arrow at the top of the rim
    Compose(*display, *app, *nav, 200, 160, 0);
    auto reddish = [](gfx::Argb c) { return Red(c) > 0x80 && Green(c) == 0 && Blue(c) == 0; };
    EXPECT_GT(CountWhere(RectI32{kCx - 3, kCy - kRadius, kCx + 4, kCy - kRadius + 5}, reddish), 3);
    EXPECT_EQ(CountWhere(RectI32{kCx - 10, kCy + 30, kCx + 10, kCy + 45}, reddish), 0);
    EXPECT_EQ(display->hitRects[kKindTrails].top, kCy - kRadius);
}

} // namespace
