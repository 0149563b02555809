// The shipped "Cluster" skin as the build renders it into the ready folder: it loads, sizes the
// frame from its background, and a composed frame puts the needles and texts on its dials.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstdlib>
#include <memory>

#include "render/compose.h"
#include "render/display_hooks_win.h"
#include "render/skin_drawing.h"
#include "render/skin_loader_win.h"
#include "rig/rig.h"
#include "skin/skin_folder_win.h"
#include "tools/skin_art/cluster_layout.h"

namespace {

class ClusterSkin : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = rig::DistDir() + "\\Cluster";
        app = std::make_unique<AppState>();
        nav = std::make_unique<NavState>();
        display = std::make_unique<GaugeDisplay>(app->skin, WindowsDisplayHooks());
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
    static bool Reddish(gfx::Argb c) {
        return ((c >> 16) & 0xFF) > 0xB0 && ((c >> 8) & 0xFF) < 0x70 && (c & 0xFF) < 0x70;
    }

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
    EXPECT_EQ(geometry.window.width, 360);
    for (int slot : {kImageArrow, kImageHour, kImageMinute, kImageSecond, kImageBackground})
        EXPECT_TRUE(display->images[slot].Valid()) << slot;
    EXPECT_EQ(app->skin.opacity, 255u);
    for (int kind : {kKindCourse, kKindVantrel, kKindAltitude, kKindTime, kKindTrip, kKindSignal,
                     kKindClock, kKindSpeed})
        EXPECT_TRUE(IsKindShown(app->skin, kind)) << kind;
    EXPECT_FALSE(IsKindShown(app->skin, kKindSatellites)); // no map view in this skin yet
}

TEST_F(ClusterSkin, ComposedFrameKeepsEveryGaugeInsideThePanelAndApart) {
    nav->snapshot->fixValid = 1;
    nav->snapshot->utcTime = SystemTime16{2026, 12, 1, 7, 10, 10, 30, 0};
    for (int i = 0; i < 8; ++i)
        nav->snapshot->satellites[i].snr = uint16_t(20 + 5 * i);
    display->values.value[kKindSpeed] = 123.4f;
    display->values.value[kKindCourse] = 359.9f;
    display->values.value[kKindAltitude] = 1234.5f;
    nav->tripDistance = 98.76f;
    Compose(*display, *app, *nav, geometry.frame.width, geometry.frame.height, 90);
    SavePreview();
    // The panel is not the colour key: only the rounded corners are see-through.
    EXPECT_NE(Pixel(cluster::kColumnX, 100) & 0xFFFFFF, 0u);
    EXPECT_EQ(Pixel(0, 0) & 0xFFFFFF, 0u);

    // Heading 90 without fixed north: the needle's red north half points left of the rose.
    int red = 0;
    for (int x = cluster::kRoseX - 45; x < cluster::kRoseX - 20; ++x)
        for (int y = cluster::kRoseY - 4; y <= cluster::kRoseY + 4; ++y)
            red += Reddish(Pixel(x, y));
    EXPECT_GT(red, 20);

    const int texts[] = {kKindSpeed, kKindCourse, kKindAltitude, kKindTrip, kKindTime};
    for (int kind : texts) {
        const RectI32& r = display->hitRects[kind];
        EXPECT_GT(r.right, r.left) << kind;
        EXPECT_LE(r.right, 360 - 4) << kind;
        EXPECT_LE(r.bottom, 200 - 4) << kind;
        for (int other : texts) {
            if (other == kind) continue;
            const RectI32& o = display->hitRects[other];
            bool apart =
                r.right <= o.left || o.right <= r.left || r.bottom <= o.top || o.bottom <= r.top;
            EXPECT_TRUE(apart) << kind << " overlaps " << other;
        }
    }
    // The column's texts stay clear of the rose and the clock.
    for (int kind : {kKindSpeed, kKindCourse, kKindAltitude, kKindTrip}) {
        EXPECT_GE(display->hitRects[kind].left, cluster::kRoseX + cluster::kRoseRadius) << kind;
        EXPECT_LE(display->hitRects[kind].right, cluster::kClockX - cluster::kClockRadius) << kind;
    }
}

} // namespace
