// The history graph on the recording backend: the line and bar forms, unsigned and signed
// scales, the ring's wrap, the engine-speed factor, the hit rectangle and the samples a broken
// feed can leave in the ring.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "render/compose.h"
#include "render/history_graph.h"
#include "render/renderer_table.h"
#include "vantrel/render_fixture.h"

namespace {

constexpr gfx::Argb kGreen = 0xFF00FF00;

class HistoryGraph : public RenderFixture {
  protected:
    // A graph of `samples` points at (10, 20), graph height `height`, range `range`.
    void Setup(int kind, uint16_t samples, uint16_t height, uint16_t range) {
        GaugeRecord& own = Record(kind);
        own.x = 10;
        own.y = 20;
        own.paramB = samples;
        own.paramA = range;
        own.color = kGreen;
        Record(kind - 1).paramB = height;
    }
    // Writes the samples newest first, ending just before historyIndex `next`.
    void Newest(int kind, int32_t next, std::vector<float> newestFirst) {
        display->values.historyIndex[kind] = next;
        for (size_t j = 0; j < newestFirst.size(); ++j) {
            int slot = (next - 1 - int(j) + kHistorySamples) % kHistorySamples;
            display->values.history[kind][slot] = newestFirst[j];
        }
    }
    // The bars, one per run of the one call that draws them all.
    std::vector<rec::Call> Bars() {
        EXPECT_LE(Recorded().Of("DrawLineRuns").size(), 1u);
        return Recorded().Runs();
    }
    // The end points' y of the recorded bars, newest first, after checking their x and base.
    std::vector<float> BarTops(float base, float right) {
        std::vector<float> tops;
        auto lines = Bars();
        for (size_t j = 0; j < lines.size(); ++j) {
            const auto& line = lines[j];
            EXPECT_EQ(line.color, kGreen);
            EXPECT_FLOAT_EQ(line.penWidth, 1.0f);
            EXPECT_FLOAT_EQ(line.points[0].x, right - float(j));
            EXPECT_FLOAT_EQ(line.points[0].y, base);
            EXPECT_FLOAT_EQ(line.points[1].x, right - float(j));
            tops.push_back(line.points[1].y);
        }
        return tops;
    }
    std::vector<gfx::PointF> Polyline() {
        auto lines = Recorded().Of("DrawLines");
        EXPECT_EQ(lines.size(), 1u);
        return lines.empty() ? std::vector<gfx::PointF>{} : lines[0].points;
    }
};

TEST_F(HistoryGraph, EmptyLineGraphLiesOnTheBaselineAndLeavesTheOldestPointUnjoined) {
    Setup(kKindSpeedometer, 5, 40, 100);
    DrawHistoryGraph(*display, app->skin, kKindSpeedometer, false);
    auto points = Polyline();
    ASSERT_EQ(points.size(), 4u); // five samples, four joined
    for (size_t j = 0; j < points.size(); ++j) {
        EXPECT_FLOAT_EQ(points[j].x, 14 - float(j)); // newest at the right edge
        EXPECT_FLOAT_EQ(points[j].y, 60);
    }
    EXPECT_EQ(Recorded().Of("DrawLines")[0].color, kGreen);
    const RectI32& hit = display->hitRects[kKindSpeedometer];
    EXPECT_EQ(hit.left, 10);
    EXPECT_EQ(hit.top, 20);
    EXPECT_EQ(hit.right, 15);
    EXPECT_EQ(hit.bottom, 61);
    // The depth kinds are marked so the frame's end repaints them.
    EXPECT_TRUE(KindChanged(display->values, kKindDepth));
    EXPECT_TRUE(KindChanged(display->values, kKindDepthGauge));
    EXPECT_FALSE(KindChanged(display->values, kKindSpeedometer));
}

TEST_F(HistoryGraph, UnsignedBarsAreLimitedToOnePixelAndTheFullHeightAcrossTheRingWrap) {
    Setup(kKindSpeedometer, 6, 40, 100);
    // historyIndex 0: the newest sample is in slot 511.
    Newest(kKindSpeedometer, 0, {50, 250, -10, 0, 100, 2.5f});
    EXPECT_EQ(display->values.history[kKindSpeedometer][511], 50);
    DrawHistoryGraph(*display, app->skin, kKindSpeedometer, true);
    auto tops = BarTops(60, 15);
    EXPECT_EQ(tops, (std::vector<float>{40, 20, 59, 59, 20, 59}));
}

TEST_F(HistoryGraph, LineGraphFollowsTheSamples) {
    Setup(kKindSpeedometer, 4, 40, 100);
    Newest(kKindSpeedometer, 7, {25, 250, -5, 10});
    DrawHistoryGraph(*display, app->skin, kKindSpeedometer, false);
    auto points = Polyline();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_FLOAT_EQ(points[0].y, 50); // 25 of 100 on 40 pixels
    EXPECT_FLOAT_EQ(points[1].y, 20); // above range: full height
    EXPECT_FLOAT_EQ(points[2].y, 60); // negative: on the baseline
}

TEST_F(HistoryGraph, SignedGraphsSwingAboutTheMiddleLine) {
    // "OBD2 STFT1 Gauge": height 30 from "OBD2 STFT1", so the middle line is at 20 + 15.
    Setup(kKindObd2Stft1Gauge, 5, 30, 25);
    Newest(kKindObd2Stft1Gauge, 100, {0, 50, -10, -100, 5});
    DrawHistoryGraph(*display, app->skin, kKindObd2Stft1Gauge, true);
    // A zero sample is a one-pixel mark below the middle; the others are limited to +-15.
    EXPECT_EQ(BarTops(35, 14), (std::vector<float>{36, 20, 41, 50, 32}));

    rec::Current().calls.clear();
    Newest(kKindObd2Stft1Gauge, 100, {0, 0, 0, 0, 0});
    DrawHistoryGraph(*display, app->skin, kKindObd2Stft1Gauge, false);
    for (const auto& point : Polyline())
        EXPECT_FLOAT_EQ(point.y, 35);

    // The timing advance is signed too; an odd height puts the middle line on a half pixel.
    rec::Current().calls.clear();
    Setup(kKindObd2TAdvGauge, 3, 31, 10);
    DrawHistoryGraph(*display, app->skin, kKindObd2TAdvGauge, false);
    for (const auto& point : Polyline())
        EXPECT_FLOAT_EQ(point.y, 35.5f);
    EXPECT_EQ(display->hitRects[kKindObd2TAdvGauge].bottom, 52);
}

TEST_F(HistoryGraph, EngineSpeedIsScaledByOneTwentieth) {
    Setup(kKindObd2RpmGauge, 3, 40, 100);
    Newest(kKindObd2RpmGauge, 3, {2000, 1000, 0});
    DrawHistoryGraph(*display, app->skin, kKindObd2RpmGauge, true);
    EXPECT_EQ(BarTops(60, 12), (std::vector<float>{20, 40, 59}));
}

TEST_F(HistoryGraph, BrokenSamplesAndSizesDrawInsideTheGraph) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Setup(kKindSpeedometer, 6, 40, 100);
    Newest(kKindSpeedometer, 6, {nan, inf, -inf, 1e38f, -1e38f, 50});
    DrawHistoryGraph(*display, app->skin, kKindSpeedometer, true);
    EXPECT_EQ(BarTops(60, 15), (std::vector<float>{59, 20, 59, 20, 59, 40}));

    // A range of 0 gives no deflection.
    rec::Current().calls.clear();
    Record(kKindSpeedometer).paramA = 0;
    DrawHistoryGraph(*display, app->skin, kKindSpeedometer, false);
    for (const auto& point : Polyline())
        EXPECT_FLOAT_EQ(point.y, 60);

    // Infinity on a graph of height 0 stays on the baseline.
    GraphScale flat = GraphScaleOf(app->skin, kKindObd2Stft1Gauge, false);
    flat.height = 0;
    flat.range = 10;
    EXPECT_EQ(GraphSampleHeight(flat, inf), 0.0f);
}

TEST_F(HistoryGraph, SizeAbove512ShowsTheWholeRingAndTinySizesDrawNoLine) {
    Setup(kKindSpeedometer, 4000, 40, 100);
    DrawHistoryGraph(*display, app->skin, kKindSpeedometer, false);
    EXPECT_EQ(Polyline().size(), 511u);
    EXPECT_EQ(display->hitRects[kKindSpeedometer].right, 10 + 512);

    rec::Current().calls.clear();
    DrawHistoryGraph(*display, app->skin, kKindSpeedometer, true);
    EXPECT_EQ(Bars().size(), 512u);

    for (uint16_t samples : {0, 1, 2}) {
        rec::Current().calls.clear();
        Setup(kKindSpeedometer, samples, 40, 100);
        DrawHistoryGraph(*display, app->skin, kKindSpeedometer, false);
        EXPECT_TRUE(Recorded().Drawing().empty()) << samples;
        EXPECT_EQ(display->hitRects[kKindSpeedometer].right, 10 + samples);
        EXPECT_EQ(display->hitRects[kKindSpeedometer].bottom, 61);
    }
    // A bad ring position never reads outside the ring.
    Setup(kKindSpeedometer, 3, 40, 100);
    rec::Current().calls.clear();
    display->values.historyIndex[kKindSpeedometer] = -7000;
    DrawHistoryGraph(*display, app->skin, kKindSpeedometer, true);
    EXPECT_EQ(Bars().size(), 3u);
}

TEST_F(HistoryGraph, TheComposerDrawsStyles11And12ThroughTheRendererTable) {
    InstallGaugeRenderers(display->renderers);
    app->skin.shownMask[0] = app->skin.shownMask[1] = 0;
    SetKindShown(app->skin, kKindObd2ClvGauge, true);
    Setup(kKindObd2ClvGauge, 8, 40, 100);
    Record(kKindObd2ClvGauge).paramD = 11;
    Compose(*display, *app, *nav, 320, 240, 0);
    EXPECT_EQ(Polyline().size(), 7u);

    rec::Current().calls.clear();
    Record(kKindObd2ClvGauge).paramD = 12;
    Compose(*display, *app, *nav, 320, 240, 0);
    EXPECT_EQ(Bars().size(), 8u);
    EXPECT_TRUE(Recorded().Of("DrawLines").empty());
}

} // namespace
