// The heading tape on the recording backend: which degrees it shows for a heading, its ticks and
// labels, the label font, the hit rectangle and widths and headings outside the usual ranges.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "render/compose.h"
#include "render/heading_tape.h"
#include "render/renderer_table.h"
#include "vantrel/render_fixture.h"

namespace {

constexpr gfx::Argb kAmber = 0xFFFFB000;

class HeadingTape : public RenderFixture {
  protected:
    void Setup(uint16_t width, uint16_t height, const char* font = "Tahoma") {
        GaugeRecord& tape = Record(kKindHorizVantrel);
        tape.x = 20;
        tape.y = 30;
        tape.paramA = width;
        tape.paramB = height;
        tape.color = kAmber;
        std::memset(tape.fontName, 0, sizeof tape.fontName);
        std::strncpy(tape.fontName, font, sizeof tape.fontName);
    }
    void Draw(int32_t heading) {
        rec::Current().calls.clear();
        DrawHeadingTape(*display, app->skin, heading);
    }
    // The ticks, one per run of the calls that drew them, in the order drawn.
    std::vector<rec::Call> Ticks() { return Recorded().Runs(); }
    float LabelWidth(const char16_t* text, float height) {
        return rec::MeasureText(text, height * 0.4f, gfx::Unit::Point).width;
    }
};

TEST_F(HeadingTape, NorthIsInTheMiddleOfATapeFrom308To52) {
    Setup(210, 40);
    Draw(0);
    EXPECT_EQ(DrawnTexts(),
              (std::vector<std::string>{"NW", "330", "345", "N", "015", "030", "NE"}));
    // "N" stands on px = 20 + 2 * 52, its measured box centred there, its top on the tape's top.
    auto strings = Recorded().Of("DrawString");
    const auto& north = strings[3];
    EXPECT_FLOAT_EQ(north.args[0], 124 - LabelWidth(u"N", 40) / 2);
    EXPECT_FLOAT_EQ(north.args[1], 30);
    EXPECT_EQ(north.color, kAmber);
    EXPECT_EQ(rec::Narrow(north.fontFamily), "Tahoma");
    EXPECT_FLOAT_EQ(north.fontSize, 16);
    EXPECT_EQ(north.fontUnit, int(gfx::Unit::Point));
    // Each label is measured, without a format, in a box of 6 by 2 ems.
    auto measures = Recorded().Of("MeasureString");
    ASSERT_EQ(measures.size(), 7u);
    EXPECT_EQ(measures[3].args, (std::vector<float>{0, 0, 96, 32}));
    EXPECT_EQ(measures[3].alignment, -1);

    // Labels this small reach no tick: all ticks go down in one call, before the labels.
    EXPECT_EQ(Recorded().Of("DrawLineRuns").size(), 1u);
    EXPECT_EQ(Recorded().Drawing().front().op, "DrawLineRuns");
    // 35 ticks: every third degree, the 7 multiples of 15 major.
    auto ticks = Ticks();
    ASSERT_EQ(ticks.size(), 35u);
    int majors = 0;
    for (const auto& tick : ticks) {
        EXPECT_EQ(tick.color, kAmber);
        EXPECT_FLOAT_EQ(tick.penWidth, 2.0f);
        EXPECT_FLOAT_EQ(tick.points[0].x, tick.points[1].x);
        EXPECT_FLOAT_EQ(tick.points[1].y, 70); // standing on the bottom edge
        if (tick.points[0].y == 50) {
            ++majors;
        } else {
            EXPECT_FLOAT_EQ(tick.points[0].y, 60);
        }
        if (tick.points[0].x == 124) {
            EXPECT_FLOAT_EQ(tick.points[0].y, 50);
        }
    }
    EXPECT_EQ(majors, 7);
    // The first tick is 309 degrees, one degree (2 pixels) in.
    EXPECT_FLOAT_EQ(ticks[0].points[0].x, 22);

    // Widened by half the last label ("NE") on each side.
    float half = LabelWidth(u"NE", 40) / 2;
    const RectI32& hit = display->hitRects[kKindHorizVantrel];
    EXPECT_EQ(hit.left, int32_t(20 - half));
    EXPECT_EQ(hit.top, 30);
    EXPECT_EQ(hit.right, int32_t(230 + half));
    EXPECT_EQ(hit.bottom, 70);
}

TEST_F(HeadingTape, TallLabelsReachingTheNextTickComeBetweenTheTicksInTheirOrder) {
    Setup(210, 100); // labels about 50 pixels wide, major ticks 30 apart
    Draw(0);
    std::vector<std::string> ops;
    for (const auto& call : Recorded().Drawing())
        ops.push_back(call.op);
    // The ticks up to each label's own, the label, and the rest after the last label.
    std::vector<std::string> expected;
    for (int label = 0; label < 7; ++label) {
        expected.push_back("DrawLineRuns");
        expected.push_back("DrawString");
    }
    expected.push_back("DrawLineRuns");
    EXPECT_EQ(ops, expected);
    EXPECT_EQ(Ticks().size(), 35u);
}

TEST_F(HeadingTape, EastIsInTheMiddleAtHeading90) {
    Setup(210, 40);
    Draw(90);
    EXPECT_EQ(DrawnTexts(),
              (std::vector<std::string>{"NE", "060", "075", "E", "105", "120", "SE"}));
    auto strings = Recorded().Of("DrawString");
    EXPECT_FLOAT_EQ(strings[3].args[0], 124 - LabelWidth(u"E", 40) / 2);
}

TEST_F(HeadingTape, OddHeightTicksAndZeroWidth) {
    Setup(20, 23);
    Draw(0); // degrees 355 to 4: the tick of 0 is major, 357 and 3 minor
    auto ticks = Ticks();
    ASSERT_EQ(ticks.size(), 3u);
    EXPECT_FLOAT_EQ(ticks[0].points[0].y, 30 + 18); // 23 - 23/4
    EXPECT_FLOAT_EQ(ticks[1].points[0].y, 30 + 12); // 11 pixels long
    EXPECT_FLOAT_EQ(ticks[1].points[1].y, 30 + 23);
    EXPECT_FLOAT_EQ(ticks[1].points[0].x, 30);

    Setup(0, 40);
    Draw(123);
    EXPECT_TRUE(Recorded().Drawing().empty());
    const RectI32& hit = display->hitRects[kKindHorizVantrel];
    EXPECT_EQ(hit.left, 20);
    EXPECT_EQ(hit.top, 30);
    EXPECT_EQ(hit.right, 20);
    EXPECT_EQ(hit.bottom, 70);
}

TEST_F(HeadingTape, LabelFontFallsBackToTheGenericFamily) {
    Setup(60, 40, "No Such Font");
    Draw(0);
    auto strings = Recorded().Of("DrawString");
    ASSERT_FALSE(strings.empty());
    EXPECT_EQ(rec::Narrow(strings[0].fontFamily), "Microsoft Sans Serif");

    // A font name filling all 64 bytes is read without running past it.
    GaugeRecord& tape = Record(kKindHorizVantrel);
    std::memset(tape.fontName, 'A', sizeof tape.fontName);
    Draw(0);
    EXPECT_FALSE(Recorded().Of("DrawString").empty());

    // Height 0 makes no font at all: ticks without labels, and no label widens the hit area.
    Setup(60, 0);
    Draw(0);
    EXPECT_TRUE(Recorded().Of("DrawString").empty());
    EXPECT_FALSE(Ticks().empty());
    EXPECT_EQ(display->hitRects[kKindHorizVantrel].left, 20);
    EXPECT_EQ(display->hitRects[kKindHorizVantrel].right, 80);
    EXPECT_EQ(rec::LiveObjects(), 2); // the back buffer and its graphics
}

TEST_F(HeadingTape, AnyWidthAndHeadingStaysWithinTheCompass) {
    EXPECT_EQ(FirstTapeDegree(0, 210), 308);
    EXPECT_EQ(FirstTapeDegree(90, 210), 38);
    EXPECT_EQ(FirstTapeDegree(0, 1444), 359);   // one correction would leave -1
    EXPECT_EQ(FirstTapeDegree(10, 65535), 187); // 10 - 16383
    EXPECT_EQ(FirstTapeDegree(725, 0), 5);
    EXPECT_EQ(FirstTapeDegree(-30, 0), 330);
    int32_t extreme = FirstTapeDegree(INT_MIN, 65535);
    EXPECT_GE(extreme, 0);
    EXPECT_LT(extreme, 360);

    char text[8];
    TapeLabel(315, text, sizeof text);
    EXPECT_STREQ(text, "NW");
    TapeLabel(15, text, sizeof text);
    EXPECT_STREQ(text, "015");

    // A tape wider than the compass shows every label of its degrees, each a name or 3 digits.
    Setup(2000, 40);
    Draw(0);
    auto texts = DrawnTexts();
    EXPECT_EQ(texts.size(), 67u); // 1000 degrees from 220: 225, 240, ... 1215
    for (const auto& label : texts)
        EXPECT_TRUE(label.size() == 3 || label.size() <= 2) << label;
    EXPECT_EQ(texts[0], "SW");
}

TEST_F(HeadingTape, TheComposerDrawsTheTapeAtTheDisplayedHeading) {
    InstallGaugeRenderers(display->renderers);
    app->skin.shownMask[0] = app->skin.shownMask[1] = 0;
    SetKindShown(app->skin, kKindHorizVantrel, true);
    Setup(210, 40);
    rec::Current().calls.clear();
    Compose(*display, *app, *nav, 320, 240, 90);
    auto texts = DrawnTexts();
    ASSERT_EQ(texts.size(), 7u);
    EXPECT_EQ(texts[3], "E");
    EXPECT_NE(display->hitRects[kKindHorizVantrel].right, 0);
}

} // namespace
