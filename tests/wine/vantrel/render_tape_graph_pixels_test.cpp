// Real GDI+ pixels of the heading tape and the history graph: the tape's ticks stand on the
// bottom edge where the degrees fall, its labels sit above them in the tape's colour and the hit
// rectangle holds them all; the graph's bars rise from the baseline, newest at the right.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>

#include "render/display_hooks_win.h"
#include "render/heading_tape.h"
#include "render/history_graph.h"
#include "render/skin_drawing.h"
#include "state/app_state.h"
#include "render_pixel_frame.h"

namespace {

constexpr gfx::Argb kBlack = 0xFF000000;
constexpr gfx::Argb kRed = 0xFFFF0000;

bool Reddish(gfx::Argb c) {
    return ((c >> 16) & 0xFF) > 0x60 && (c & 0xFFFF) == 0;
}

class TapePixels : public PixelFrame {
  protected:
    void SetUp() override {
        MakeFrame(PixelSize{240, 80}, true);
        display->graphics.Clear(kBlack);
        GaugeRecord& tape = KindRecord(app->skin, kKindHorizVantrel);
        tape.x = 10;
        tape.y = 20;
        tape.paramA = 210;
        tape.paramB = 40;
        tape.color = kRed;
        std::memset(tape.fontName, 0, sizeof tape.fontName);
        std::strcpy(tape.fontName, "Arial");
    }

    int CountReddish(int left, int top, int right, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (Reddish(Pixel(x, y))) ++count;
        return count;
    }
};

TEST_F(TapePixels, NorthTickAndLabelStandInTheMiddle) {
    DrawHeadingTape(*display, app->skin, 0);
    // "N" (0 degrees) at x = 10 + 104: a major tick from y 40 down to the bottom edge at 60.
    EXPECT_EQ(Pixel(114, 45), kRed);
    EXPECT_EQ(Pixel(114, 58), kRed);
    EXPECT_EQ(Pixel(114, 63), kBlack); // below the tape
    // 3 degrees (x = 120): a minor tick, only the lowest quarter.
    EXPECT_EQ(Pixel(120, 55), kRed);
    EXPECT_EQ(Pixel(120, 45), kBlack);
    // 1 and 2 degrees have no tick.
    EXPECT_EQ(Pixel(117, 55), kBlack);
    // The label "N" above the tick, centred on it.
    EXPECT_GT(CountReddish(104, 20, 125, 39), 20);
    EXPECT_EQ(CountReddish(104, 0, 125, 19), 0);
    // Everything the tape drew lies within its hit rectangle.
    const RectI32& hit = display->hitRects[kKindHorizVantrel];
    EXPECT_LT(hit.left, 10);
    EXPECT_GT(hit.right, 220);
    EXPECT_EQ(hit.top, 20);
    EXPECT_EQ(hit.bottom, 60);
    EXPECT_EQ(CountReddish(0, 0, 240, 20), 0);
    EXPECT_EQ(CountReddish(0, 61, 240, 80), 0);
    EXPECT_EQ(CountReddish(0, 0, hit.left, 80), 0);
    EXPECT_EQ(CountReddish(hit.right + 1, 0, 240, 80), 0);
}

TEST_F(TapePixels, GraphBarsRiseFromTheBaselineNewestAtTheRight) {
    GaugeRecord& graph = KindRecord(app->skin, kKindSpeedometer);
    graph.x = 20;
    graph.y = 10;
    graph.paramA = 100; // range
    graph.paramB = 10;  // samples
    graph.color = kRed;
    KindRecord(app->skin, kKindSpeed).paramB = 40; // graph height
    GaugeValues& values = display->values;
    values.historyIndex[kKindSpeedometer] = 3;
    values.history[kKindSpeedometer][2] = 100; // newest, at x = 29: full height
    values.history[kKindSpeedometer][1] = 50;  // x = 28: half
    values.history[kKindSpeedometer][0] = 0;   // x = 27: one pixel
    DrawHistoryGraph(*display, app->skin, kKindSpeedometer, true);

    EXPECT_TRUE(Reddish(Pixel(29, 12)));
    EXPECT_TRUE(Reddish(Pixel(29, 48)));
    EXPECT_FALSE(Reddish(Pixel(29, 7)));
    EXPECT_TRUE(Reddish(Pixel(28, 40)));
    EXPECT_FALSE(Reddish(Pixel(28, 25)));
    EXPECT_FALSE(Reddish(Pixel(27, 40)));
    EXPECT_FALSE(Reddish(Pixel(31, 40)));       // nothing right of the newest sample
    EXPECT_EQ(CountReddish(0, 51, 240, 80), 0); // nothing below the baseline
}

} // namespace
