// The drawing primitives on the recording backend: rotated images, polygon needles, gauge text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "render/primitives.h"
#include "vantrel/render_fixture.h"

namespace {

class Primitives : public RenderFixture {
  protected:
    gfx::Image LoadFake(uint32_t width, uint32_t height) {
        rec::AddImageFile("C:\\skin\\Hand.png", width, height);
        return gfx::Image::FromFile(u"C:\\skin\\Hand.png");
    }
};

TEST_F(Primitives, RotatedImageTurnsAboutItsCentreAndWrapsTheAngleOnce) {
    gfx::Image image = LoadFake(20, 40);
    ASSERT_TRUE(image.Valid());
    const float angles[][2] = {{-30, 330}, {390, 30}, {45, 45}, {-400, -40}};
    for (const auto& angle : angles) {
        rec::Current().calls.clear();
        DrawRotatedImage(*display, image, 100, 100, angle[0], 0.5f, kKindClock);
        auto calls = Recorded().calls;
        ASSERT_EQ(calls.size(), 4u);
        EXPECT_EQ(calls[0].op, "TranslateTransform");
        EXPECT_EQ(calls[0].args, (std::vector<float>{100, 100, float(gfx::MatrixOrder::Prepend)}));
        EXPECT_EQ(calls[1].op, "RotateTransform");
        EXPECT_FLOAT_EQ(calls[1].args[0], angle[1]);
        EXPECT_EQ(calls[1].args[1], float(gfx::MatrixOrder::Prepend));
        ASSERT_EQ(calls[2].op, "DrawImage");
        EXPECT_EQ(calls[2].args,
                  (std::vector<float>{-5, -10, 10, 20, 0, 0, 20, 40, float(gfx::Unit::Pixel)}));
        EXPECT_EQ(calls[2].image, rec::ImageId(image));
        // The image centre lands on (100, 100) and its top is turned by the angle.
        gfx::PointF centre = calls[2].transform.Map({0, 0});
        EXPECT_NEAR(centre.x, 100, 1e-3);
        EXPECT_NEAR(centre.y, 100, 1e-3);
        EXPECT_EQ(calls[3].op, "ResetTransform");
    }
    // The radius comes from the unscaled height: 40 / 2 + 10.
    const RectI32& hit = display->hitRects[kKindClock];
    EXPECT_EQ(hit.left, 70);
    EXPECT_EQ(hit.top, 70);
    EXPECT_EQ(hit.right, 130);
    EXPECT_EQ(hit.bottom, 130);
}

TEST_F(Primitives, RotatedImageAt90DegreesPutsItsTopToTheRight) {
    gfx::Image image = LoadFake(10, 60);
    DrawRotatedImage(*display, image, 50, 70, 90, 1.0f, kKindVantrel);
    auto draw = Recorded().Of("DrawImage").at(0);
    gfx::PointF top = draw.transform.Map({0, -30}); // middle of the image's top edge
    EXPECT_NEAR(top.x, 80, 1e-3);
    EXPECT_NEAR(top.y, 70, 1e-3);
}

TEST_F(Primitives, PolygonNeedleAtThreeOClockInAnyUnits) {
    struct Case {
        float angle, units;
    };
    for (Case c : {Case{3, 6}, Case{90, 180}, Case{15, 30}}) {
        rec::Current().calls.clear();
        DrawPolygonNeedle(display->graphics, 100, 50, 40, 5, c.angle, c.units, 0xFF112233);
        auto calls = Recorded().Drawing();
        ASSERT_EQ(calls.size(), 2u);
        ASSERT_EQ(calls[0].op, "FillPolygon");
        EXPECT_EQ(calls[0].fillMode, int(gfx::FillMode::Alternate));
        EXPECT_EQ(calls[0].color, 0xFF112233u);
        ASSERT_EQ(calls[0].points.size(), 3u);
        // Tip at the right, turned 0.0108 rad (0.62 degrees) further clockwise: slightly below.
        EXPECT_NEAR(calls[0].points[0].x, 100 + 40 * std::cos(0.0107963f), 1e-3);
        EXPECT_NEAR(calls[0].points[0].y, 50 + 40 * std::sin(0.0107963f), 1e-3);
        EXPECT_GT(calls[0].points[0].y, 50.4f);
        // The base corners lie below and above the pivot, half a width away.
        EXPECT_NEAR(calls[0].points[1].y, 55, 1e-2);
        EXPECT_NEAR(calls[0].points[2].y, 45, 1e-2);
        EXPECT_NEAR(calls[0].points[1].x, 100, 0.1);
        // The hub: a circle of radius halfWidth about the pivot, same colour.
        ASSERT_EQ(calls[1].op, "FillEllipse");
        EXPECT_EQ(calls[1].args, (std::vector<float>{95, 45, 10, 10}));
        EXPECT_EQ(calls[1].color, 0xFF112233u);
    }
}

TEST_F(Primitives, PolygonNeedleAtZeroPointsUpWithItsOffset) {
    NeedleTriangle n = PolygonNeedleCorners(0, 0, 100, 4, 0, 180);
    EXPECT_NEAR(n.tip.x, 100 * std::cos(-1.56f), 1e-3); // about 1.08 px right of straight up
    EXPECT_NEAR(n.tip.y, -100 * std::sin(1.56f), 1e-3);
    EXPECT_GT(n.tip.x, 1.0f);
}

TEST_F(Primitives, PolygonNeedleWithNonFiniteNumbersDrawsNothing) {
    DrawPolygonNeedle(display->graphics, 10, 10, NAN, 3, 0, 180, 0xFFFFFFFF);
    DrawPolygonNeedle(display->graphics, 10, 10, 30, 3, INFINITY, 180, 0xFFFFFFFF);
    DrawPolygonNeedle(display->graphics, 10, 10, 30, 3, 5, 0, 0xFFFFFFFF);
    EXPECT_TRUE(Recorded().Drawing().empty());
}

TEST_F(Primitives, GaugeTextRepairsAnEmptyFontNameAndSizeInTheRecord) {
    GaugeRecord& r = Record(kKindKnots);
    std::memset(r.fontName, 0, sizeof r.fontName);
    r.paramA = 0;
    r.x = 30;
    r.y = 40;
    r.color = 0xFF00FF00;
    DrawGaugeText(*display, app->skin, kKindKnots, " 12.5");
    EXPECT_STREQ(r.fontName, "Arial");
    EXPECT_EQ(r.paramA, 20);

    auto measure = Recorded().Of("MeasureString").at(0);
    EXPECT_EQ(measure.args, (std::vector<float>{0, 0, 5 * 20 * 2, 40}));
    EXPECT_EQ(measure.alignment, -1); // measured without a string format
    auto draw = Recorded().Of("DrawString").at(0);
    EXPECT_EQ(rec::Narrow(draw.text), " 12.5");
    EXPECT_EQ(rec::Narrow(draw.fontFamily), "Arial");
    EXPECT_EQ(draw.fontSize, 20);
    EXPECT_EQ(draw.fontUnit, int(gfx::Unit::Point));
    EXPECT_EQ(draw.alignment, int(gfx::StringAlignment::Far));
    EXPECT_EQ(draw.color, 0xFF00FF00u);
    gfx::RectF box = rec::MeasureText(u" 12.5", 20, gfx::Unit::Point);
    EXPECT_EQ(draw.args, (std::vector<float>{30 + box.width, 40, 0, 0}));
    const RectI32& hit = display->hitRects[kKindKnots];
    EXPECT_EQ(hit.left, 30);
    EXPECT_EQ(hit.top, 40);
    EXPECT_EQ(hit.right, 30 + int32_t(box.width));
    EXPECT_EQ(hit.bottom, 40 + int32_t(box.height));
}

TEST_F(Primitives, GaugeTextHitRectangleFollowsTheText) {
    DrawGaugeText(*display, app->skin, kKindCourse, "  9.5");
    int32_t narrow = display->hitRects[kKindCourse].right;
    DrawGaugeText(*display, app->skin, kKindCourse, "359.5 degrees");
    EXPECT_GT(display->hitRects[kKindCourse].right, narrow);
}

TEST_F(Primitives, GaugeTextInAMissingFamilyUsesTheGenericSansSerif) {
    std::strcpy(Record(kKindAltitude).fontName, "Nonesuch Grotesk");
    Record(kKindAltitude).paramA = 14;
    DrawGaugeText(*display, app->skin, kKindAltitude, "100.0");
    auto draw = Recorded().Of("DrawString").at(0);
    EXPECT_EQ(rec::Narrow(draw.fontFamily), "Microsoft Sans Serif");
    EXPECT_EQ(draw.fontSize, 14);
    EXPECT_STREQ(Record(kKindAltitude).fontName, "Nonesuch Grotesk"); // the name stays
}

TEST_F(Primitives, GaugeTextFontIsBuiltOnceAndRebuiltWhenDropped) {
    DrawGaugeText(*display, app->skin, kKindTrip, "1");
    Record(kKindTrip).paramA = 30; // the dialog changes the size and drops the font
    DrawGaugeText(*display, app->skin, kKindTrip, "1");
    EXPECT_EQ(Recorded().Of("DrawString").at(1).fontSize, 12); // still the cached font
    DropKindFont(*display, kKindTrip);
    DrawGaugeText(*display, app->skin, kKindTrip, "1");
    EXPECT_EQ(Recorded().Of("DrawString").at(2).fontSize, 30);
}

TEST_F(Primitives, AFontThatCannotBeBuiltLeavesTheKindWithoutTextUntilDropped) {
    std::strcpy(Record(kKindCourse).fontName, "Nonesuch");
    rec::Current().genericSansSerif.clear();
    DrawGaugeText(*display, app->skin, kKindCourse, "1.0");
    rec::Current().genericSansSerif = u"Microsoft Sans Serif";
    DrawGaugeText(*display, app->skin, kKindCourse, "1.0");
    EXPECT_TRUE(Recorded().Of("DrawString").empty());
    EXPECT_EQ(display->hitRects[kKindCourse].right, 0);
    DropKindFont(*display, kKindCourse);
    DrawGaugeText(*display, app->skin, kKindCourse, "1.0");
    EXPECT_EQ(Recorded().Of("DrawString").size(), 1u);
}

TEST_F(Primitives, GaugeTextToleratesAFontNameFillingAllItsBytes) {
    std::memset(Record(kKindCourse).fontName, 'A', sizeof Record(kKindCourse).fontName);
    DrawGaugeText(*display, app->skin, kKindCourse, "1.0");
    auto draw = Recorded().Of("DrawString").at(0);
    EXPECT_EQ(rec::Narrow(draw.fontFamily), "Microsoft Sans Serif");
}

TEST_F(Primitives, GaugeTextConvertsTheAnsiDegreeSign) {
    DrawGaugeText(*display, app->skin, kKindLatitude,
                  "N 47\xB0"
                  "45'0.00\"");
    auto draw = Recorded().Of("DrawString").at(0);
    EXPECT_EQ(draw.text, u"N 47\u00B045'0.00\"");
}

} // namespace
