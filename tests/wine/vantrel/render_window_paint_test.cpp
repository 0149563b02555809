// The paint handler on a real layered window: a composed frame reaches the screen through
// PaintBackBuffer, stretched by a fifth when asked.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "render/compose.h"
#include "render/display_hooks_win.h"
#include "render/paint_win.h"
#include "render/skin_drawing.h"
#include "rig/rig.h"

namespace {

GaugeDisplay* g_display = nullptr;
PaintArea g_area;

LRESULT CALLBACK PaintWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && g_display) {
        PaintBackBuffer(window, *g_display, g_area);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class WindowPaint : public ::testing::Test {
  protected:
    void SetUp() override {
        app = std::make_unique<AppState>();
        nav = std::make_unique<NavState>();
        display = std::make_unique<GaugeDisplay>(app->skin, WindowsDisplayHooks());
        g_display = display.get();
        WNDCLASSA type{};
        type.lpfnWndProc = PaintWindowProc;
        type.hInstance = GetModuleHandleA(nullptr);
        type.lpszClassName = "RenderPaintTest";
        RegisterClassA(&type);
    }
    void TearDown() override {
        if (window) DestroyWindow(window);
        g_display = nullptr;
    }

    // A frame of 120 × 100 with the signal bars in red at the top left; the rest stays black.
    void ComposeBars() {
        CreateBackBuffer(*display, PixelSize{120, 100});
        app->skin.shownMask[0] = app->skin.shownMask[1] = 0;
        SetKindShown(app->skin, kKindSignal, true);
        GaugeRecord& bars = KindRecord(app->skin, kKindSignal);
        bars.x = 10;
        bars.y = 10;
        bars.paramA = 6;
        bars.paramB = 40;
        bars.color = 0xFFFF0000;
        for (auto& sat : nav->snapshot->satellites)
            sat.snr = 45;
        Compose(*display, *app, *nav, 120, 100, 0);
    }

    void Open(int height) {
        window = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                                 "RenderPaintTest", "", WS_POPUP, 200, 150, 120, height, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(window != nullptr);
        display->window = window;
        SetLayeredWindowAttributes(window, RGB(0, 0, 0), 255, LWA_COLORKEY);
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
        rig::WaitUntil([] { return false; }, 300); // let the screen settle
    }

    std::unique_ptr<AppState> app;
    std::unique_ptr<NavState> nav;
    std::unique_ptr<GaugeDisplay> display;
    HWND window = nullptr;
};

TEST_F(WindowPaint, TheComposedFrameReachesTheScreen) {
    ComposeBars();
    g_area = PaintArea{120, 100, false, 6};
    Open(100);
    rig::Pixels shot = rig::CaptureWindow(window);
    ASSERT_EQ(shot.width, 120);
    // Bars 6 px wide at a pitch of 7 from (10, 10), 40 px high, all at full strength.
    EXPECT_GT(shot.CountNear(0xFF0000, 8, 10, 10, 16, 50), 6 * 40 - 12);
    EXPECT_GT(shot.CountNear(0xFF0000, 8, 17, 10, 23, 50), 6 * 40 - 12);
    EXPECT_EQ(shot.CountNear(0xFF0000, 8, 0, 55, 120, 100), 0);
}

TEST_F(WindowPaint, StretchShowsTheFrameAFifthTaller) {
    ComposeBars();
    g_area = PaintArea{120, 100, true, 6};
    Open(120);
    rig::Pixels shot = rig::CaptureWindow(window);
    ASSERT_EQ(shot.height, 120);
    // The bars' rows 10 to 50 are shown from 12 to 60.
    EXPECT_GT(shot.CountNear(0xFF0000, 8, 10, 14, 16, 58), 6 * 44 - 12);
    EXPECT_EQ(shot.CountNear(0xFF0000, 8, 0, 63, 120, 120), 0);
}

} // namespace
