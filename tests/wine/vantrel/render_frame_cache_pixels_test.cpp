// Frames drawn from the frame cache against frames drawn whole, pixel for pixel with real GDI+:
// the shipped "Cluster" skin and the skin that shows every kind, over a drive that changes values,
// grows a range, changes a colour and a font, resizes the frame, opens the dialog (the map view's
// outline, a dragged gauge) and switches from one skin to the other.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>

#include "bench/common/every_kind_skin.cpp"
#include "render/compose.h"
#include "render/display_hooks_win.h"
#include "render/renderer_table.h"
#include "render/skin_drawing.h"
#include "render/skin_loader_win.h"
#include "rig/rig.h"
#include "skin/skin_folder_win.h"
#include "state/trail_ring.h"

namespace {

class FrameCachePixels : public ::testing::Test {
  protected:
    void SetUp() override {
        app = std::make_unique<AppState>();
        nav = std::make_unique<NavState>();
        whole = std::make_unique<GaugeDisplay>(app->skin, WindowsDisplayHooks());
        cached = std::make_unique<GaugeDisplay>(app->skin, WindowsDisplayHooks());
        whole->cache.enabled = false;
        for (GaugeDisplay* d : {whole.get(), cached.get()})
            InstallGaugeRenderers(d->renderers);
    }

    void LoadCluster() {
        const std::string folder = rig::DistDir() + "\\Cluster";
        for (GaugeDisplay* d : {whole.get(), cached.get()})
            ReloadSkinImages(*d, folder, LoadSkinImageObject);
        frame = SkinGeometryOf(*whole, app->skin, false).frame;
        ASSERT_EQ(ReadSkinFile(folder, app->skin), SkinFileResult::Taken);
        Finish();
    }
    void LoadEveryKind() {
        for (GaugeDisplay* d : {whole.get(), cached.get()})
            ReloadSkinImages(*d, "", [](const std::string&, const char*) { return gfx::Image(); });
        app->skin = every_kind::EveryKindSkinRecord();
        frame = SkinGeometryOf(*whole, app->skin, false).frame;
        Finish();
    }
    void Finish() {
        for (GaugeDisplay* d : {whole.get(), cached.get()}) {
            CreateBackBuffer(*d, frame);
            FinishSkinLoad(*d, app->skin, nullptr);
        }
    }

    // The inputs of drive step n: every value, needle and sample moves.
    void Drive(int n) {
        GpsSnapshot& s = *nav->snapshot;
        s.fixValid = 1;
        s.utcTime = SystemTime16{2026, 12, 2, 8, 10, 10, uint16_t(n % 60), 0};
        s.latitude = 47.60f + 0.001f * n;
        s.longitude = 122.33f - 0.001f * n;
        for (int i = 0; i < kSatelliteSlots; ++i)
            s.satellites[i] = {uint16_t(i + 3), uint16_t(10 + 6 * i), uint16_t(30 * i + 7 * n),
                               uint16_t(20 + (i * 7 + n * 5) % 40)};
        app->home = {47.59f, 122.35f};
        AppendTrailPoint(nav->trail, {s.latitude, s.longitude});
        nav->tripDistance = 1.5f * float(n);
        for (GaugeDisplay* d : {whole.get(), cached.get()}) {
            GaugeValues& v = d->values;
            for (int k = 0; k < kGaugeKindCount; ++k) {
                float range = float(KindRecord(app->skin, k).paramA);
                v.value[k] = 3.7f * float(k) + 11.3f * float(n);
                v.needleValue[k] = range * float((k * 3 + n * 7) % 11) / 10.0f;
                for (int i = 0; i < kHistorySamples; ++i)
                    v.history[k][i] = range * float((i + n + k) % 17) / 16.0f;
                v.changedMask[k / 32] |= 1u << (k % 32);
            }
        }
        heading = (n * 37) % 360;
    }

    // Both frames of one step, compared; an empty text when they agree, else the first pixels
    // that differ.
    std::string Compare(const char* step) {
        for (GaugeDisplay* d : {whole.get(), cached.get()})
            Compose(*d, *app, *nav, frame.width, frame.height, heading);
        Gdiplus::Rect all(0, 0, frame.width, frame.height);
        Gdiplus::BitmapData a{}, b{};
        auto* wa = static_cast<Gdiplus::GpBitmap*>(whole->frameBitmap.Handle());
        auto* wb = static_cast<Gdiplus::GpBitmap*>(cached->frameBitmap.Handle());
        if (Gdiplus::DllExports::GdipBitmapLockBits(wa, &all, Gdiplus::ImageLockModeRead,
                                                    PixelFormat32bppARGB, &a) != Gdiplus::Ok)
            return std::string(step) + ": cannot read the whole frame";
        if (Gdiplus::DllExports::GdipBitmapLockBits(wb, &all, Gdiplus::ImageLockModeRead,
                                                    PixelFormat32bppARGB, &b) != Gdiplus::Ok) {
            Gdiplus::DllExports::GdipBitmapUnlockBits(wa, &a);
            return std::string(step) + ": cannot read the cached frame";
        }
        std::ostringstream out;
        int differing = 0;
        for (int y = 0; y < frame.height; ++y) {
            const auto* ra =
                reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(a.Scan0) + y * a.Stride);
            const auto* rb =
                reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(b.Scan0) + y * b.Stride);
            for (int x = 0; x < frame.width; ++x) {
                if (ra[x] == rb[x]) continue;
                if (differing++ < 8)
                    out << " (" << x << "," << y << ") " << std::hex << ra[x] << " vs " << rb[x]
                        << std::dec;
            }
        }
        Gdiplus::DllExports::GdipBitmapUnlockBits(wa, &a);
        Gdiplus::DllExports::GdipBitmapUnlockBits(wb, &b);
        if (differing == 0) return "";
        return std::string(step) + ": " + std::to_string(differing) + " pixels differ:" + out.str();
    }

    // A drive over the loaded skin with every kind of change; `dial` is one of its dials.
    void DriveWithEveryChange(int dial) {
        int n = 0;
        Drive(n++);
        EXPECT_EQ(Compare("first frame"), "");
        for (int i = 0; i < 3; ++i) {
            Drive(n++);
            EXPECT_EQ(Compare("values"), "");
        }
        EXPECT_TRUE(cached->cache.valid);
        EXPECT_TRUE(cached->cache.cached[dial]) << "the dial's scale comes from the cache";
        // Only some parts change: a frame over the last one draws only their rectangles.
        for (GaugeDisplay* d : {whole.get(), cached.get()}) {
            d->values.value[kKindAltitude] += 1;
            d->values.needleValue[dial] += 3;
        }
        EXPECT_EQ(Compare("a text and a needle"), "");
        EXPECT_EQ(Compare("nothing"), "");
        nav->snapshot->utcTime.second = uint16_t((nav->snapshot->utcTime.second + 1) % 60);
        EXPECT_EQ(Compare("the clock"), "");
        heading = (heading + 1) % 360;
        EXPECT_EQ(Compare("the heading"), "");
        EXPECT_TRUE(cached->parts.valid);
        KindRecord(app->skin, dial).paramA += 40;
        Drive(n++);
        EXPECT_EQ(Compare("range growth"), "");
        KindRecord(app->skin, dial).color = 0xFF40C0FF;
        Drive(n++);
        EXPECT_EQ(Compare("colour"), "");
        std::strcpy(KindRecord(app->skin, dial).fontName, "Tahoma");
        KindRecord(app->skin, dial).paramB += 10; // a bigger dial: its numbers grow too
        Drive(n++);
        EXPECT_EQ(Compare("font"), "");
        frame.width -= 30;
        frame.height -= 20;
        for (GaugeDisplay* d : {whole.get(), cached.get()})
            CreateBackBuffer(*d, frame);
        Drive(n++);
        EXPECT_EQ(Compare("frame resize"), "");
        app->configDialog = reinterpret_cast<WindowHandle>(0x1);
        app->dialogKind = kKindTrails;
        KindRecord(app->skin, dial).x += 5; // a drag in the dialog
        for (int i = 0; i < 2; ++i) {
            Drive(n++);
            EXPECT_EQ(Compare("dialog open"), "");
        }
        app->configDialog = nullptr;
    }

    std::unique_ptr<AppState> app;
    std::unique_ptr<NavState> nav;
    std::unique_ptr<GaugeDisplay> whole;
    std::unique_ptr<GaugeDisplay> cached;
    PixelSize frame;
    int32_t heading = 0;
};

TEST_F(FrameCachePixels, ShippedSkinThenEveryKindMatchFramesDrawnWhole) {
    LoadCluster();
    DriveWithEveryChange(kKindSpeedometer);
    LoadEveryKind(); // the skin switch
    DriveWithEveryChange(kKindObd2ClvGauge);
    // Most scales of both skins came from the cache.
    int fromCache = 0;
    for (bool c : cached->cache.cached)
        fromCache += c;
    EXPECT_GT(fromCache, 5);
}

} // namespace
