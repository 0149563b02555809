// The linear gauge on the recording backend: ticks, numbers and their places, the bar and the
// marker images, the moving tape, hit rectangles, and values the feeds may garble.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "render/linear_gauge.h"
#include "vantrel/render_fixture.h"

namespace {

constexpr gfx::Argb kScaleColor = 0xFF3060F0;
constexpr gfx::Argb kNeedleColor = 0xFFFF2000;
constexpr int kKind = kKindObd2ClvGauge;
constexpr int kSignedKind = kKindObd2Stft1Gauge;

class Linear : public RenderFixture {
  protected:
    void SetUp() override {
        RenderFixture::SetUp();
        for (int kind : {kKind, kSignedKind}) {
            GaugeRecord& r = Record(kind);
            std::strcpy(r.fontName, "Arial");
            r.paramB = 200;
            r.paramA = 100;
            r.paramC = 0;
            r.x = 30;
            r.y = 40;
            r.color = kScaleColor;
        }
        Record(kKindNeedleColor).color = kNeedleColor;
    }
    void Draw(uint16_t style, float value, int kind = kKind, float start = 0) {
        rec::Current().calls.clear();
        StyledGauge g;
        g.kind = kind;
        g.value = value;
        g.signedScale = kind == kSignedKind;
        g.startValue = start;
        g.style = style;
        DrawLinearStyle(*display, app->skin, g);
    }
    std::vector<rec::Call> Of(const char* op) { return Recorded().Of(op); }
    RectI32 Hit(int kind = kKind) { return display->hitRects[kind]; }
    std::vector<float> Bar() {
        auto fills = Of("FillRectangle");
        EXPECT_EQ(fills.size(), 1u);
        if (fills.empty()) return {};
        EXPECT_EQ(fills[0].color, kNeedleColor);
        return fills[0].args;
    }
};

TEST_F(Linear, HorizontalScaleTicksNumbersAndBar) {
    Draw(4, 50);
    // "012" at 18 points is 41.6 pixels wide with its room: 4 numbers fit, Q = 30.
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"0", "30", "60", "90"}));
    auto lines = Of("DrawLine");
    // Major ticks 6 long at every 30, minor ticks 4 long at the other multiples of 15.
    ASSERT_EQ(lines.size(), 7u);
    const float majors[] = {30, 90, 150, 210}; // x of U = 0, 30, 60, 90
    int major = 0;
    for (const auto& line : lines) {
        EXPECT_EQ(line.color, kScaleColor);
        EXPECT_FLOAT_EQ(line.penWidth, 1.0f);
        EXPECT_FLOAT_EQ(line.points[0].y, 60); // baseline y + thick
        float length = line.points[1].y - line.points[0].y;
        if (length == 6)
            EXPECT_FLOAT_EQ(line.points[0].x, majors[major++]);
        else
            EXPECT_FLOAT_EQ(length, 4);
    }
    EXPECT_EQ(major, 4);
    // Numbers centred under their tick, below it.
    auto strings = Of("DrawString");
    gfx::RectF box = rec::MeasureText(u"30", 200 * 0.09f, gfx::Unit::Point);
    EXPECT_FLOAT_EQ(strings[1].args[0], 90 - box.width / 2);
    EXPECT_FLOAT_EQ(strings[1].args[1], 60 + 6 + 1);
    EXPECT_FLOAT_EQ(strings[1].fontSize, 18);
    EXPECT_EQ(strings[1].color, kScaleColor);
    // pos = trunc(50 * 201 / 100) = 100: a bar 100 long and 20 high.
    EXPECT_EQ(Bar(), (std::vector<float>{30, 40, 100, 20}));
    RectI32 hit = Hit();
    EXPECT_EQ(hit.left, 20);
    EXPECT_EQ(hit.top, 40);
    EXPECT_EQ(hit.right, 231);
    EXPECT_EQ(hit.bottom, 61);
}

TEST_F(Linear, BarHeldWithinTheScale) {
    Draw(5, -10); // below the start: one pixel
    EXPECT_EQ(Bar(), (std::vector<float>{30, 40, 1, 20}));
    EXPECT_TRUE(Of("DrawLine").empty());
    Draw(5, 1000); // above the range: the whole length
    EXPECT_EQ(Bar(), (std::vector<float>{30, 40, 200, 20}));
    Draw(7, 25); // vertical, from the bottom up
    EXPECT_EQ(Bar(), (std::vector<float>{30, 240 - 50, 20, 50}));
    EXPECT_EQ(Hit().right, 30 + 20 + 1);
    EXPECT_EQ(Hit().top, 30);
    EXPECT_EQ(Hit().bottom, 250);
    Record(kKind).paramA = 0; // a range of 0 counts as 1
    Draw(5, 0.5f);
    EXPECT_EQ(Bar(), (std::vector<float>{30, 40, 100, 20}));
}

TEST_F(Linear, SignedScaleFromTheMiddle) {
    Record(kSignedKind).paramA = 25;
    Draw(4, 0, kSignedKind);
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"-20", "-10", "0", "+10", "+20"}));
    EXPECT_EQ(Bar(), (std::vector<float>{130, 40, 1, 20}));
    Draw(5, 25, kSignedKind);
    EXPECT_EQ(Bar(), (std::vector<float>{130, 40, 100, 20}));
    Draw(5, -12.5f, kSignedKind); // pos = trunc(-12.5 * 201 / 25) / 2 = -50
    EXPECT_EQ(Bar(), (std::vector<float>{80, 40, 50, 20}));
    Draw(7, -12.5f, kSignedKind); // vertical: downwards from the middle
    EXPECT_EQ(Bar(), (std::vector<float>{30, 140, 20, 50}));
    Draw(7, 12.5f, kSignedKind);
    EXPECT_EQ(Bar(), (std::vector<float>{30, 90, 20, 50}));
}

TEST_F(Linear, VerticalMarkerImageMovesTheBaseline) {
    rec::AddImageFile("GaugeV.png", 16, 30);
    display->images[kImageGaugeV] = gfx::Image::FromFile(u"GaugeV.png");
    Draw(6, 50);
    auto lines = Of("DrawLine");
    ASSERT_FALSE(lines.empty());
    EXPECT_FLOAT_EQ(lines[0].points[0].x, 30);  // ticks start at x, not x + thick
    EXPECT_FLOAT_EQ(lines[0].points[0].y, 240); // the low end at the bottom
    EXPECT_TRUE(Of("FillRectangle").empty());
    auto images = Of("DrawImage");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].args, (std::vector<float>{30, 240 - 100 - 15, 16, 30, 0, 0, 16, 30,
                                                  float(gfx::Unit::Pixel)}));
    RectI32 hit = Hit();
    EXPECT_EQ(hit.left, 10);
    EXPECT_EQ(hit.top, 40 - 15); // wherever the marker goes, up to half its height above y
    EXPECT_EQ(hit.right, 46);
    EXPECT_EQ(hit.bottom, 255);
    // At full scale a tall marker reaches above the usual margin: the rectangle follows it.
    rec::AddImageFile("Tall.png", 16, 60);
    display->images[kImageGaugeV] = gfx::Image::FromFile(u"Tall.png");
    Draw(7, 100);
    EXPECT_FLOAT_EQ(Of("DrawImage")[0].args[1], 40 - 30);
    EXPECT_EQ(Hit().top, 10);
}

TEST_F(Linear, HorizontalMarkerImage) {
    rec::AddImageFile("GaugeH.png", 20, 12);
    display->images[kImageGaugeH] = gfx::Image::FromFile(u"GaugeH.png");
    Draw(4, 50);
    auto images = Of("DrawImage");
    ASSERT_EQ(images.size(), 1u);
    EXPECT_FLOAT_EQ(images[0].args[0], 30 + 100 - 10);
    EXPECT_FLOAT_EQ(images[0].args[1], 40);
    EXPECT_FLOAT_EQ(Of("DrawLine")[0].points[0].y, 40); // ticks start at y
    RectI32 hit = Hit();
    EXPECT_EQ(hit.left, 10);
    EXPECT_EQ(hit.top, 40); // the marker's top edge
    EXPECT_EQ(hit.right, 240);
    EXPECT_EQ(hit.bottom, 52);
    Draw(5, 0, kSignedKind);
    EXPECT_FLOAT_EQ(Of("DrawImage")[0].args[0], 30 + 100 - 10);
}

TEST_F(Linear, MovingTapeIsLabelledAroundTheValue) {
    Draw(10, 57.3f);
    // Range 100 over 200 pixels, numbers 30.8 pixels high: 6 fit, Q = 20; the scale covers 7 to
    // 107 and is lifted by trunc(20 * 57.3) mod 20 = 6 pixels.
    auto texts = DrawnTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts, (std::vector<std::string>{"7", "27", "47", "67", "87"}));
    auto lines = Of("DrawLine");
    EXPECT_FLOAT_EQ(lines[0].points[0].y, 240 - 6);
    EXPECT_FLOAT_EQ(lines[0].points[0].x, 30 + 20);
    auto strings = Of("DrawString");
    gfx::RectF box = rec::MeasureText(u"7", 18, gfx::Unit::Point);
    EXPECT_FLOAT_EQ(strings[0].args[0], 50 + 6 + 1);
    EXPECT_FLOAT_EQ(strings[0].args[1], 234 - box.height / 2);
    EXPECT_TRUE(Of("FillRectangle").empty()); // no indicator
    EXPECT_EQ(Hit().right, 30 - 20 + 400 + 10);
    Draw(9, 57.3f); // horizontal: never lifted
    EXPECT_FLOAT_EQ(Of("DrawLine")[0].points[0].x, 30);
    EXPECT_EQ(DrawnTexts().front(), "7");
}

TEST_F(Linear, MovingTapeOfANegativeValueIsLiftedLikeAPositiveOne) {
    // Q = 20 as above: the lift repeats every 20 pixels on both sides of zero, so the scale never
    // starts below the gauge's bottom edge (y 240).
    const struct {
        float value;
        float lift;
    } cases[] = {{-57.3f, 20 - 6}, {-0.5f, 10}, {-2.0f, 0}, {2.0f, 0}, {-1e6f, 0}};
    for (const auto& c : cases) {
        Draw(10, c.value);
        auto lines = Of("DrawLine");
        ASSERT_FALSE(lines.empty()) << c.value;
        EXPECT_FLOAT_EQ(lines[0].points[0].y, 240 - c.lift) << c.value;
        for (const auto& line : lines)
            EXPECT_TRUE(line.points[0].y >= 40 && line.points[0].y <= 240) << c.value;
    }
}

TEST_F(Linear, ScaleTooShortForANumberIsSkipped) {
    Record(kKind).paramB = 1;
    Draw(4, 50);
    EXPECT_TRUE(Of("DrawLine").empty());
    EXPECT_TRUE(Of("DrawString").empty());
    EXPECT_EQ(Bar(), (std::vector<float>{30, 40, 1, 1}));
    Record(kKind).paramB = 0;
    Draw(6, 50);
    EXPECT_EQ(Bar(), (std::vector<float>{30, 39, 1, 1}));
    Draw(11, 50); // not a linear style
    EXPECT_TRUE(Recorded().Drawing().empty());
}

TEST_F(Linear, GarbledValuesDrawAFiniteGauge) {
    const float garbage[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(), 1e38f, -1e38f};
    for (int kind : {kKind, kSignedKind}) {
        for (uint16_t style : {4, 5, 6, 7, 9, 10}) {
            for (float value : garbage) {
                Draw(style, value, kind);
                auto drawing = Recorded().Drawing();
                EXPECT_LT(drawing.size(), 2000u);
                for (const auto& call : drawing) {
                    for (float a : call.args)
                        EXPECT_TRUE(std::isfinite(a)) << call.op << " style " << style;
                    for (auto p : call.points)
                        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << call.op;
                }
            }
        }
    }
    Draw(5, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(Bar(), (std::vector<float>{30, 40, 1, 20}));
}

} // namespace
