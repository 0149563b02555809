// A real GDI+ back buffer for pixel tests: the program's state records, a drawing object on the
// Windows hooks and a frame of the given size, read back pixel by pixel.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "render/display_hooks_win.h"
#include "render/gauge_display.h"
#include "render/skin_drawing.h"
#include "state/app_state.h"
#include "state/nav_state.h"

class PixelFrame : public ::testing::Test {
  protected:
    // Makes the records and a frame of `size`; with no gauge shown unless `keepShownMask`.
    void MakeFrame(PixelSize size, bool keepShownMask = false) {
        app = std::make_unique<AppState>();
        nav = std::make_unique<NavState>();
        display = std::make_unique<GaugeDisplay>(app->skin, WindowsDisplayHooks());
        ASSERT_EQ(display->gdiplusStatus, gfx::Status::Ok);
        CreateBackBuffer(*display, size);
        ASSERT_TRUE(display->graphics.Valid());
        if (!keepShownMask) app->skin.shownMask[0] = app->skin.shownMask[1] = 0;
    }

    gfx::Argb Pixel(int x, int y) {
        gfx::Argb color = 0;
        EXPECT_EQ(display->frameBitmap.GetPixel(x, y, &color), gfx::Status::Ok);
        return color;
    }

    // Pixels in the rectangle for which `test` holds.
    template <typename Test> int CountWhere(const RectI32& r, Test test) {
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (test(Pixel(x, y))) ++count;
        return count;
    }

    std::unique_ptr<AppState> app;
    std::unique_ptr<NavState> nav;
    std::unique_ptr<GaugeDisplay> display;
};
