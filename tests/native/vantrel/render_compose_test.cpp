// The frame composer on the recording backend: order of drawing, the texts of the dispatch
// table, the distance home and its beep, signal bars, clock hands, heading rose, the hand-over
// to the style renderers and the frame's invalidation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "render/compose.h"
#include "render/gauge_text.h"
#include "vantrel/render_fixture.h"

namespace {

class Composer : public RenderFixture {
  protected:
    // These tests read the whole frame's calls in order; the frame cache, which draws part of
    // them once on a surface of its own, has tests of its own.
    void SetUp() override {
        RenderFixture::SetUp();
        display->cache.enabled = false;
    }
    void ShowOnly(std::initializer_list<int> kinds) {
        app->skin.shownMask[0] = app->skin.shownMask[1] = 0;
        for (int kind : kinds)
            SetKindShown(app->skin, kind, true);
    }
    void Frame(int32_t heading = 0) {
        rec::Current().calls.clear();
        Compose(*display, *app, *nav, 320, 240, heading);
    }
    std::string TextOf(int kind, float value) {
        ShowOnly({kind});
        display->values.value[kind] = value;
        Frame();
        auto texts = DrawnTexts();
        return texts.empty() ? "<none>" : texts.back();
    }
    std::vector<rec::Call> Fills(const char* op) { return Recorded().Of(op); }
    GpsSnapshot& Gps() { return *nav->snapshot; }
};

TEST_F(Composer, DrawsBlackThenBackgroundThenGaugesInKindOrderAndTheRoseLast) {
    rec::AddImageFile("bg.png", 320, 240);
    display->images[kImageBackground] = gfx::Image::FromFile(u"bg.png");
    static std::vector<std::string> order;
    order.clear();
    display->renderers.circularView = [](GaugeDisplay&, AppState&, const NavState&, int32_t) {
        order.push_back("map@" + std::to_string(rec::Current().calls.size()));
    };
    ShowOnly({kKindVantrel, kKindCourse, kKindKnots, kKindSignal});
    Frame();
    auto drawing = Recorded().Drawing();
    ASSERT_GE(drawing.size(), 4u);
    EXPECT_EQ(drawing[0].op, "Clear");
    EXPECT_EQ(drawing[0].color, 0xFF000000u);
    EXPECT_EQ(drawing[1].op, "DrawImage");
    EXPECT_EQ(drawing[1].args,
              (std::vector<float>{0, 0, 320, 240, 0, 0, 320, 240, float(gfx::Unit::Pixel)}));
    // The map view comes right after the background (the calls so far: clear, image).
    ASSERT_EQ(order.size(), 1u);
    EXPECT_EQ(order[0], "map@2");
    // Course (0) text, Knots (3) text, then the 12 signal bars, then the rose needle.
    std::vector<std::string> ops;
    for (size_t i = 2; i < drawing.size(); ++i)
        ops.push_back(drawing[i].op);
    ASSERT_EQ(ops.size(), 2u + 12u + 2u);
    EXPECT_EQ(ops[0], "DrawString");
    EXPECT_EQ(ops[1], "DrawString");
    EXPECT_EQ(ops[2], "FillRectangle");
    EXPECT_EQ(ops[14], "FillPolygon");
    EXPECT_EQ(ops[15], "FillEllipse");
}

TEST_F(Composer, TextsOfTheNumberKinds) {
    struct Case {
        int kind;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {kKindCourse, 123.46f, "123.5"},         {kKindKnots, 5.0f, "  5.0"},
        {kKindAltitude, 328.1f, "328.1"},        {kKindSpeed, 11.51f, " 11.5"},
        {kKindObd2MafRate, 2.25f, "  2.2"},      {kKindObd2InManifPres, 29.9f, " 29.9"},
        {kKindObd2FuelPressure, 43.5f, " 43.5"}, {kKindObd2Volts, 13.8f, " 13.8"},
        {kKindOdometer, 1234.5f, "1234.50"},     {kKindObd2Mpg, 31.256f, "31.26"},
        {kKindObd2LtMpg, 8.0f, " 8.00"},         {kKindDepth, 12.5f, "12.50"},
        {kKindAvgSpeed, 0.0f, " 0.00"},          {kKindObd2Odometer, 12.3456f, "12.346"},
        {kKindObd2Trip, 0.5f, "0.500"},          {kKindObd2Speed, 88.9f, "  88"},
        {kKindObd2Rpm, 2500.75f, "2500"},        {kKindObd2ConstLoad, 35.3f, "  35"},
        {kKindObd2AirInTemp, -7.6f, "  -7"},     {kKindObd2ThrottlePos, 15.7f, "  15"},
        {kKindObd2CoolantTemp, 194.0f, " 194"},  {kKindObd2TimingAdv, 12.5f, " +12"},
        {kKindObd2Stft1, 0.0f, "   0"},          {kKindObd2Stft1, 3.9f, "  +3"},
        {kKindObd2Stft2, -0.4f, "   0"},         {kKindObd2Ltft1, 0.4f, "  +0"},
        {kKindObd2Ltft2, -6.25f, "  -6"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextOf(c.kind, c.value), c.text) << "kind " << c.kind;
}

TEST_F(Composer, CoordinateTextsFollowTheFormatParameter) {
    Gps().latitude = -33.5f;
    Gps().longitude = 11.25f;
    EXPECT_EQ(TextOf(kKindLatitude, 0), "S 33\xC2\xB0"
                                        "30'0.00\""); // UTF-8 of the recording
    Gps().latitude = 5.25f;
    EXPECT_EQ(TextOf(kKindLatitude, 0), "N  5\xC2\xB0"
                                        "15'0.00\"");
    Record(kKindLongitude).paramC = 3;
    EXPECT_EQ(TextOf(kKindLongitude, 0), "11.250");
    Record(kKindLongitude).paramC = 40;
    EXPECT_EQ(TextOf(kKindLongitude, 0), "11.250000000");
}

TEST_F(Composer, TimeDatesAndTripTexts) {
    fakes::Services().systemLocal = SystemTime16{2026, 12, 1, 7, 9, 5, 3, 0};
    ShowOnly({kKindTime, kKindShortDate, kKindLongDate, kKindTrip});
    nav->tripDistance = 12.345f;
    Frame();
    EXPECT_EQ(DrawnTexts(),
              (std::vector<std::string>{"09:05:03", "7.12.2026", "long 7/12/2026", "12.35"}));
    EXPECT_EQ(fakes::Services().lastUtc, nullptr); // no fix: the system clock
}

TEST_F(Composer, ClockWithoutImagesAt1345PointsTheHourHandAtOne) {
    Gps().fixValid = 1;
    Gps().utcTime = SystemTime16{2026, 12, 1, 7, 12, 45, 30, 0}; // local is one hour on
    ShowOnly({kKindClock});
    GaugeRecord& r = Record(kKindClock);
    r.x = 100;
    r.y = 120;
    r.paramB = 100; // size
    r.paramA = 10;  // width
    Frame();
    EXPECT_EQ(fakes::Services().lastUtc, &Gps().utcTime); // the fix's time
    auto needles = Fills("FillPolygon");
    ASSERT_EQ(needles.size(), 3u);
    auto direction = [](const rec::Call& c) { // degrees clockwise from up, of the tip
        double dx = c.points[0].x - 100, dy = c.points[0].y - 120;
        double deg = std::atan2(dx, -dy) * 180 / M_PI;
        return deg < 0 ? deg + 360 : deg;
    };
    auto length = [](const rec::Call& c) {
        return std::hypot(c.points[0].x - 100, c.points[0].y - 120);
    };
    // 0.62 degrees of offset on every needle.
    EXPECT_NEAR(direction(needles[0]), 30.62, 0.05); // hour: 13 h, minutes not added
    EXPECT_NEAR(length(needles[0]), 40, 1e-3);
    EXPECT_NEAR(direction(needles[1]), 270.62, 0.05); // 45 minutes
    EXPECT_NEAR(length(needles[1]), 50, 1e-3);
    EXPECT_NEAR(direction(needles[2]), 180.62, 0.05); // 30 seconds
    auto hubs = Fills("FillEllipse");
    ASSERT_EQ(hubs.size(), 3u);
    EXPECT_FLOAT_EQ(hubs[0].args[2], 2 * 7.0f); // half-widths 0.7, 0.6, 0.3 of the width
    EXPECT_FLOAT_EQ(hubs[1].args[2], 2 * 6.0f);
    EXPECT_FLOAT_EQ(hubs[2].args[2], 2 * 3.0f);
    const RectI32& hit = display->hitRects[kKindClock];
    EXPECT_EQ(hit.left, 50);
    EXPECT_EQ(hit.top, 70);
    EXPECT_EQ(hit.right, 150);
    EXPECT_EQ(hit.bottom, 170);
}

TEST_F(Composer, ClockImagesTurnByTheTimeAtTheSizeScale) {
    rec::AddImageFile("h.png", 10, 60);
    display->images[kImageHour] = gfx::Image::FromFile(u"h.png");
    display->images[kImageSecond] = gfx::Image::FromFile(u"h.png");
    fakes::Services().systemLocal = SystemTime16{2026, 1, 0, 1, 13, 45, 10, 0};
    ShowOnly({kKindClock});
    Record(kKindClock).paramB = 50;
    Frame();
    auto rotations = Recorded().Of("RotateTransform");
    ASSERT_EQ(rotations.size(), 2u);
    EXPECT_FLOAT_EQ(rotations[0].args[0], 30); // 13 h × 30 = 390, once round
    EXPECT_FLOAT_EQ(rotations[1].args[0], 60); // 10 s × 6
    auto images = Recorded().Of("DrawImage");
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].args[2], 5.0f);         // 10 px × 0.5
    EXPECT_EQ(Fills("FillPolygon").size(), 1u); // the minute hand has no image
}

TEST_F(Composer, HeadingRoseTurnsAgainstTheHeadingUnlessNorthIsFixed) {
    ShowOnly({kKindVantrel});
    GaugeRecord& r = Record(kKindVantrel);
    r.x = 60;
    r.y = 60;
    r.paramB = 38;
    r.paramA = 6;
    Frame(90); // fixed north off: turned to 270, the tip points left
    auto needle = Fills("FillPolygon").at(0);
    EXPECT_NEAR(needle.points[0].x, 60 - 38, 0.01);
    EXPECT_EQ(display->hitRects[kKindVantrel].left, 22);
    EXPECT_EQ(display->hitRects[kKindVantrel].bottom, 98);
    app->options |= kOptionFixedNorth;
    Frame(90);
    EXPECT_NEAR(Fills("FillPolygon").at(0).points[0].x, 60 + 38, 0.01);

    rec::AddImageFile("a.png", 100, 100);
    display->images[kImageArrow] = gfx::Image::FromFile(u"a.png");
    app->options = 0;
    Frame(90);
    EXPECT_FLOAT_EQ(Recorded().Of("RotateTransform").at(0).args[0], 270);
    EXPECT_EQ(display->hitRects[kKindVantrel].left, 60 - 60);
}

TEST_F(Composer, SignalBarsScaleToThePeakAndDimWeakSignals) {
    ShowOnly({kKindSignal});
    GaugeRecord& r = Record(kKindSignal);
    r.x = 10;
    r.y = 20;
    r.paramA = 0; // at least 2 pixels wide
    r.paramB = 15;
    r.color = 0xFF00FF00;
    const uint16_t snr[12] = {45, 20, 99, 50, 0, 30};
    for (int i = 0; i < 12; ++i)
        Gps().satellites[i].snr = snr[i];
    Frame();
    auto bars = Fills("FillRectangle");
    ASSERT_EQ(bars.size(), 12u);
    const float heights[6] = {15, 7, 31, 15, 1, 9};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(bars[i].args,
                  (std::vector<float>{float(10 + 3 * i), 20 + 15 - heights[i], 2, heights[i]}))
            << "bar " << i;
    }
    EXPECT_EQ(bars[0].color, 0xFF00FF00u);
    EXPECT_EQ(bars[1].color, 0xFF007F00u); // half bright, opaque
    EXPECT_EQ(bars[2].color, 0xFF00FF00u);
    EXPECT_EQ(bars[4].color, 0xFF007F00u);
    EXPECT_EQ(bars[5].color, 0xFF00FF00u); // 30 is strong
    EXPECT_EQ(display->signalPeak, 50);    // 99 never becomes the peak
    const RectI32& hit = display->hitRects[kKindSignal];
    EXPECT_EQ(hit.left, 10);
    EXPECT_EQ(hit.top, 20);
    EXPECT_EQ(hit.right, 10 + 12 * 3);
    EXPECT_EQ(hit.bottom, 35);
}

TEST_F(Composer, SignalBarsAtFullStrengthKeepTheirColour) {
    ShowOnly({kKindSignal});
    Record(kKindSignal).color = 0x80FF8040;
    for (auto& sat : Gps().satellites)
        sat.snr = 120;
    Frame();
    for (const auto& bar : Fills("FillRectangle"))
        EXPECT_EQ(bar.color, 0x80FF8040u);
    EXPECT_EQ(display->signalPeak, 45);
}

TEST_F(Composer, DistanceHomeBeepsOncePerArrival) {
    ShowOnly({kKindDistHome});
    app->options = kOptionMetric;
    app->home = LatLon{47.0f, -8.0f};
    Gps().latitude = 47.01f; // about 1.1 km north
    Gps().longitude = -8.0f;
    Frame();
    EXPECT_NEAR(display->values.value[kKindDistHome], 1.11, 0.01);
    EXPECT_EQ(fakes::Services().beeps, 0);
    Gps().latitude = 47.0f; // home
    Frame();
    EXPECT_EQ(DrawnTexts().back(), " 0.00");
    EXPECT_EQ(fakes::Services().beeps, 1);
    Frame();
    Frame();
    EXPECT_EQ(fakes::Services().beeps, 1); // staying home: no second beep
    Gps().latitude = 47.0002f;             // about 22 m: not far enough to re-arm
    Frame();
    Gps().latitude = 47.0f;
    Frame();
    EXPECT_EQ(fakes::Services().beeps, 1);
    Gps().latitude = 47.001f; // 111 m away re-arms
    Frame();
    Gps().latitude = 47.0f;
    Frame();
    EXPECT_EQ(fakes::Services().beeps, 2);
}

TEST_F(Composer, DistanceHomeIsCappedAndInMilesWithoutMetric) {
    ShowOnly({kKindDistHome});
    app->home = LatLon{47.0f, -8.0f};
    Gps().latitude = 10.0f;
    Gps().longitude = 70.0f;
    Frame();
    EXPECT_EQ(DrawnTexts().back(), "999.90");
    EXPECT_FLOAT_EQ(display->values.value[kKindDistHome], 999.9f);
    Gps().latitude = 47.01f;
    Gps().longitude = -8.0f;
    Frame();
    EXPECT_NEAR(display->values.value[kKindDistHome], 0.6 * 1.151, 0.01); // statute miles
}

TEST_F(Composer, DistanceHomeAtHomeIsNearZeroNotNaN) {
    ShowOnly({kKindDistHome});
    for (float lat : {47.123f, 0.001f, 89.9f, -33.3f}) {
        app->home = LatLon{lat, 122.77f};
        Gps().latitude = lat;
        Gps().longitude = 122.77f;
        Frame();
        float d = display->values.value[kKindDistHome];
        EXPECT_TRUE(d >= 0 && d < 0.001f) << lat << ": " << d;
    }
}

TEST_F(Composer, AnalogKindsGoToTheirStyleRenderer) {
    static std::vector<std::pair<char, StyledGauge>> seen;
    seen.clear();
    display->renderers.dial = [](GaugeDisplay&, SkinRecord&, const StyledGauge& g) {
        seen.push_back({'d', g});
    };
    display->renderers.linear = [](GaugeDisplay&, SkinRecord&, const StyledGauge& g) {
        seen.push_back({'l', g});
    };
    display->renderers.historyGraph = [](GaugeDisplay&, SkinRecord&, const StyledGauge& g) {
        seen.push_back({'g', g});
    };
    ShowOnly({kKindObd2RpmGauge, kKindObd2AitGauge, kKindObd2Stft1Gauge, kKindSpeedometer,
              kKindDepthGauge});
    Record(kKindObd2Rpm).paramC = 200; // the centre direction comes from the kind before
    Record(kKindObd2RpmGauge).paramD = 8;
    display->values.needleValue[kKindObd2RpmGauge] = 3000;
    Record(kKindObd2AitGauge).paramD = 5;
    Record(kKindObd2AitGauge).paramC = 40;
    display->values.needleValue[kKindObd2AitGauge] = 55;
    Record(kKindObd2Stft1Gauge).paramD = 12;
    Record(kKindSpeedometer).paramD = 13; // no style: nothing drawn
    Record(kKindDepthGauge).paramD = 10;
    Frame();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].first, 'd');
    EXPECT_EQ(seen[0].second.kind, kKindObd2RpmGauge);
    EXPECT_FLOAT_EQ(seen[0].second.value, 30);
    EXPECT_EQ(seen[0].second.defaultHalfSweep, 120);
    EXPECT_EQ(seen[0].second.centreDirection, 200);
    EXPECT_EQ(seen[1].first, 'l');
    EXPECT_FLOAT_EQ(seen[1].second.startValue, 40);
    EXPECT_EQ(seen[1].second.defaultHalfSweep, 60);
    EXPECT_FALSE(seen[1].second.signedScale);
    EXPECT_EQ(seen[2].first, 'g');
    EXPECT_TRUE(seen[2].second.signedScale);
    EXPECT_FLOAT_EQ(seen[2].second.startValue, 0);
    EXPECT_EQ(seen[3].first, 'l');
    EXPECT_EQ(seen[3].second.kind, kKindDepthGauge);
    EXPECT_EQ(display->hitRects[kKindSpeedometer].right, 0);
}

TEST_F(Composer, StylesByType) {
    for (uint16_t t : {0, 1, 2, 3, 8})
        EXPECT_EQ(GaugeStyleOf(t), GaugeStyle::Dial) << t;
    for (uint16_t t : {4, 5, 6, 7, 9, 10})
        EXPECT_EQ(GaugeStyleOf(t), GaugeStyle::Linear) << t;
    for (uint16_t t : {11, 12})
        EXPECT_EQ(GaugeStyleOf(t), GaugeStyle::HistoryGraph) << t;
    for (uint16_t t : {13, 55, 65535})
        EXPECT_EQ(GaugeStyleOf(t), GaugeStyle::None) << t;
}

TEST_F(Composer, FrameEndInvalidatesChangedDrawnKindsOrTheWholeWindow) {
    static std::vector<int32_t> edited;
    edited.clear();
    display->renderers.editStep = [](GaugeDisplay&, int32_t kind) { edited.push_back(kind); };
    ShowOnly({kKindCourse, kKindKnots, kKindAltitude});
    display->values.changedMask[0] = (1u << kKindKnots) | (1u << kKindTrip);
    display->fullRepaint = true;
    Frame();
    EXPECT_EQ(fakes::Services().wholeWindowInvalidations, 1);
    EXPECT_TRUE(fakes::Services().invalidated.empty());
    EXPECT_FALSE(display->fullRepaint);
    EXPECT_TRUE(edited.empty()); // no editing overlay on a full repaint

    Frame();
    EXPECT_EQ(fakes::Services().wholeWindowInvalidations, 1);
    ASSERT_EQ(fakes::Services().invalidated.size(), 1u); // Trip changed but was not drawn
    // At least the hit rectangle widened on both sides by a sixth of its height, plus one
    // pixel, and everything the text may have inked.
    const RectI32& rect = fakes::Services().invalidated[0];
    const RectI32& hit = display->hitRects[kKindKnots];
    const int32_t margin = (hit.bottom - hit.top) / 6 + 1;
    EXPECT_LE(rect.left, hit.left - margin);
    EXPECT_GE(rect.right, hit.right + margin);
    EXPECT_LE(rect.top, hit.top);
    EXPECT_GE(rect.bottom, hit.bottom);
    const RectI32& ink = display->inkAreas[kKindKnots];
    EXPECT_TRUE(rect.left <= ink.left && rect.top <= ink.top && rect.right >= ink.right &&
                rect.bottom >= ink.bottom);
    EXPECT_EQ(edited, (std::vector<int32_t>{kKindCourse, kKindKnots, kKindAltitude}));

    FinishFrame(*display, true);
    EXPECT_EQ(fakes::Services().wholeWindowInvalidations, 2);
}

TEST_F(Composer, AnyFloatInTheFeedsDrawsBoundedTexts) {
    const float nasty[] = {std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(), 1e38f, -1e38f};
    app->skin.shownMask[0] = 0xFFFFFFFF;
    app->skin.shownMask[1] = 0xFFFFFFFF;
    Record(kKindLatitude).paramC = 9;
    for (float v : nasty) {
        for (int kind = 0; kind < kGaugeKindCount; ++kind) {
            display->values.value[kind] = v;
            display->values.needleValue[kind] = v;
        }
        Gps().latitude = v;
        Gps().longitude = v;
        nav->tripDistance = v;
        app->home = LatLon{v, v};
        Frame(359);
        for (const auto& call : Recorded().Of("DrawString"))
            EXPECT_LT(call.text.size(), kGaugeTextSize);
        EXPECT_GE(DrawnTexts().size(), 30u);
    }
}

TEST_F(Composer, ShownBitsAboveTheLastKindDrawNothing) {
    ShowOnly({});
    app->skin.shownMask[1] = 0xF8000000; // kinds 59 to 63
    Frame();
    EXPECT_EQ(Recorded().Drawing().size(), 1u); // the black clear only
}

TEST_F(Composer, GdiplusLivesAsLongAsTheDisplayAndNothingLeaks) {
    int before = rec::LiveObjects();
    EXPECT_EQ(rec::Current().startups, 1);
    ShowOnly({kKindCourse, kKindSignal, kKindClock, kKindVantrel});
    Frame();
    display->images[kImageArrow] = gfx::Image();
    EXPECT_EQ(rec::LiveObjects(), before + 1); // the Course font stays cached
    ResetForSkin(*display, app->skin);
    EXPECT_EQ(rec::LiveObjects(), before);
    display.reset();
    EXPECT_EQ(rec::Current().shutdowns, 1);
    EXPECT_EQ(rec::LiveObjects(), 0);
}

} // namespace
