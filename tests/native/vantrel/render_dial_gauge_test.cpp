// The dial on the recording backend: scale arc, tick ends, numbers and their boxes, the needle's
// corners and image, the arc bar, hit rectangles, and values the feeds may garble.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "render/dial_gauge.h"
#include "render/primitives.h"
#include "vantrel/render_fixture.h"

namespace {

constexpr float kPi = 3.1415927f;
constexpr gfx::Argb kScaleColor = 0xFF20C040;
constexpr gfx::Argb kNeedleColor = 0xFFFF2000;

gfx::PointF At(float cx, float cy, float angle, float distance) {
    float t = angle * kPi / 180 - 1.56f;
    return {cx + distance * std::cos(t), cy + distance * std::sin(t)};
}

class Dial : public RenderFixture {
  protected:
    // The default "Speedometer": 145 pixels, range 155, companion Angle 0 and Sweep 0.
    void SetUp() override {
        RenderFixture::SetUp();
        Speedometer(kKindSpeedometer);
        Record(kKindNeedleColor).color = kNeedleColor;
    }
    void Speedometer(int kind) {
        GaugeRecord& r = Record(kind);
        std::strcpy(r.fontName, "Arial");
        r.paramB = 145;
        r.paramA = 155;
        r.paramC = 0;
        r.paramD = 0;
        r.x = 10;
        r.y = 20;
        r.color = kScaleColor;
        Record(kind - 1).paramC = 0;
        Record(kind - 1).paramD = 0;
    }
    void Draw(uint16_t style, float value, int kind = kKindSpeedometer, int32_t halfSweep = 120,
              bool signedScale = false, float start = 0) {
        rec::Current().calls.clear();
        Record(kind).paramD = style;
        StyledGauge g;
        g.kind = kind;
        g.value = value;
        g.defaultHalfSweep = halfSweep;
        g.signedScale = signedScale;
        g.startValue = start;
        g.style = style;
        g.centreDirection = Record(kind - 1).paramC;
        DrawDialStyle(*display, app->skin, g);
    }
    std::vector<rec::Call> Of(const char* op) { return Recorded().Of(op); }
};

void ExpectPoint(gfx::PointF actual, gfx::PointF expected, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, 1e-3) << what;
    EXPECT_NEAR(actual.y, expected.y, 1e-3) << what;
}

TEST_F(Dial, DefaultSpeedometerScaleArcTicksAndNumbers) {
    int live = rec::LiveObjects();
    Draw(0, 0);
    auto arcs = Of("DrawArc");
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_EQ(arcs[0].args, (std::vector<float>{10, 20, 145, 145, -210, 242}));
    EXPECT_EQ(arcs[0].color, kScaleColor);
    EXPECT_FLOAT_EQ(arcs[0].penWidth, 2.0f);

    // 31 steps of 240/31 degrees: a tick on every step, long ones on the even steps.
    auto ticks = Recorded().Runs();
    ASSERT_EQ(ticks.size(), 32u);
    const float cx = 82, cy = 92, r = 72, k = 240.0f / 31;
    for (int i = 0; i < 32; ++i) {
        float angle = -120 + i * k;
        ExpectPoint(ticks[i].points[0], At(cx, cy, angle, r), "rim");
        ExpectPoint(ticks[i].points[1], At(cx, cy, angle, (i % 2 ? 0.92f : 0.85f) * r), "inner");
    }

    EXPECT_EQ(DrawnTexts(),
              (std::vector<std::string>{"20", "40", "60", "80", "100", "120", "140"}));
    auto strings = Of("DrawString");
    auto measured = Of("MeasureString");
    ASSERT_EQ(measured.size(), 7u);
    const float em = 145 * 0.06666667f;
    for (size_t n = 0; n < strings.size(); ++n) {
        EXPECT_EQ(rec::Narrow(strings[n].fontFamily), "Arial");
        EXPECT_FLOAT_EQ(strings[n].fontSize, em);
        EXPECT_EQ(strings[n].fontUnit, int(gfx::Unit::Point));
        EXPECT_EQ(strings[n].color, kScaleColor);
        // Measured in a box without size: a box one em (in points) high is lower than the
        // line in pixels, and GDI+ under Wine measures such a box 0 high, hanging the number a
        // line below its point.
        EXPECT_FLOAT_EQ(measured[n].args[2], 0);
        EXPECT_FLOAT_EQ(measured[n].args[3], 0);
        // Centred over the anchor at 0.7 of the radius, its whole line standing on it.
        gfx::RectF box = rec::MeasureText(strings[n].text, em, gfx::Unit::Point);
        gfx::PointF anchor = At(cx, cy, -120 + 4 * (n + 1) * k, 0.7f * r);
        EXPECT_NEAR(strings[n].args[0], anchor.x - box.width / 2, 1e-3);
        EXPECT_NEAR(strings[n].args[1], anchor.y - box.height, 1e-3);
    }
    EXPECT_EQ(display->hitRects[kKindSpeedometer].left, 10);
    EXPECT_EQ(display->hitRects[kKindSpeedometer].top, 20);
    EXPECT_EQ(display->hitRects[kKindSpeedometer].right, 155);
    EXPECT_EQ(display->hitRects[kKindSpeedometer].bottom, 165);
    EXPECT_EQ(rec::LiveObjects(), live + 1); // pen and brush released, the font kept
    // The next frame uses the kept font; a new size or name makes a new one in its place.
    Draw(0, 0);
    EXPECT_EQ(rec::LiveObjects(), live + 1);
    EXPECT_EQ(Of("DrawString")[0].fontSize, em);
    Record(kKindSpeedometer).paramB = 150;
    Draw(0, 0);
    EXPECT_EQ(rec::LiveObjects(), live + 1);
    EXPECT_FLOAT_EQ(Of("DrawString")[0].fontSize, 150 * 0.06666667f);
    std::strcpy(Record(kKindSpeedometer).fontName, "Tahoma");
    Draw(0, 0);
    EXPECT_EQ(rec::Narrow(Of("DrawString")[0].fontFamily), "Tahoma");
}

TEST_F(Dial, StepsAndSpacingOfTheDefaultSpeedometer) {
    DialArgs args;
    args.kind = kKindSpeedometer;
    args.halfSweep = 120;
    DialGeometry dial = DialGeometryOf(app->skin, args);
    EXPECT_EQ(dial.h, 72);
    EXPECT_EQ(dial.firstAngle, -120);
    EXPECT_EQ(dial.lastAngle, 120);
    EXPECT_FALSE(dial.reversed);
    DialSteps steps = DialStepsOf(Record(kKindSpeedometer), dial, args);
    EXPECT_EQ(steps.stepsToTop, 31);
    EXPECT_EQ(steps.firstStep, 0);
    EXPECT_NEAR(steps.stepAngle, 7.742f, 1e-3);
    EXPECT_EQ(steps.tickInterval, 1);
    EXPECT_EQ(steps.numberInterval, 4);
    // A zero companion sweep takes the caller's default; an OBD-II dial's is 120 degrees.
    args.halfSweep = 60;
    EXPECT_EQ(DialGeometryOf(app->skin, args).firstAngle, -60);
    Record(kKindSpeed).paramD = 200;
    EXPECT_EQ(DialGeometryOf(app->skin, args).halfSweep, 100);
}

TEST_F(Dial, PolygonNeedleFollowsTheValue) {
    struct Case {
        float value;
        float angle;
    };
    // 77.5 is half of the 155 range: twelve o'clock. Below the start holds at the first
    // angle; past the range the needle goes on past the end of the scale.
    for (Case c : {Case{77.5f, 0}, Case{0, 240}, Case{-50, 240}, Case{155, 120}, Case{186, 168}}) {
        Draw(0, c.value);
        auto polygons = Of("FillPolygon");
        ASSERT_EQ(polygons.size(), 1u) << c.value;
        NeedleTriangle n = PolygonNeedleCorners(82, 92, 72.5f, 72.5f * 0.071428575f, c.angle, 180);
        ExpectPoint(polygons[0].points[0], n.tip, "tip");
        ExpectPoint(polygons[0].points[1], n.base1, "base 1");
        ExpectPoint(polygons[0].points[2], n.base2, "base 2");
        EXPECT_EQ(polygons[0].color, kNeedleColor);
        EXPECT_EQ(polygons[0].fillMode, int(gfx::FillMode::Alternate));
        auto hubs = Of("FillEllipse");
        ASSERT_EQ(hubs.size(), 1u);
        float hub = 72.5f * 0.071428575f;
        EXPECT_EQ(hubs[0].args, (std::vector<float>{82 - hub, 92 - hub, 2 * hub, 2 * hub}));
    }
}

TEST_F(Dial, ACentreOnTheRightReversesNumbersAndNeedle) {
    Record(kKindSpeed).paramC = 90;
    Record(kKindSpeed).paramD = 240;
    Draw(0, 0);
    // Numbers count down clockwise: the full-scale 155 at step 0 is not labelled.
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"135", "115", "95", "75", "55", "35", "15"}));
    // Value 0 points at the last angle, 210 degrees.
    NeedleTriangle n = PolygonNeedleCorners(82, 92, 72.5f, 72.5f * 0.071428575f, 210, 180);
    ExpectPoint(Of("FillPolygon")[0].points[0], n.tip, "tip at 0");
    Draw(0, 155); // full scale: -30, turned into 330
    n = PolygonNeedleCorners(82, 92, 72.5f, 72.5f * 0.071428575f, 330, 180);
    ExpectPoint(Of("FillPolygon")[0].points[0], n.tip, "tip at 155");
}

TEST_F(Dial, StartValueLabelsTheFirstStep) {
    Speedometer(kKindObd2MpgGauge);
    Record(kKindObd2MpgGauge).paramA = 180;
    Draw(0, 100, kKindObd2MpgGauge, 60, false, 100);
    auto texts = DrawnTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "100");
}

TEST_F(Dial, SignedScaleNumbersAndCentredNeedle) {
    Speedometer(kKindObd2Stft1Gauge);
    Record(kKindObd2Stft1Gauge).paramA = 20;
    Draw(0, 0, kKindObd2Stft1Gauge, 60, true);
    EXPECT_EQ(Recorded().Runs().size(), 9u); // steps -4 to +4
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"-20", "-10", "0", "+10", "+20"}));
    NeedleTriangle n = PolygonNeedleCorners(82, 92, 72.5f, 72.5f * 0.071428575f, 0, 180);
    ExpectPoint(Of("FillPolygon")[0].points[0], n.tip, "value 0 at the centre");
    Draw(0, 20, kKindObd2Stft1Gauge, 60, true);
    n = PolygonNeedleCorners(82, 92, 72.5f, 72.5f * 0.071428575f, 60, 180);
    ExpectPoint(Of("FillPolygon")[0].points[0], n.tip, "full scale at the last angle");
}

TEST_F(Dial, ArcBarStartsAtTheScaleEndAndSweepsWithTheValue) {
    const float w = 2 * 145 * 0.04f;
    auto bar = [&](float value) {
        Draw(2, value);
        auto arcs = Of("DrawArc");
        EXPECT_EQ(arcs.size(), 2u); // scale arc, then the bar
        EXPECT_EQ(arcs.back().color, kNeedleColor);
        EXPECT_FLOAT_EQ(arcs.back().penWidth, w);
        EXPECT_FLOAT_EQ(arcs.back().args[0], 10 + w / 2);
        EXPECT_FLOAT_EQ(arcs.back().args[2], 145 - w);
        return std::make_pair(arcs.back().args[4], arcs.back().args[5]);
    };
    EXPECT_EQ(bar(77.5f), std::make_pair(-210.0f, 120.0f));
    EXPECT_EQ(bar(-20), std::make_pair(-210.0f, 1.0f)); // at least a degree
    EXPECT_TRUE(Of("FillPolygon").empty());
    // Reversed: from the last angle counter-clockwise.
    Record(kKindSpeed).paramC = 90;
    EXPECT_EQ(bar(0), std::make_pair(120.0f, -1.0f));
    EXPECT_EQ(bar(77.5f), std::make_pair(120.0f, -120.0f));
    // Signed: from the centre, not further back than half the sweep.
    Speedometer(kKindObd2Stft1Gauge);
    Record(kKindObd2Stft1Gauge).paramA = 20;
    Draw(3, -10, kKindObd2Stft1Gauge, 60, true);
    ASSERT_EQ(Of("DrawArc").size(), 1u); // style 3: no scale
    EXPECT_FLOAT_EQ(Of("DrawArc")[0].args[4], -90);
    EXPECT_FLOAT_EQ(Of("DrawArc")[0].args[5], -30);
    Draw(3, -100, kKindObd2Stft1Gauge, 60, true);
    EXPECT_FLOAT_EQ(Of("DrawArc")[0].args[5], -60);
}

TEST_F(Dial, NeedleImagesAndTheirHitRectangle) {
    rec::AddImageFile("Needle.png", 10, 40);
    rec::AddImageFile("Needle2.png", 12, 60);
    display->images[kImageNeedle] = gfx::Image::FromFile(u"Needle.png");
    display->images[kImageNeedle2] = gfx::Image::FromFile(u"Needle2.png");
    Speedometer(kKindObd2RpmGauge);
    Speedometer(kKindObd2MafGauge);
    Draw(1, 77.5f, kKindObd2RpmGauge);
    auto images = Of("DrawImage");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].image, rec::ImageId(display->images[kImageNeedle])); // kind 27: Needle
    float s = 144.0f / 40;
    EXPECT_EQ(images[0].args, (std::vector<float>{-5 * s, -20 * s, 10 * s, 40 * s, 0, 0, 10, 40,
                                                  float(gfx::Unit::Pixel)}));
    gfx::PointF pivot = images[0].transform.Map({0, 0});
    EXPECT_FLOAT_EQ(pivot.x, 82);
    EXPECT_FLOAT_EQ(pivot.y, 92);
    EXPECT_EQ(display->hitRects[kKindObd2RpmGauge].left, 82 - 30);
    EXPECT_EQ(display->hitRects[kKindObd2RpmGauge].bottom, 92 + 30);
    EXPECT_TRUE(Of("DrawArc").empty()); // style 1: needle only

    Draw(1, 0, kKindObd2MafGauge, 60);
    ASSERT_EQ(Of("DrawImage").size(), 1u);
    EXPECT_EQ(Of("DrawImage")[0].image, rec::ImageId(display->images[kImageNeedle2]));
    EXPECT_EQ(display->hitRects[kKindObd2MafGauge].right, 82 + 40);
}

TEST_F(Dial, SizeZeroDrawsNothingAndStyleOneStillSetsTheSquare) {
    display->hitRects[kKindSpeedometer] = {1, 2, 3, 4};
    Record(kKindSpeedometer).paramB = 0;
    Draw(0, 50);
    EXPECT_TRUE(Recorded().Drawing().empty());
    EXPECT_EQ(display->hitRects[kKindSpeedometer].right, 3);

    Record(kKindSpeedometer).paramB = 145;
    Draw(3, 50);
    EXPECT_TRUE(Recorded().Runs().empty());
    EXPECT_TRUE(Of("DrawString").empty());
    EXPECT_EQ(display->hitRects[kKindSpeedometer].right, 155);
    Draw(13, 50); // no dial style
    EXPECT_TRUE(Recorded().Drawing().empty());
}

TEST_F(Dial, TurningScaleFollowsTheValueWithoutIndicator) {
    Record(kKindSpeed).paramC = 10;
    Draw(8, 100); // centre 10 + trunc(100 - 77) = 33, reversed numbering
    auto arcs = Of("DrawArc");
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_FLOAT_EQ(arcs[0].args[4], 33 - 120 - 90);
    EXPECT_TRUE(Of("FillPolygon").empty());
    EXPECT_EQ(DrawnTexts().front(), "135");
    EXPECT_EQ(display->hitRects[kKindSpeedometer].right, 155);
}

TEST_F(Dial, EmptyFontNameBecomesArialInTheRecord) {
    Record(kKindSpeedometer).fontName[0] = '\0';
    Draw(0, 0);
    EXPECT_STREQ(Record(kKindSpeedometer).fontName, "Arial");
    std::strcpy(Record(kKindSpeedometer).fontName, "No Such Font");
    Draw(0, 0);
    ASSERT_FALSE(Of("DrawString").empty());
    EXPECT_EQ(rec::Narrow(Of("DrawString")[0].fontFamily), "Microsoft Sans Serif");
}

TEST_F(Dial, GarbledValuesDrawAFiniteDialAndEnd) {
    const float garbage[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(), 1e38f, -1e38f};
    for (uint16_t style : {0, 1, 2, 3, 8}) {
        for (float value : garbage) {
            Draw(style, value);
            for (const auto& call : Recorded().Drawing()) {
                for (float a : call.args)
                    EXPECT_TRUE(std::isfinite(a)) << call.op << " style " << style;
                for (auto p : call.points)
                    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << call.op;
                EXPECT_TRUE(std::isfinite(call.transform.m11) && std::isfinite(call.transform.dx));
            }
            for (const auto& arc : Of("DrawArc"))
                EXPECT_LE(std::fabs(arc.args[5]), 360.0f);
        }
    }
    // NaN holds the needle at the start of the scale.
    Draw(0, std::numeric_limits<float>::quiet_NaN());
    NeedleTriangle n = PolygonNeedleCorners(82, 92, 72.5f, 72.5f * 0.071428575f, 240, 180);
    ExpectPoint(Of("FillPolygon")[0].points[0], n.tip, "NaN at the first angle");
}

TEST_F(Dial, ExtremeRecordsEndTheStepWalk) {
    // A one-degree sweep far round the dial with the largest range: steps far below the
    // resolution of the angle.
    Record(kKindSpeed).paramC = 65535;
    Record(kKindSpeed).paramD = 2;
    Record(kKindSpeedometer).paramA = 65535;
    Draw(0, 10);
    EXPECT_LT(Recorded().calls.size(), 300000u);
    Record(kKindSpeedometer).paramB = 1; // no radius: spacing 0
    Draw(0, 10);
    EXPECT_GE(Recorded().Runs().size(), 1u);
    Record(kKindSpeedometer).paramA = 0; // no span: the needle rests at the start
    Draw(0, 10);
    EXPECT_EQ(Of("FillPolygon").size(), 1u);
}

} // namespace
