// The circular map view on the recording backend: when it draws at all, its outline, clip and
// hit rectangle, the home square and arrow, the trail's runs and breaks, the satellites' numbers,
// and what it makes of broken numbers from the GPS record, the trail file and the settings.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "render/circular_view.h"
#include "render/map_geometry.h"
#include "render/renderer_table.h"
#include "vantrel/render_fixture.h"

namespace {

constexpr gfx::Argb kTrailColor = 0xFF20A0E0;
constexpr gfx::Argb kHomeColor = 0xFFFFFF00;
constexpr gfx::Argb kSatColor = 0xFFC08040;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
// Statute miles in one degree of latitude on the program's sphere.
const double kMilesPerDegree = 3437.2861 * 1.151 * 0.01745566;

class CircularView : public RenderFixture {
  protected:
    void SetUp() override {
        RenderFixture::SetUp();
        ShowOnly({kKindSatellites, kKindHomeTarget, kKindTrails});
        Record(kKindSatellites).x = 160;
        Record(kKindSatellites).y = 120;
        Record(kKindSatellites).color = kSatColor;
        Record(kKindSatellites).paramA = 10;
        std::snprintf(Record(kKindSatellites).fontName, kFontNameSize, "Tahoma");
        Record(kKindTrails).paramB = 80;  // size: radius 71
        Record(kKindTrails).paramA = 100; // zoom: one mile is 50 pixels
        Record(kKindTrails).color = kTrailColor;
        Record(kKindHomeTarget).paramB = 6;
        Record(kKindHomeTarget).color = kHomeColor;
        app->options = kOptionFixedNorth;
        nav->snapshot->latitude = here.latitude;
        nav->snapshot->longitude = here.longitude;
    }
    void ShowOnly(std::initializer_list<int> kinds) {
        app->skin.shownMask[0] = app->skin.shownMask[1] = 0;
        for (int kind : kinds)
            SetKindShown(app->skin, kind, true);
    }
    void Draw(int32_t heading = 0) {
        rec::Current().calls.clear();
        DrawCircularView(*display, *app, *nav, heading);
    }
    // A position `miles` north and `east` miles east of here (longitudes grow westwards).
    GeoPoint Offset(double north, double east = 0) const {
        double lat = here.latitude + north / kMilesPerDegree;
        double lon =
            here.longitude - east / (kMilesPerDegree * std::cos(here.latitude * M_PI / 180));
        return {float(lat), float(lon)};
    }
    std::vector<std::string> Ops() {
        std::vector<std::string> ops;
        for (const auto& call : Recorded().calls)
            if (call.op != "MeasureString") ops.push_back(call.op);
        return ops;
    }
    std::vector<rec::Call> Of(const char* op) { return Recorded().Of(op); }
    // The trail's runs, as its one DrawLineRuns call hands them over.
    std::vector<std::vector<gfx::PointF>> Runs() {
        std::vector<std::vector<gfx::PointF>> runs;
        for (const rec::Call& call : Of("DrawLineRuns")) {
            auto point = call.points.begin();
            for (float count : call.args) {
                runs.emplace_back(point, point + std::ptrdiff_t(count));
                point += std::ptrdiff_t(count);
            }
        }
        return runs;
    }

    GeoPoint here{47.0f, 122.0f};
};

std::vector<int32_t> Corners(const RectI32& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The box the backend measures for a satellite number at 10 points, without a layout limit.
gfx::RectF Measured(const std::u16string& text) {
    return rec::MeasureText(text, 10, gfx::Unit::Point);
}

void ExpectPoint(const gfx::PointF& p, double x, double y, double tolerance = 0.05) {
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
}

TEST_F(CircularView, DrawsNothingAndRecordsNoRectangleWhenNoneOfItsKindsIsShown) {
    ShowOnly({kKindSignal, kKindClock, kKindCourse});
    nav->trail.points[0] = Offset(0.2);
    nav->trail.points[1] = Offset(0.4);
    nav->trail.index = 2;
    Draw();
    EXPECT_TRUE(Recorded().calls.empty());
    EXPECT_EQ(display->hitRects[kKindTrails].right, 0);
}

TEST_F(CircularView, EachKindAloneDrawsOnlyItselfInsideTheClipAndTheViewsSquareIsHit) {
    nav->trail.points[0] = Offset(0.2);
    nav->trail.points[1] = Offset(0.4);
    nav->trail.index = 2;
    nav->snapshot->satellites[0] = {5, 30, 0, 40};
    struct Case {
        int kind;
        const char* op;
    };
    for (Case c : {Case{kKindTrails, "DrawLineRuns"}, Case{kKindHomeTarget, "FillPolygon"},
                   Case{kKindSatellites, "DrawString"}}) {
        ShowOnly({c.kind});
        display->hitRects[kKindTrails] = {};
        int live = rec::LiveObjects();
        Draw();
        // A number well inside the circle needs no clip.
        const std::vector<std::string> clipped{"SetClipRegion", c.op, "ResetClip"};
        const std::vector<std::string> unclipped{c.op};
        EXPECT_EQ(Ops(), c.kind == kKindSatellites ? unclipped : clipped) << "kind " << c.kind;
        EXPECT_EQ(Corners(display->hitRects[kKindTrails]),
                  (std::vector<int32_t>{89, 49, 231, 191}));
        // Pen, brush, path and region released; the satellites' font stays for the next frame.
        EXPECT_EQ(rec::LiveObjects(), live + (c.kind == kKindSatellites ? 1 : 0));
    }
}

TEST_F(CircularView, OutlineOnlyWhileTheDialogIsOnOneOfTheThreeKinds) {
    app->configDialog = reinterpret_cast<WindowHandle>(0x42);
    display->edit.selectedKind = kKindSignal; // the cluster's own selection does not count
    for (int kind : {kKindSatellites, kKindHomeTarget, kKindTrails}) {
        app->dialogKind = kind;
        Draw();
        auto ops = Ops();
        ASSERT_GE(ops.size(), 2u);
        EXPECT_EQ(ops[0], "DrawEllipse"); // before the clip: not cut by it
        EXPECT_EQ(ops[1], "SetClipRegion");
        auto outline = Of("DrawEllipse");
        ASSERT_EQ(outline.size(), 1u);
        EXPECT_EQ(outline[0].color, 0xFF00FF00u);
        EXPECT_EQ(outline[0].penWidth, 1.0f);
        EXPECT_EQ(outline[0].args, (std::vector<float>{89, 49, 142, 142}));
    }
    app->dialogKind = kKindSignal;
    display->edit.selectedKind = kKindTrails;
    Draw();
    EXPECT_TRUE(Of("DrawEllipse").empty());
    app->configDialog = nullptr;
    app->dialogKind = kKindTrails;
    Draw();
    EXPECT_TRUE(Of("DrawEllipse").empty());
}

TEST_F(CircularView, HomeFarAwayIsAnArrowAtTheRimTurnedWithTheHeading) {
    ShowOnly({kKindHomeTarget});
    app->home = Offset(10); // 500 pixels out, beyond 0.85 × 80
    Draw();
    auto arrows = Of("FillPolygon");
    ASSERT_EQ(arrows.size(), 1u);
    EXPECT_EQ(arrows[0].color, kTrailColor);
    ASSERT_EQ(arrows[0].points.size(), 3u);
    ExpectPoint(arrows[0].points[0], 160 + 71 * std::cos(-1.56), 120 + 71 * std::sin(-1.56));
    EXPECT_NEAR(arrows[0].points[0].y, 49, 0.05); // tip about 71 pixels above the centre
    const double base = 0.9 * 71;
    const double turn = 4 * M_PI / 180;
    ExpectPoint(arrows[0].points[1], 160 + base * std::cos(turn - 1.56),
                120 + base * std::sin(turn - 1.56));
    ExpectPoint(arrows[0].points[2], 160 + base * std::cos(-turn - 1.56),
                120 + base * std::sin(-turn - 1.56));

    app->options = 0; // heading up, heading east: home in the north is on the left
    Draw(90);
    arrows = Of("FillPolygon");
    ASSERT_EQ(arrows.size(), 1u);
    ExpectPoint(arrows[0].points[0], 160 + 71 * std::cos(1.5 * M_PI - 1.56),
                120 + 71 * std::sin(1.5 * M_PI - 1.56));
    EXPECT_NEAR(arrows[0].points[0].x, 89, 0.05);
}

TEST_F(CircularView, HomeWellInsideIsASquareAtItsTruncatedPoint) {
    ShowOnly({kKindHomeTarget});
    app->home = Offset(0, 0.93); // 46.5 pixels to the east
    Draw();
    EXPECT_TRUE(Of("FillPolygon").empty());
    auto marks = Of("DrawRectangle");
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].color, kHomeColor);
    EXPECT_EQ(marks[0].penWidth, 1.0f);
    // (160 + trunc(46.497), 120 + trunc(0.502)), less half the side of 6.
    EXPECT_EQ(marks[0].args, (std::vector<float>{203, 117, 6, 6}));

    // Just inside 0.85 × size = 68 pixels still is a square, just outside an arrow.
    app->home = Offset(1.35); // 67.5 pixels
    Draw();
    EXPECT_EQ(Of("DrawRectangle").size(), 1u);
    app->home = Offset(1.37); // 68.5 pixels
    Draw();
    EXPECT_EQ(Of("FillPolygon").size(), 1u);
    EXPECT_TRUE(Of("DrawRectangle").empty());
}

TEST_F(CircularView, HomeAtTheCurrentPositionSitsOnTheCentreWhateverTheHeading) {
    ShowOnly({kKindHomeTarget});
    app->home = here;
    Record(kKindHomeTarget).paramB = 7; // odd side: the corner is found with integer halves
    app->options = 0;
    Draw(137);
    auto marks = Of("DrawRectangle");
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].args, (std::vector<float>{157, 117, 7, 7}));
}

TEST_F(CircularView, TrailRunsEndAtBreaksAndSinglePointsAreDropped) {
    ShowOnly({kKindTrails});
    TrailRing& ring = nav->trail;
    ring.points[0] = Offset(-0.6); // oldest run: three points
    ring.points[1] = Offset(-0.4);
    ring.points[2] = Offset(-0.2);
    ring.points[3] = {}; // break
    ring.points[4] = Offset(0, 0.2);
    ring.points[5] = Offset(0, 0.4);
    ring.points[6] = {0.0f, 5.0f}; // a break keeps its longitude
    ring.points[7] = Offset(0.5);  // newest, alone
    ring.index = 8;
    Draw();
    ASSERT_EQ(Of("DrawLineRuns").size(), 1u);
    EXPECT_EQ(Of("DrawLineRuns")[0].color, kTrailColor);
    EXPECT_EQ(Of("DrawLineRuns")[0].penWidth, 1.0f);
    auto lines = Runs();
    ASSERT_EQ(lines.size(), 2u);
    // Newest first: the eastern run from its end back to its start.
    ASSERT_EQ(lines[0].size(), 2u);
    ExpectPoint(lines[0][0], 160 + 20 * std::cos(M_PI / 2 - 1.56),
                120 + 20 * std::sin(M_PI / 2 - 1.56));
    ExpectPoint(lines[0][1], 160 + 10 * std::cos(M_PI / 2 - 1.56),
                120 + 10 * std::sin(M_PI / 2 - 1.56));
    ASSERT_EQ(lines[1].size(), 3u);
    ExpectPoint(lines[1][0], 160 + 10 * std::cos(M_PI - 1.56), 120 + 10 * std::sin(M_PI - 1.56));
    ExpectPoint(lines[1][2], 160 + 30 * std::cos(M_PI - 1.56), 120 + 30 * std::sin(M_PI - 1.56));
}

TEST_F(CircularView, TrailWrapsFromTheFirstSlotToTheLastAndTurnsWithTheHeading) {
    ShowOnly({kKindTrails});
    TrailRing& ring = nav->trail;
    ring.points[1] = here;
    ring.points[0] = Offset(0.2);
    ring.points[2047] = Offset(0.4);
    ring.points[2046] = Offset(0.6);
    ring.index = 2;
    app->options = 0;
    Draw(180); // heading south: north is down
    auto lines = Runs();
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].size(), 4u);
    ExpectPoint(lines[0][0], 160, 120);
    for (int i = 1; i < 4; ++i)
        ExpectPoint(lines[0][i], 160 + 10 * i * std::cos(M_PI - 1.56),
                    120 + 10 * i * std::sin(M_PI - 1.56));
}

TEST_F(CircularView, EmptyTrailDrawsNoLineAndAFullRingWithoutBreaksIsOneLine) {
    ShowOnly({kKindTrails});
    Draw();
    EXPECT_TRUE(Runs().empty());
    // A trail file from elsewhere may hold no break at all.
    Record(kKindTrails).paramA = 40; // the whole ring within the view
    for (uint32_t i = 0; i < kTrailPoints; ++i)
        nav->trail.points[i] = Offset(0.001 * i);
    nav->trail.index = 100;
    Draw();
    auto lines = Runs();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), kTrailPoints);
}

// Radius 71 and the cut margin of 16: a segment counts when it comes within 87 pixels (1.74
// miles at this zoom) of the centre, wherever its ends are.
TEST_F(CircularView, TrailSegmentsThatStayFarOutsideAreLeftOutAndTheRunIsCutThere) {
    ShowOnly({kKindTrails});
    struct Place {
        double north;
        double east;
    };
    struct Case {
        const char* what;
        std::vector<Place> newestFirst; // {99, 99} is a break
        std::vector<std::vector<int>> runs;
    };
    const Place brk{99, 99};
    const std::vector<Case> cases = {
        {"out and back in",
         {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {2, 0}, {1.5, 0}, {0.5, 0}},
         {{0, 1, 2}, {5, 6, 7}}},
        {"a segment passing by with both ends far", {{1, -5}, {1, 5}, {3, 5}}, {{0, 1}}},
        {"just beyond the reach", {{2.1, -1}, {2.1, 1}, {0, 0}}, {{1, 2}}},
        {"all far away", {{5, 0}, {6, 0}, brk, {-5, 0}, {-6, 0}}, {}},
        {"a break ends a visible run", {{0, 0}, {0.5, 0}, brk, {1, 0}, {1.2, 0}}, {{0, 1}, {3, 4}}},
    };
    for (const Case& c : cases) {
        nav->trail = TrailRing{};
        const uint32_t n = uint32_t(c.newestFirst.size());
        std::vector<gfx::PointF> expectedPoints;
        for (uint32_t i = 0; i < n; ++i) {
            const Place& p = c.newestFirst[i];
            nav->trail.points[n - 1 - i] = p.north == 99 ? GeoPoint{} : Offset(p.north, p.east);
            expectedPoints.push_back({float(160 + 50 * p.east), float(120 - 50 * p.north)});
        }
        nav->trail.index = n;
        Draw();
        auto runs = Runs();
        ASSERT_EQ(runs.size(), c.runs.size()) << c.what;
        for (size_t r = 0; r < runs.size(); ++r) {
            ASSERT_EQ(runs[r].size(), c.runs[r].size()) << c.what << ", run " << r;
            for (size_t i = 0; i < runs[r].size(); ++i) {
                const gfx::PointF& want = expectedPoints[size_t(c.runs[r][i])];
                // The view turns 1.56 rather than a right angle, its miles are spherical and
                // its bearings take degrees of longitude as they come: near enough to know
                // the point, which is all this asks.
                const double out = std::hypot(want.x - 160, want.y - 120);
                ExpectPoint(runs[r][i], want.x, want.y, 1.5 + 0.25 * out);
            }
        }
    }
}

TEST_F(CircularView, BrokenTrailNumbersBreakTheRunAndFarPointsStayBounded) {
    ShowOnly({kKindTrails});
    TrailRing& ring = nav->trail;
    ring.points[0] = Offset(0.1);
    ring.points[1] = Offset(0.2);
    ring.points[2] = {kNaN, 122.0f}; // not a position: ends the run like a break
    ring.points[3] = Offset(0.3);
    ring.points[4] = Offset(0.4);
    ring.points[5] = {47.0f, kInf};
    ring.points[6] = Offset(0.5);
    ring.points[7] = {1.0e38f, -1.0e38f}; // finite nonsense: drawn, but never miles off-frame
    ring.index = 5000;                    // past the ring: wraps to 904, then walks down to 7
    Draw();
    auto lines = Runs();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 2u); // slots 7 and 6
    EXPECT_EQ(lines[1].size(), 2u); // 4 and 3
    EXPECT_EQ(lines[2].size(), 2u); // 1 and 0
    for (const auto& line : lines)
        for (const auto& p : line) {
            EXPECT_LE(std::fabs(p.x - 160), 1.0e6 + 1);
            EXPECT_LE(std::fabs(p.y - 120), 1.0e6 + 1);
        }
}

TEST_F(CircularView, UnplaceablePositionOrHomeDrawsNeitherButTheSatellitesStill) {
    nav->trail.points[0] = Offset(0.1);
    nav->trail.points[1] = Offset(0.2);
    nav->trail.index = 2;
    nav->snapshot->satellites[0] = {5, 30, 0, 40};
    nav->snapshot->latitude = kNaN; // a torn or garbled GPS record
    app->home = Offset(0.5);
    Draw();
    EXPECT_TRUE(Runs().empty());
    EXPECT_TRUE(Of("DrawRectangle").empty());
    EXPECT_TRUE(Of("FillPolygon").empty());
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"5"}));

    nav->snapshot->latitude = here.latitude;
    app->home = {47.0f, kNaN}; // a garbled "Home" setting
    Draw();
    EXPECT_EQ(Runs().size(), 1u);
    EXPECT_TRUE(Of("DrawRectangle").empty());
    EXPECT_TRUE(Of("FillPolygon").empty());
}

TEST_F(CircularView, SatellitesStandOnTheirPointInColoursScaledBySignal) {
    ShowOnly({kKindSatellites});
    GpsSnapshot& gps = *nav->snapshot;
    gps.satellites[0] = {5, 45, 0, 45};   // full colour, 45 pixels up
    gps.satellites[1] = {7, 0, 30, 40};   // on the horizon: skipped
    gps.satellites[2] = {0, 30, 30, 40};  // no number: skipped
    gps.satellites[3] = {9, 30, 30, 0};   // not received: skipped
    gps.satellites[4] = {12, 90, 90, 22}; // overhead: 90 pixels out, half bright
    Draw();
    EXPECT_EQ(DrawnTexts(), (std::vector<std::string>{"5", "12"}));
    auto measured = Of("MeasureString");
    ASSERT_EQ(measured.size(), 2u);
    for (const auto& m : measured) // without a limit: the whole number, whatever the font
        EXPECT_EQ(m.args, (std::vector<float>{0, 0, 0, 0}));
    auto texts = Of("DrawString");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].color, 0xFF000000u | kSatColor);
    EXPECT_EQ(texts[1].color, 0xFF5D3E1Fu);
    for (const auto& t : texts) {
        EXPECT_EQ(rec::Narrow(t.fontFamily), "Tahoma");
        EXPECT_EQ(t.fontSize, 10.0f);
        EXPECT_EQ(t.fontUnit, int(gfx::Unit::Point));
        EXPECT_EQ(t.alignment, -1); // no string format
    }
    gfx::RectF one = Measured(u"5");
    gfx::PointF a = MapPointAt(160, 120, 0, 45);
    EXPECT_EQ(texts[0].args, (std::vector<float>{a.x - one.width / 2, a.y - one.height, 0, 0}));
    gfx::RectF two = Measured(u"12");
    gfx::PointF b = MapPointAt(160, 120, 90, 90);
    EXPECT_EQ(texts[1].args, (std::vector<float>{b.x - two.width / 2, b.y - two.height, 0, 0}));
}

TEST_F(CircularView, SatellitesTurnWithTheHeadingAndTheStrongestSignalSetsFullColour) {
    ShowOnly({kKindSatellites});
    GpsSnapshot& gps = *nav->snapshot;
    gps.satellites[0] = {3, 40, 0, 45};
    gps.satellites[11] = {0, 0, 0, 90}; // skipped, yet the strongest signal
    app->options = 0;
    Draw(90);
    auto texts = Of("DrawString");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].color, SatelliteColor(kSatColor, 45, 90));
    EXPECT_EQ(texts[0].color, 0xFF604020u);
    gfx::RectF box = Measured(u"3");
    gfx::PointF a = MapPointAt(160, 120, 270, 40); // north is on the left
    EXPECT_EQ(texts[0].args, (std::vector<float>{a.x - box.width / 2, a.y - box.height, 0, 0}));
}

TEST_F(CircularView, SatelliteFontFallsBackToTheGenericFamily) {
    ShowOnly({kKindSatellites});
    nav->snapshot->satellites[0] = {3, 40, 0, 45};
    std::snprintf(Record(kKindSatellites).fontName, kFontNameSize, "No Such Face");
    Draw();
    auto texts = Of("DrawString");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(rec::Narrow(texts[0].fontFamily), "Microsoft Sans Serif");
    // A name filling the whole field without a terminator is read within it.
    std::memset(Record(kKindSatellites).fontName, 'x', kFontNameSize);
    Draw();
    EXPECT_EQ(Of("DrawString").size(), 1u);
    EXPECT_EQ(std::string(Record(kKindSatellites).fontName, 3), "xxx"); // record not repaired
}

TEST_F(CircularView, TheProgramsRendererTableDrawsTheView) {
    GaugeRenderers renderers;
    InstallGaugeRenderers(renderers);
    EXPECT_EQ(renderers.circularView, &DrawCircularView);
}

} // namespace
