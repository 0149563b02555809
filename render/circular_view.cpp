#include "render/primitives.h"
#include "render/circular_view.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "render/gauge_display.h"
#include "render/map_geometry.h"
#include "state/app_state.h"
#include "state/nav_state.h"

namespace {

constexpr gfx::Argb kOutlineColor = 0xFF00FF00;
constexpr float kPenWidth = 1.0f;
constexpr double kMilesToPixelsPerZoom = 0.5; // d miles are d × zoom × 0.5 pixels out
constexpr double kHomeInsideShare = 0.85;     // of "Size": nearer than this, the square mark
constexpr double kArrowBaseShare = 0.9;       // of the radius: the arrow's base corners
constexpr double kArrowHalfAngle = 4.0;       // degrees either side of the home bearing
// A point far off the map (a glitch in the trail, or a zoom that throws it miles away) is
// pulled in to this distance on its own bearing: the part inside the circle looks the same, and
// GDI+ is never handed coordinates that overflow its fixed-point rasteriser.
constexpr double kFarthestPixels = 1.0e6;

// What the three kinds share in one frame.
struct MapView {
    int32_t cx = 0;
    int32_t cy = 0;
    int32_t radius = 0;
    uint16_t size = 0;
    double pixelsPerMile = 0;
    int32_t rotation = 0;  // degrees the trail and home are turned back (0 with north up)
    float shownCourse = 0; // turns them instead when the rotation is negative
    GeoPoint position;     // the vehicle, read once from the GPS record
};

MapView ViewOf(const AppState& app, const NavState& nav, int32_t heading) {
    const GaugeRecord& centre = KindRecord(app.skin, kKindSatellites);
    const GaugeRecord& trails = KindRecord(app.skin, kKindTrails);
    MapView view;
    view.cx = centre.x;
    view.cy = centre.y;
    view.size = trails.paramB;
    view.radius = MapViewRadius(trails.paramB);
    view.pixelsPerMile = trails.paramA * kMilesToPixelsPerZoom;
    view.rotation = HasOption(app, kOptionFixedNorth) ? 0 : heading;
    view.shownCourse = nav.shownCourse;
    view.position = {nav.snapshot->latitude, nav.snapshot->longitude};
    return view;
}

gfx::RectF Square(const MapView& view) {
    float r = float(view.radius);
    return {float(view.cx) - r, float(view.cy) - r, 2 * r, 2 * r};
}

// Pixel distance and bearing of a position; false when a number read from the GPS record, the
// trail or the settings is not finite, so the position cannot be placed.
bool Locate(const MapView& view, const GeoPoint& where, double* pixels, double* bearing) {
    *pixels = double(MapDistanceMiles(view.position, where)) * view.pixelsPerMile;
    *bearing = MapBearing(view.position, where, view.rotation, view.shownCourse);
    if (!std::isfinite(*pixels) || !std::isfinite(*bearing)) return false;
    if (*pixels > kFarthestPixels) *pixels = kFarthestPixels;
    return true;
}

void DrawRun(gfx::Graphics& graphics, const gfx::Pen& pen, const gfx::PointF* run, int32_t count) {
    if (count >= 2) graphics.DrawLines(pen, run, count);
}

// Newest point first; every break (latitude 0) ends a run, and only runs of two or more points
// are drawn. A point that cannot be placed counts as a break rather than joining its neighbours.
void DrawTrail(gfx::Graphics& graphics, const MapView& view, const TrailRing& ring,
               gfx::Argb color) {
    gfx::Pen pen(color, kPenWidth);
    gfx::PointF run[kTrailPoints];
    int32_t count = 0;
    // A stored index of 2048 or more would walk off the ring; it wraps like the ring does.
    uint32_t slot = ring.index % kTrailPoints;
    for (uint32_t step = 0; step < kTrailPoints; ++step) {
        slot = (slot == 0 ? kTrailPoints : slot) - 1;
        const GeoPoint point = ring.points[slot];
        double pixels = 0;
        double bearing = 0;
        if (IsSet(point) && Locate(view, point, &pixels, &bearing)) {
            run[count++] = MapPointAt(view.cx, view.cy, bearing, pixels);
            continue;
        }
        DrawRun(graphics, pen, run, count);
        count = 0;
    }
    DrawRun(graphics, pen, run, count);
}

// Home well inside the view: the outline of a square centred on it (integer corner).
void DrawHomeMark(gfx::Graphics& graphics, const MapView& view, double pixels, double bearing,
                  const GaugeRecord& home) {
    double t = MapScreenAngle(bearing);
    int32_t x = view.cx + int32_t(pixels * std::cos(t));
    int32_t y = view.cy + int32_t(pixels * std::sin(t));
    int32_t side = home.paramB;
    gfx::Pen pen(home.color, kPenWidth);
    graphics.DrawRectangle(pen,
                           {float(x - side / 2), float(y - side / 2), float(side), float(side)});
}

// Home near the rim or beyond: a filled triangle at the rim pointing out towards it.
void DrawHomeArrow(gfx::Graphics& graphics, const MapView& view, double bearing, gfx::Argb color) {
    const double r = view.radius;
    const gfx::PointF corners[3] = {
        MapPointAt(view.cx, view.cy, bearing, r),
        MapPointAt(view.cx, view.cy, bearing + kArrowHalfAngle, kArrowBaseShare * r),
        MapPointAt(view.cx, view.cy, bearing - kArrowHalfAngle, kArrowBaseShare * r)};
    gfx::SolidBrush brush(color);
    graphics.FillPolygon(brush, corners, 3, gfx::FillMode::Alternate);
}

void DrawHome(gfx::Graphics& graphics, const MapView& view, const GeoPoint& home,
              const GaugeRecord& homeRecord, gfx::Argb trailColor) {
    double pixels = 0;
    double bearing = 0;
    if (!Locate(view, home, &pixels, &bearing)) return;
    if (kHomeInsideShare * view.size > pixels)
        DrawHomeMark(graphics, view, pixels, bearing, homeRecord);
    else
        DrawHomeArrow(graphics, view, bearing, trailColor);
}

// One satellite's number, its box centred on the anchor horizontally and standing on it.
void DrawSatellite(gfx::Graphics& graphics, const gfx::Font& font, const gfx::PointF& anchor,
                   uint16_t id, gfx::Argb color) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%d", int(id));
    const std::u16string text = gfx::AnsiToUtf16(digits);
    // Measured and drawn in layout boxes without size, which neither wrap nor clip. A box of
    // (characters x em) by em, the em being in points, is narrower than a digit and lower than
    // a line in pixels: GDI+ then measures an empty box and the number would hang below and
    // to the right of its point instead of standing centred on it.
    gfx::RectF box;
    graphics.MeasureString(text, font, {0, 0, 0, 0}, nullptr, &box);
    gfx::SolidBrush brush(color);
    graphics.DrawString(text, font, {anchor.x - box.width / 2, anchor.y - box.height, 0, 0},
                        nullptr, brush);
}

void DrawSatellites(GaugeDisplay& display, const MapView& view, const GaugeRecord& record,
                    const GpsSnapshot& gps, int32_t heading, bool fixedNorth) {
    gfx::Graphics& graphics = display.graphics;
    // The GPS server rewrites its record while we read it: work on one copy of the table.
    SatelliteEntry satellites[kSatelliteSlots];
    std::memcpy(satellites, gps.satellites, sizeof satellites);
    const int32_t strongest = StrongestSignal(satellites);
    const gfx::Font& font = KindScaleFont(display, kKindSatellites, record, float(record.paramA));
    if (!font.Valid()) return;
    for (const SatelliteEntry& entry : satellites) {
        if (entry.id == 0 || entry.elevation == 0 || entry.snr == 0) continue;
        int32_t direction = SatelliteDirection(entry.azimuth, heading, fixedNorth);
        gfx::PointF anchor = MapPointAt(view.cx, view.cy, direction, entry.elevation);
        DrawSatellite(graphics, font, anchor, entry.id,
                      SatelliteColor(record.color, entry.snr, strongest));
    }
}

} // namespace

bool IsCircularViewKind(int32_t kind) {
    return kind == kKindSatellites || kind == kKindHomeTarget || kind == kKindTrails;
}

void DrawCircularView(GaugeDisplay& display, AppState& app, const NavState& nav, int32_t heading) {
    const SkinRecord& skin = app.skin;
    const bool satellites = IsKindShown(skin, kKindSatellites);
    const bool home = IsKindShown(skin, kKindHomeTarget);
    const bool trails = IsKindShown(skin, kKindTrails);
    if (!satellites && !home && !trails) return;

    gfx::Graphics& graphics = display.graphics;
    const MapView view = ViewOf(app, nav, heading);
    const gfx::RectF square = Square(view);
    const GaugeRecord& trailRecord = KindRecord(skin, kKindTrails);

    // Outlined while the dialog edits one of the view's kinds, however the cluster's own
    // selection stands.
    if (app.configDialog != nullptr && IsCircularViewKind(app.dialogKind)) {
        gfx::Pen outline(kOutlineColor, kPenWidth);
        graphics.DrawEllipse(outline, square);
    }

    gfx::GraphicsPath circle;
    circle.AddEllipse(square);
    gfx::Region clip(circle);
    graphics.SetClip(clip,
                     display.frameClip ? gfx::CombineMode::Intersect : gfx::CombineMode::Replace);

    if (trails) DrawTrail(graphics, view, nav.trail, trailRecord.color);
    if (home)
        DrawHome(graphics, view, app.home, KindRecord(skin, kKindHomeTarget), trailRecord.color);
    if (satellites)
        DrawSatellites(display, view, KindRecord(skin, kKindSatellites), *nav.snapshot, heading,
                       HasOption(app, kOptionFixedNorth));

    // Nothing else in the frame clips, so lifting the clip (back to the rectangle being drawn
    // again, if any) restores the surface as it was.
    if (display.frameClip)
        graphics.SetClip(*display.frameClip, gfx::CombineMode::Replace);
    else
        graphics.ResetClip();
    display.hitRects[kKindTrails] = {view.cx - view.radius, view.cy - view.radius,
                                     view.cx + view.radius, view.cy + view.radius};
}
