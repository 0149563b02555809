// Whatever a gauge draws, the window is told to repaint it: for every kind and style, with
// records and values far out of the usual, each pixel a frame puts down, and each pixel the frame
// before had put down, lies inside what the frame's end invalidates. A gauge whose drawing
// strays from its hit rectangle (bars above it, a longer earlier text) would otherwise leave
// stale pixels on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "render/compose.h"
#include "render/renderer_table.h"
#include "skin/skin_caps.h"
#include "vantrel/render_fixture.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct Box {
    double left, top, right, bottom;
};

Box Around(const std::vector<gfx::PointF>& points, double grow) {
    Box b{1e18, 1e18, -1e18, -1e18};
    for (const auto& p : points) {
        b.left = std::min(b.left, double(p.x) - grow);
        b.right = std::max(b.right, double(p.x) + grow);
        b.top = std::min(b.top, double(p.y) - grow);
        b.bottom = std::max(b.bottom, double(p.y) + grow);
    }
    return b;
}

std::vector<gfx::PointF> Corners(const rec::Call& call, size_t at, double grow) {
    float x = call.args[at], y = call.args[at + 1], w = call.args[at + 2], h = call.args[at + 3];
    float g = float(grow);
    std::vector<gfx::PointF> corners = {
        {x - g, y - g}, {x + w + g, y - g}, {x - g, y + h + g}, {x + w + g, y + h + g}};
    for (auto& p : corners)
        p = call.transform.Map(p);
    return corners;
}

// Where the recording backend's call puts pixels, by the font model of the recording.
bool InkOf(const rec::Call& call, Box* box) {
    const std::string& op = call.op;
    if (op == "FillRectangle" || op == "FillEllipse" || op == "FillPie" || op == "DrawImage" ||
        op == "DrawImageScaled") {
        *box = Around(Corners(call, 0, 0), 0);
        return true;
    }
    if (op == "DrawRectangle" || op == "DrawEllipse" || op == "DrawArc") {
        *box = Around(Corners(call, 0, call.penWidth / 2), 0);
        return true;
    }
    if (op == "FillPolygon") {
        *box = Around(call.points, 0);
        return true;
    }
    if (op == "DrawLine" || op == "DrawLines" || op == "DrawLineRuns" || op == "DrawPolygon") {
        *box = Around(call.points, call.penWidth / 2);
        return true;
    }
    if (op == "DrawString") {
        gfx::RectF size = rec::MeasureText(call.text, call.fontSize, gfx::Unit(call.fontUnit));
        double x = call.args[0], y = call.args[1];
        if (call.alignment == int(gfx::StringAlignment::Far)) x -= size.width;
        if (call.alignment == int(gfx::StringAlignment::Center)) x -= size.width / 2;
        *box = {x, y, x + size.width, y + size.height};
        return true;
    }
    return false; // transforms, clips, measuring; the frame's clear is not a gauge's
}

bool Inside(const Box& b, const RectI32& r) {
    return b.left >= r.left && b.top >= r.top && b.right <= r.right && b.bottom <= r.bottom;
}

Box Clipped(Box b, const Box& clip) {
    return {std::max(b.left, clip.left), std::max(b.top, clip.top), std::min(b.right, clip.right),
            std::min(b.bottom, clip.bottom)};
}

using Setup = void (*)(AppState& app, NavState& nav, GaugeDisplay& display, bool hostile);

struct Case {
    const char* name;
    int kind;
    uint16_t style; // paramD of an analog kind
    Setup setup;
};

void AllValues(GaugeDisplay& display, float v) {
    for (int kind = 0; kind < kGaugeKindCount; ++kind) {
        display.values.value[kind] = v;
        display.values.needleValue[kind] = v;
        for (float& sample : display.values.history[kind])
            sample = v;
    }
}

void Satellites(NavState& nav, uint16_t snr, uint16_t elevation) {
    for (int i = 0; i < kSatelliteSlots; ++i)
        nav.snapshot->satellites[i] = {uint16_t(i + 1), elevation, uint16_t(30 * i), snr};
}

// Values far out (hostile) and then back to the usual.
void Values(AppState&, NavState& nav, GaugeDisplay& display, bool hostile) {
    AllValues(display, hostile ? -2147483647.0f : 0.0f);
    nav.tripDistance = hostile ? -2147483647.0f : 0.0f;
}
void HugeValues(AppState&, NavState&, GaugeDisplay& display, bool hostile) {
    AllValues(display, hostile ? 1e38f : 3.0f);
}
void NegativeValues(AppState&, NavState&, GaugeDisplay& display, bool hostile) {
    AllValues(display, hostile ? -3.7e6f : -3.7f);
}
void GarbledValues(AppState&, NavState&, GaugeDisplay& display, bool hostile) {
    AllValues(display, hostile ? kNaN : 50.0f);
}
void Coordinates(AppState& app, NavState& nav, GaugeDisplay& display, bool hostile) {
    KindRecord(app.skin, kKindLongitude).paramC = 9;
    nav.snapshot->longitude = hostile ? -1e38f : 0.0f;
    nav.snapshot->latitude = hostile ? 1e38f : 0.0f;
    AllValues(display, 0);
}
void SignalBars(AppState& app, NavState& nav, GaugeDisplay&, bool hostile) {
    KindRecord(app.skin, kKindSignal).paramB = hostile ? 65535 : 15;
    Satellites(nav, hostile ? 99 : 10, 45);
    nav.snapshot->satellites[1].snr = hostile ? 65535 : 10;
}
void BigRecords(AppState& app, NavState& nav, GaugeDisplay& display, bool hostile) {
    for (int kind = 0; kind < kGaugeKindCount; ++kind) {
        GaugeRecord& r = KindRecord(app.skin, kind);
        r.paramA = hostile ? 65535 : 40;
        r.paramB = hostile ? 65535 : 60;
        r.x = hostile ? 5 : 40;
        r.y = hostile ? 5 : 40;
    }
    Satellites(nav, 40, hostile ? 90 : 20);
    nav.snapshot->latitude = 47.6f;
    nav.snapshot->longitude = 122.3f;
    app.home = hostile ? LatLon{-47.6f, -57.7f} : LatLon{47.61f, 122.3f};
    AllValues(display, hostile ? 1e9f : 20.0f);
}

void TrailAndRecords(AppState& app, NavState& nav, GaugeDisplay& display, bool hostile) {
    BigRecords(app, nav, display, hostile);
    // A track running away from the position, far past the view when hostile.
    for (uint32_t i = 0; i < 40; ++i)
        nav.trail.points[i] = {47.6f + float(i) * (hostile ? 0.5f : 0.001f), 122.3f};
    nav.trail.index = 40;
}

const Case kCases[] = {
    {"course text", kKindCourse, 0, Values},
    {"knots text", kKindKnots, 0, HugeValues},
    {"rpm text", kKindObd2Rpm, 0, Values},
    {"fuel trim text", kKindObd2Stft1, 0, Values},
    {"longitude", kKindLongitude, 0, Coordinates},
    {"latitude", kKindLatitude, 0, Coordinates},
    {"trip", kKindTrip, 0, Values},
    {"distance home", kKindDistHome, 0, BigRecords},
    {"signal bars", kKindSignal, 0, SignalBars},
    {"signal, big record", kKindSignal, 0, BigRecords},
    {"heading tape", kKindHorizVantrel, 0, BigRecords},
    {"heading rose", kKindVantrel, 0, BigRecords},
    {"clock", kKindClock, 0, BigRecords},
    {"map view", kKindTrails, 0, TrailAndRecords},
    {"satellites", kKindSatellites, 0, BigRecords},
    {"home target", kKindHomeTarget, 0, BigRecords},
    {"dial", kKindSpeedometer, 0, HugeValues},
    {"dial, big record", kKindSpeedometer, 0, BigRecords},
    {"dial needle only", kKindObd2Speedometer, 1, NegativeValues},
    {"dial arc bar", kKindObd2ClvGauge, 2, HugeValues},
    {"dial arc bar only", kKindObd2TAdvGauge, 3, GarbledValues},
    {"turning scale", kKindObd2RpmGauge, 8, NegativeValues},
    {"turning scale, big record", kKindObd2MpgGauge, 8, BigRecords},
    {"horizontal scale", kKindObd2AitGauge, 4, HugeValues},
    {"horizontal bar", kKindObd2Stft1Gauge, 5, NegativeValues},
    {"vertical scale", kKindObd2MafGauge, 6, NegativeValues},
    {"vertical scale, big record", kKindObd2MafGauge, 6, BigRecords},
    {"vertical bar", kKindObd2Ltft2Gauge, 7, HugeValues},
    {"horizontal tape", kKindObd2TpsGauge, 9, NegativeValues},
    {"vertical tape", kKindObd2ImpGauge, 10, NegativeValues},
    {"vertical tape, big record", kKindObd2FpGauge, 10, BigRecords},
    {"line graph", kKindDepthGauge, 11, HugeValues},
    {"bar graph", kKindObd2VoltsGauge, 12, BigRecords},
    {"signed bar graph", kKindObd2Ltft1Gauge, 12, NegativeValues},
};

class RepaintArea : public RenderFixture {
  protected:
    // One frame of the case; returns the drawing calls with the clip in force on each.
    std::vector<std::pair<rec::Call, bool>> Frame(const Case& c, bool hostile) {
        c.setup(*app, *nav, *display, hostile);
        GaugeRecord& r = KindRecord(app->skin, c.kind);
        if (c.style != 0) r.paramD = c.style;
        ApplySkinCaps(app->skin); // as every skin load does
        for (uint32_t& word : display->values.changedMask)
            word = 0xFFFFFFFF; // every value moved
        for (RectI32& hit : display->hitRects)
            hit = RectI32{}; // as the value computation clears them on every tick
        rec::Current().calls.clear();
        fakes::Services().invalidated.clear();
        Compose(*display, *app, *nav, 320, 240, hostile ? 359 : 0);
        std::vector<std::pair<rec::Call, bool>> drawn;
        bool clipped = false;
        for (const auto& call : rec::Current().calls) {
            if (call.op == "SetClipRegion") clipped = true;
            if (call.op == "ResetClip") clipped = false;
            Box ignored;
            // The frame cache's own pixels count where its scales lie, not where it is copied
            // (row by row, or drawn over the area where the rows cannot be copied).
            const bool cacheCopy = call.op == "DrawImage" && display->cache.bitmap.Valid() &&
                                   call.image == rec::ImageId(display->cache.bitmap);
            if (call.op != "Clear" && !cacheCopy && InkOf(call, &ignored))
                drawn.push_back({call, clipped});
        }
        return drawn;
    }
    // The map view clips to its circle: what it draws lies within the circle's square.
    Box ViewSquare() {
        const GaugeRecord& centre = KindRecord(app->skin, kKindSatellites);
        int32_t r = int32_t(float(KindRecord(app->skin, kKindTrails).paramB) * 0.00999999978f * 90);
        return {double(centre.x) - r, double(centre.y) - r, double(centre.x) + r,
                double(centre.y) + r};
    }
};

TEST_F(RepaintArea, EveryKindRepaintsAllItDrewAndAllItHadDrawn) {
    InstallGaugeRenderers(display->renderers);
    display->renderers.editStep = nullptr;
    for (bool cached : {false, true})
        for (const Case& c : kCases) {
            SCOPED_TRACE(c.name);
            SCOPED_TRACE(cached ? "from the frame cache" : "drawn whole");
            display->cache.enabled = cached;
            app->skin.shownMask[0] = app->skin.shownMask[1] = 0;
            SetKindShown(app->skin, c.kind, true);
            display->fullRepaint = true;
            auto before = Frame(c, false);
            // Calm, hostile, calm again: each frame must repaint its own drawing and its
            // predecessor's.
            for (bool hostile : {true, false}) {
                auto now = Frame(c, hostile);
                const auto& rects = fakes::Services().invalidated;
                // From the cache a frame that draws the same as the one before draws nothing.
                if (!cached) {
                    ASSERT_FALSE(now.empty() && before.empty());
                }
                ASSERT_EQ(rects.size(), 1u) << (hostile ? "hostile" : "calm");
                for (const auto* frame : {&before, &now}) {
                    for (const auto& [call, clipped] : *frame) {
                        Box ink;
                        InkOf(call, &ink);
                        if (clipped) ink = Clipped(ink, ViewSquare());
                        if (ink.left >= ink.right || ink.top >= ink.bottom) continue;
                        EXPECT_TRUE(Inside(ink, rects[0]))
                            << (hostile ? "hostile " : "calm ") << call.op << " "
                            << rec::Narrow(call.text) << " at " << ink.left << "," << ink.top
                            << " - " << ink.right << "," << ink.bottom << " outside "
                            << rects[0].left << "," << rects[0].top << " - " << rects[0].right
                            << "," << rects[0].bottom;
                    }
                }
                before = now;
            }
        }
}

} // namespace
