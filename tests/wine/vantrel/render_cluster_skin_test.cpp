// The shipped "Cluster" skin as the build renders it into the ready folder: it loads, sizes the
// frame from its background, and a composed frame with realistic values puts the needles on its
// dials and keeps every gauge inside the panel and clear of the others.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdlib>
#include <memory>

#include "render/compose.h"
#include "render/display_hooks_win.h"
#include "render/renderer_table.h"
#include "render/skin_drawing.h"
#include "render/skin_loader_win.h"
#include "rig/rig.h"
#include "skin/skin_folder_win.h"
#include "tools/skin_art/cluster_layout.h"
#include "state/trail_ring.h"

namespace {

class ClusterSkin : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = rig::DistDir() + "\\Cluster";
        app = std::make_unique<AppState>();
        nav = std::make_unique<NavState>();
        display = std::make_unique<GaugeDisplay>(app->skin, WindowsDisplayHooks());
        InstallGaugeRenderers(display->renderers);
        ReloadSkinImages(*display, folder, LoadSkinImageObject);
        geometry = SkinGeometryOf(*display, app->skin, false);
        CreateBackBuffer(*display, geometry.frame);
        result = ReadSkinFile(folder, app->skin);
        FinishSkinLoad(*display, app->skin, nullptr);
    }

    gfx::Argb Pixel(int x, int y) {
        gfx::Argb color = 0;
        display->frameBitmap.GetPixel(x, y, &color);
        return color;
    }
    // The needles' orange-red.
    static bool Orange(gfx::Argb c) {
        return ((c >> 16) & 0xFF) > 0xC0 && ((c >> 8) & 0xFF) < 0x90 && (c & 0xFF) < 0x60;
    }
    static constexpr int kShown[] = {
        kKindHorizVantrel, kKindAltitude,        kKindOdometer,     kKindTime,
        kKindTrip,         kKindSatellites,      kKindHomeTarget,   kKindTrails,
        kKindSpeedometer,  kKindObd2Speedometer, kKindObd2RpmGauge, kKindObd2CtGauge};

    // With VZ_SAVE_PREVIEW set, the composed frame goes to that file for a look by eye.
    void SavePreview() {
        const char* path = std::getenv("VZ_SAVE_PREVIEW");
        if (!path) return;
        const CLSID png = {
            0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
        std::u16string wide = gfx::AnsiToUtf16(path);
        Gdiplus::DllExports::GdipSaveImageToFile(
            static_cast<Gdiplus::GpImage*>(display->frameBitmap.Handle()),
            reinterpret_cast<const WCHAR*>(wide.c_str()), &png, nullptr);
    }

    std::string folder;
    std::unique_ptr<AppState> app;
    std::unique_ptr<NavState> nav;
    std::unique_ptr<GaugeDisplay> display;
    SkinGeometry geometry;
    SkinFileResult result = SkinFileResult::Missing;
};

TEST_F(ClusterSkin, LoadsWithItsImagesAndRecord) {
    EXPECT_EQ(result, SkinFileResult::Taken);
    EXPECT_EQ(geometry.frame.width, cluster::kFrameWidth);
    EXPECT_EQ(geometry.frame.height, cluster::kFrameHeight);
    EXPECT_EQ(geometry.window.width, cluster::kFrameWidth);
    for (int slot : {kImageNeedle, kImageBackground})
        EXPECT_TRUE(display->images[slot].Valid()) << slot;
    EXPECT_EQ(app->skin.opacity, 255u);
    for (int kind : kShown)
        EXPECT_TRUE(IsKindShown(app->skin, kind)) << kind;
    // The readouts paired with the dials only lend them their geometry.
    for (int kind : {kKindSpeed, kKindObd2Rpm, kKindObd2Speed, kKindVantrel, kKindClock})
        EXPECT_FALSE(IsKindShown(app->skin, kind)) << kind;
}

TEST_F(ClusterSkin, ComposedFrameKeepsEveryGaugeInsideThePanelAndApart) {
    GpsSnapshot& s = *nav->snapshot;
    s.fixValid = 1;
    s.utcTime = SystemTime16{2026, 12, 1, 7, 10, 10, 30, 0};
    s.latitude = 47.60f;
    s.longitude = 122.33f;
    const uint16_t sats[][3] = {{5, 30, 40},   {12, 50, 130}, {17, 20, 250},
                                {23, 45, 310}, {29, 15, 200}, {31, 60, 80}};
    for (int i = 0; i < 6; ++i)
        s.satellites[i] = {sats[i][0], sats[i][1], sats[i][2], uint16_t(25 + 4 * i)};
    app->home = {47.59f, 122.35f};
    for (int i = 0; i < 40; ++i)
        AppendTrailPoint(nav->trail, {47.58f + 0.0005f * i, 122.36f - 0.0007f * i});
    app->displayedHeading = 90;

    GaugeValues& v = display->values;
    v.value[kKindAltitude] = 1234.5f;
    v.value[kKindOdometer] = 12345.67f;
    v.needleValue[kKindSpeedometer] = 62.0f;
    v.needleValue[kKindObd2RpmGauge] = 2400.0f;
    v.needleValue[kKindObd2CtGauge] = 195.0f;
    for (int i = 0; i < kHistorySamples; ++i)
        v.history[kKindObd2Speedometer][i] = 40.0f + 20.0f * float(i % 64) / 64.0f;
    nav->tripDistance = 98.76f;
    Compose(*display, *app, *nav, geometry.frame.width, geometry.frame.height, 90);
    SavePreview();
    // The panel is not the colour key: only the rounded corners are see-through.
    EXPECT_NE(Pixel(cluster::kMiddleX, cluster::kFrameHeight - 8) & 0xFFFFFF, 0u);
    EXPECT_EQ(Pixel(0, 0) & 0xFFFFFF, 0u);

    // 62 of 160 on a 240-degree scale from -120: the speed needle leans left of straight up
    // (-27 degrees), so its tip lies up and to the left of the hub.
    int needle = 0;
    for (int x = cluster::kSpeedX - 40; x < cluster::kSpeedX - 15; ++x)
        for (int y = cluster::kDialY - 75; y < cluster::kDialY - 40; ++y)
            needle += Orange(Pixel(x, y));
    EXPECT_GT(needle, 20);
    // 24 of 80 (2400 r/min): -48 degrees, further left and lower than the speed needle.
    int rpm = 0;
    for (int x = cluster::kRpmX - 60; x < cluster::kRpmX - 30; ++x)
        for (int y = cluster::kDialY - 55; y < cluster::kDialY - 25; ++y)
            rpm += Orange(Pixel(x, y));
    EXPECT_GT(rpm, 20);

    // 195 on the coolant bar from 20 to 260 over 120 pixels fills (195 - 20) * 121 / 240 = 88.
    int barMiddle = cluster::kBarY + 6;
    EXPECT_TRUE(Orange(Pixel(cluster::kBarX + 80, barMiddle)));
    EXPECT_FALSE(Orange(Pixel(cluster::kBarX + 96, barMiddle)));

    for (int kind : kShown) {
        if (kind == kKindSatellites || kind == kKindHomeTarget) continue; // share the map's rect
        const RectI32& r = display->hitRects[kind];
        EXPECT_GT(r.right, r.left) << kind;
        EXPECT_GT(r.bottom, r.top) << kind;
        EXPECT_GE(r.left, 0) << kind;
        EXPECT_GE(r.top, 0) << kind;
        EXPECT_LE(r.right, cluster::kFrameWidth) << kind;
        EXPECT_LE(r.bottom, cluster::kFrameHeight) << kind;
        for (int other : kShown) {
            if (other == kind || other == kKindSatellites || other == kKindHomeTarget) continue;
            const RectI32& o = display->hitRects[other];
            bool apart =
                r.right <= o.left || o.right <= r.left || r.bottom <= o.top || o.bottom <= r.top;
            EXPECT_TRUE(apart) << kind << " overlaps " << other;
        }
    }
}

} // namespace
