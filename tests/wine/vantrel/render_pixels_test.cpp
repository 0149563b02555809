// Real GDI+ pixels: a composed frame's signal bars, heading-rose needle and text land where and
// in the colours the skin says; the back buffer reaches a device context on both paint paths.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>

#include "render/compose.h"
#include "render/display_hooks_win.h"
#include "render/paint_win.h"
#include "render/skin_drawing.h"
#include "render_pixel_frame.h"

namespace {

constexpr gfx::Argb kBlack = 0xFF000000;
constexpr gfx::Argb kRed = 0xFFFF0000;
constexpr gfx::Argb kDimRed = 0xFF7F0000;
constexpr gfx::Argb kBlue = 0xFF0000FF;
constexpr gfx::Argb kGreen = 0xFF00FF00;

class RenderPixels : public PixelFrame {
  protected:
    void SetUp() override { MakeFrame(PixelSize{200, 120}); }
};

TEST_F(RenderPixels, ComposedFramePutsBarsNeedleAndTextInPlace) {
    SetKindShown(app->skin, kKindSignal, true);
    SetKindShown(app->skin, kKindVantrel, true);
    SetKindShown(app->skin, kKindCourse, true);
    GaugeRecord& bars = KindRecord(app->skin, kKindSignal);
    bars.x = 10;
    bars.y = 80;
    bars.paramA = 4;
    bars.paramB = 20;
    bars.color = kRed;
    nav->snapshot->satellites[0].snr = 45;
    nav->snapshot->satellites[1].snr = 10;
    GaugeRecord& rose = KindRecord(app->skin, kKindVantrel);
    rose.x = 150;
    rose.y = 60;
    rose.paramB = 40;
    rose.paramA = 6;
    rose.color = kBlue;
    GaugeRecord& course = KindRecord(app->skin, kKindCourse);
    course.x = 10;
    course.y = 10;
    course.paramA = 14;
    course.color = kGreen;
    display->values.value[kKindCourse] = 123.4f;

    Compose(*display, *app, *nav, 200, 120, 90);

    // Bar 0 at full height and colour, bar 1 (snr 10 of 45: 5 px) at half brightness.
    EXPECT_EQ(Pixel(12, 81), kRed);
    EXPECT_EQ(Pixel(12, 99), kRed);
    EXPECT_EQ(Pixel(17, 97), kDimRed);
    EXPECT_EQ(Pixel(17, 93), kBlack); // above the short bar
    EXPECT_EQ(Pixel(14, 90), kBlack); // the gap between bars
    EXPECT_EQ(Pixel(12, 79), kBlack);
    // Heading 90 without fixed north turns the needle to 270: it points left from (150, 60).
    EXPECT_EQ(Pixel(125, 60), kBlue);
    EXPECT_EQ(Pixel(150, 60), kBlue); // the hub
    EXPECT_EQ(Pixel(175, 60), kBlack);
    EXPECT_EQ(Pixel(150, 35), kBlack);
    // The text lies within its measured box, in green, and nothing green is outside it.
    const RectI32& box = display->hitRects[kKindCourse];
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 10);
    EXPECT_GT(box.right - box.left, 30);
    EXPECT_GT(box.bottom - box.top, 12);
    auto greenish = [](gfx::Argb c) { return ((c >> 8) & 0xFF) > 0x80 && (c & 0xFF0000) == 0; };
    EXPECT_GT(CountWhere(box, greenish), 40);
    RectI32 right{box.right + 2, 0, 120, 79};
    EXPECT_EQ(CountWhere(right, greenish), 0);
}

TEST_F(RenderPixels, BothPaintPathsCopyTheFrameStretchedByAFifth) {
    gfx::SolidBrush red(kRed);
    display->graphics.Clear(kBlack);
    display->graphics.FillRectangle(red, {0, 0, 200, 50});

    for (uint32_t osMajor : {6u, 5u}) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = 200;
        info.bmiHeader.biHeight = -160; // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_TRUE(dib != nullptr);
        HGDIOBJ old = SelectObject(dc, dib);
        std::memset(bits, 0x40, 200 * 160 * 4); // grey: shows what the paint did not cover

        PaintArea area{200, 120, true, osMajor};
        EXPECT_EQ(PaintHeight(area), 144);
        PaintFrame(dc, *display, area);
        GdiFlush();
        auto at = [&](int x, int y) {
            return static_cast<uint32_t*>(bits)[y * 200 + x] & 0xFFFFFF;
        };
        EXPECT_EQ(at(100, 10), 0xFF0000u) << osMajor;
        EXPECT_EQ(at(100, 57), 0xFF0000u) << osMajor; // row 47 of the frame, 1.2 times lower
        EXPECT_EQ(at(100, 64), 0x000000u) << osMajor;
        EXPECT_EQ(at(100, 140), 0x000000u) << osMajor;
        // Below the painted height: untouched by the GDI+ copy; the old path clears the whole
        // surface to black first.
        EXPECT_EQ(at(100, 150), osMajor >= 6 ? 0x404040u : 0u) << osMajor;

        SelectObject(dc, old);
        DeleteObject(dib);
        DeleteDC(dc);
    }
}

TEST_F(RenderPixels, AnImpossibleFixTimeDrawsNoTimeTextAndDoesNotFail) {
    for (int kind : {kKindTime, kKindShortDate, kKindLongDate, kKindClock})
        SetKindShown(app->skin, kind, true);
    nav->snapshot->fixValid = 1;
    nav->snapshot->utcTime =
        SystemTime16{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    Compose(*display, *app, *nav, 200, 120, 0);
    EXPECT_EQ(display->hitRects[kKindTime].right, 0);
    EXPECT_EQ(display->hitRects[kKindLongDate].right, 0);
    EXPECT_NE(display->hitRects[kKindClock].right, 0);

    // A sound fix time gives the locale's texts, within their limits.
    nav->snapshot->utcTime = SystemTime16{2026, 12, 1, 7, 13, 45, 30, 0};
    Compose(*display, *app, *nav, 200, 120, 0);
    EXPECT_GT(display->hitRects[kKindTime].right, display->hitRects[kKindTime].left);
    EXPECT_GT(display->hitRects[kKindShortDate].right, display->hitRects[kKindShortDate].left);
}

} // namespace
