#include "bench/cluster_wine/primitive_costs_win.h"

#include <cstdio>

#include "bench/cluster_wine/frame_probe_win.h"
#include "render/primitives.h"

namespace {

constexpr int kRepeats = 200;
constexpr int kFrameRepeats = 50; // whole-frame calls take milliseconds
constexpr int kPolylinePoints = 20;

template <typename Call> void Time(const char* what, int repeats, Call call) {
    const double start = NowMicros();
    for (int i = 0; i < repeats; ++i)
        call();
    std::printf("  %-53s mean %9.1f us\n", what, (NowMicros() - start) / repeats);
}

} // namespace

void PrintPrimitiveCosts(GaugeDisplay& display, const AppState& app) {
    gfx::Graphics& g = display.graphics;
    const GaugeRecord& record = KindRecord(app.skin, kKindAltitude);
    const gfx::RectF frame{0, 0, float(app.frameWidth), float(app.frameHeight)};
    std::printf("== Single GDI+ calls under Wine on the %d x %d back buffer\n", app.frameWidth,
                app.frameHeight);
    Time("a gauge font (family and font, as RecordFont)", kRepeats,
         [&] { gfx::Font font = RecordFont(record, 10); });
    const gfx::Font font = RecordFont(record, 10);
    const gfx::SolidBrush brush(0xFFE6EAF0);
    const gfx::Pen pen(0xFFE6EAF0, 1);
    const std::u16string text = u"123.4";
    gfx::RectF box;
    // A new layout box every time, so that GDI+ measures instead of the surface's memo.
    float width = 100;
    Time("MeasureString, 5 characters, measured by GDI+", kRepeats, [&] {
        g.MeasureString(text, font, {0, 0, width += 1, 30}, nullptr, &box);
    });
    Time("MeasureString, 5 characters, measured before", kRepeats, [&] {
        g.MeasureString(text, font, {0, 0, 100, 30}, nullptr, &box);
    });
    Time("DrawString, 5 characters", kRepeats, [&] {
        g.DrawString(text, font, {10, 10, 0, 0}, nullptr, brush);
    });
    // Against the five: what a text costs however short it is, and what each character adds.
    const std::u16string digit = u"7", longer = u"12:00:00 PM";
    Time("DrawString, 1 character", kRepeats, [&] {
        g.DrawString(digit, font, {10, 10, 0, 0}, nullptr, brush);
    });
    Time("DrawString, 11 characters", kRepeats, [&] {
        g.DrawString(longer, font, {10, 10, 0, 0}, nullptr, brush);
    });
    Time("DrawLine", kRepeats, [&] { g.DrawLine(pen, {10, 10}, {50, 20}); });
    gfx::PointF points[kPolylinePoints];
    for (int i = 0; i < kPolylinePoints; ++i)
        points[i] = {float(100 + 3 * i), float(100 + 5 * (i % 3))};
    Time("DrawLines, 20 points", kRepeats, [&] { g.DrawLines(pen, points, kPolylinePoints); });
    // The tape's ticks: 2 pixels wide, each a path to fill under Wine.
    const gfx::Pen wide(0xFFE6EAF0, 2);
    gfx::PointF ticks[2 * kPolylinePoints];
    int32_t twos[kPolylinePoints];
    for (int i = 0; i < kPolylinePoints; ++i) {
        ticks[2 * i] = {float(100 + 6 * i), 150};
        ticks[2 * i + 1] = {float(100 + 6 * i), 170};
        twos[i] = 2;
    }
    Time("20 lines 2 pixels wide, a DrawLine each", kRepeats / 10, [&] {
        for (int i = 0; i < kPolylinePoints; ++i)
            g.DrawLine(wide, ticks[2 * i], ticks[2 * i + 1]);
    });
    Time("20 lines 2 pixels wide, in one DrawLineRuns", kRepeats / 10,
         [&] { g.DrawLineRuns(wide, ticks, twos, kPolylinePoints); });
    // A long drive's trail in the map view: 1 pixel wide, in runs as the view cuts it. Under
    // Wine its cost grows with the number of points, far more than with the area they cover.
    constexpr int kTrailRuns = 130, kTrailRun = 15;
    static gfx::PointF trail[kTrailRuns * kTrailRun];
    int32_t trailCounts[kTrailRuns];
    for (int r = 0; r < kTrailRuns; ++r) {
        trailCounts[r] = kTrailRun;
        for (int i = 0; i < kTrailRun; ++i)
            trail[r * kTrailRun + i] = {float(300 + (r * 7 + i * 11) % 180),
                                        float(5 + (r * 13 + i * 5) % 180)};
    }
    Time("a trail, 1950 points in 130 runs, one DrawLineRuns", kFrameRepeats,
         [&] { g.DrawLineRuns(pen, trail, trailCounts, kTrailRuns); });
    Time("Clear, the whole frame", kFrameRepeats, [&] { g.Clear(0xFF000000); });
    // A changed area restored from a frame-sized cache: the map view's square of the shipped
    // skin.
    gfx::Bitmap cache(app.frameWidth, app.frameHeight);
    const gfx::RectF area{292, 0, 188, 192};
    Time("cache over a 188 x 192 area, a SourceCopy DrawImage", kRepeats, [&] {
        g.SetCompositingMode(gfx::CompositingMode::SourceCopy);
        g.DrawImage(cache, area, area, gfx::Unit::Pixel);
        g.SetCompositingMode(gfx::CompositingMode::SourceOver);
    });
    Time("cache over a 188 x 192 area, its rows copied", kRepeats,
         [&] { display.frameBitmap.CopyAreaFrom(cache, 292, 0, 188, 192); });
    const gfx::Image& background = display.images[kImageBackground];
    if (background.Valid())
        Time("DrawImage, the whole background", kFrameRepeats,
             [&] { g.DrawImage(background, frame, frame, gfx::Unit::Pixel); });
}
