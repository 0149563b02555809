#include "render/primitives.h"
#include "render/circular_view.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
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
// Beyond the pen's reach past its end: half its width, a miter join at the default limit of 10
// widths, and a pixel of anti-aliasing.
constexpr double kCutMarginPixels = 16.0;

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

// The view's round clip, or the frame's own when a drawing lies wholly inside the circle:
// cutting it away costs more under Wine than the drawing, and cuts nothing there.
class ViewClip {
  public:
    ViewClip(GaugeDisplay& display, const gfx::RectF& square)
        : display_(display), square_(square) {}
    void Round() {
        if (round_) return;
        if (!circle_) circle_.emplace(Circle(square_));
        // Within a rectangle being drawn again the circle is cut to it, unless it lies wholly
        // inside: the circle alone is then the same clip, and much cheaper under Wine than a
        // region combined of two.
        const bool cut = display_.frameClip && !Contains(*display_.frameClip, square_);
        display_.graphics.SetClip(*circle_,
                                  cut ? gfx::CombineMode::Intersect : gfx::CombineMode::Replace);
        round_ = true;
    }
    // Nothing else in the frame clips, so lifting the clip (back to the rectangle being drawn
    // again, if any) restores the surface as it was.
    void Lift() {
        if (!round_) return;
        if (display_.frameClip)
            display_.graphics.SetClip(*display_.frameClip, gfx::CombineMode::Replace);
        else
            display_.graphics.ResetClip();
        round_ = false;
    }

  private:
    static bool Contains(const gfx::RectF& outer, const gfx::RectF& inner) {
        return outer.x <= inner.x && outer.y <= inner.y &&
               outer.x + outer.width >= inner.x + inner.width &&
               outer.y + outer.height >= inner.y + inner.height;
    }
    static gfx::Region Circle(const gfx::RectF& square) {
        gfx::GraphicsPath path;
        path.AddEllipse(square);
        return gfx::Region(path);
    }
    GaugeDisplay& display_;
    gfx::RectF square_;
    std::optional<gfx::Region> circle_;
    bool round_ = false;
};

// The runs of the trail that reach into the view, gathered for one drawing call.
struct TrailRuns {
    gfx::PointF points[kTrailPoints];
    int32_t counts[kTrailPoints / 2];
    int32_t used = 0; // points taken by finished runs
    int32_t runs = 0;
    int32_t open = 0; // points of the run being gathered
};

// Only runs of two or more points are kept.
void EndRun(TrailRuns& trail) {
    if (trail.open >= 2) {
        trail.counts[trail.runs++] = trail.open;
        trail.used += trail.open;
    }
    trail.open = 0;
}

void AddPoint(TrailRuns& trail, const gfx::PointF& point) {
    trail.points[trail.used + trail.open++] = point;
}

// A digest of everything the trail's projection depends on: the ring and the view.
uint64_t ProjectionKey(const MapView& view, const TrailRing& ring) {
    uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](const void* bytes, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(bytes);
        // Eight bytes at a time: the ring is 16 KiB and is digested on every frame.
        std::size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            uint64_t word;
            std::memcpy(&word, p + i, 8);
            hash = (hash ^ word) * 1099511628211ull;
        }
        for (; i < size; ++i)
            hash = (hash ^ p[i]) * 1099511628211ull;
    };
    mix(ring.points, sizeof ring.points);
    mix(&ring.index, sizeof ring.index);
    const double numbers[] = {double(view.cx),
                              double(view.cy),
                              double(view.radius),
                              view.pixelsPerMile,
                              double(view.rotation),
                              double(view.shownCourse),
                              double(view.position.latitude),
                              double(view.position.longitude)};
    mix(numbers, sizeof numbers);
    return hash;
}

// Newest point first; every break (latitude 0) ends a run, and only runs of two or more points
// are drawn. A point that cannot be placed counts as a break rather than joining its neighbours.
// Only segments that can put a pixel inside the circle are kept: a long drive leaves most of
// the trail far outside the view, and rasterising it there only to clip it away costs more than
// everything else in a frame. The ends where a run is cut lie beyond the circle by more than
// any join or cap of the pen reaches, so the pixels inside are the same.
void ProjectTrail(const MapView& view, const TrailRing& ring, TrailRuns& trail) {
    trail.used = trail.runs = trail.open = 0;
    const double reach = view.radius + kCutMarginPixels;
    gfx::PointF previous{};
    bool placedPrevious = false;
    // A stored index of 2048 or more would walk off the ring; it wraps like the ring does.
    uint32_t slot = ring.index % kTrailPoints;
    for (uint32_t step = 0; step < kTrailPoints; ++step) {
        slot = (slot == 0 ? kTrailPoints : slot) - 1;
        const GeoPoint point = ring.points[slot];
        double pixels = 0;
        double bearing = 0;
        if (!IsSet(point) || !Locate(view, point, &pixels, &bearing)) {
            EndRun(trail);
            placedPrevious = false;
            continue;
        }
        const gfx::PointF here = MapPointAt(view.cx, view.cy, bearing, pixels);
        if (placedPrevious && SegmentReachesCircle(previous, here, view.cx, view.cy, reach)) {
            if (trail.open == 0) AddPoint(trail, previous);
            AddPoint(trail, here);
        } else {
            EndRun(trail);
        }
        previous = here;
        placedPrevious = true;
    }
    EndRun(trail);
}

// The projection is kept for the next call: a frame over the cache projects the trail once to
// find what changed and draws the same, and with steady data it does not change at all.
void DrawTrail(gfx::Graphics& graphics, ViewClip& clip, const MapView& view, const TrailRing& ring,
               gfx::Argb color) {
    static TrailRuns trail; // 24 KiB, too much for every frame's stack; one thread draws
    static uint64_t projected = 0;
    static bool valid = false;
    const uint64_t key = ProjectionKey(view, ring);
    if (!valid || key != projected) {
        ProjectTrail(view, ring, trail);
        projected = key;
        valid = true;
    }
    if (trail.runs == 0) return;
    clip.Round();
    gfx::Pen pen(color, kPenWidth);
    if ((color >> 24) == 0xFF) {
        graphics.DrawLineRuns(pen, trail.points, trail.counts, trail.runs);
        return;
    }
    // Where runs cross, a translucent pen blends once per call: each run keeps its own.
    const gfx::PointF* run = trail.points;
    for (int32_t r = 0; r < trail.runs; ++r) {
        graphics.DrawLines(pen, run, trail.counts[r]);
        run += trail.counts[r];
    }
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

void DrawHome(gfx::Graphics& graphics, ViewClip& clip, const MapView& view, const GeoPoint& home,
              const GaugeRecord& homeRecord, gfx::Argb trailColor) {
    double pixels = 0;
    double bearing = 0;
    if (!Locate(view, home, &pixels, &bearing)) return;
    clip.Round();
    if (kHomeInsideShare * view.size > pixels)
        DrawHomeMark(graphics, view, pixels, bearing, homeRecord);
    else
        DrawHomeArrow(graphics, view, bearing, trailColor);
}

// Whether the box, grown by `margin` on every side, lies inside the view's circle.
bool InsideCircle(const MapView& view, const gfx::RectF& box, float margin) {
    const double r = view.radius;
    const double left = double(box.x) - margin - view.cx;
    const double right = double(box.x + box.width) + margin - view.cx;
    const double top = double(box.y) - margin - view.cy;
    const double bottom = double(box.y + box.height) + margin - view.cy;
    for (double dx : {left, right})
        for (double dy : {top, bottom})
            if (dx * dx + dy * dy > r * r) return false;
    return true;
}

// One satellite's number, its box centred on the anchor horizontally and standing on it.
void DrawSatellite(gfx::Graphics& graphics, ViewClip& clip, const MapView& view,
                   const gfx::Font& font, const gfx::PointF& anchor, uint16_t id, gfx::Argb color) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%d", int(id));
    const std::u16string text = gfx::AnsiToUtf16(digits);
    // Measured and drawn in layout boxes without size, which neither wrap nor clip. A box of
    // (characters x em) by em, the em being in points, is narrower than a digit and lower than
    // a line in pixels: GDI+ then measures an empty box and the number would hang below and
    // to the right of its point instead of standing centred on it.
    gfx::RectF box;
    graphics.MeasureString(text, font, {0, 0, 0, 0}, nullptr, &box);
    const gfx::RectF placed{anchor.x - box.width / 2, anchor.y - box.height, box.width, box.height};
    // The measured box holds the glyphs with GDI+'s padding; half an em more covers overhangs
    // and anti-aliasing.
    if (InsideCircle(view, placed, font.EmPixels() / 2 + 1))
        clip.Lift();
    else
        clip.Round();
    gfx::SolidBrush brush(color);
    graphics.DrawString(text, font, {placed.x, placed.y, 0, 0}, nullptr, brush);
}

void DrawSatellites(GaugeDisplay& display, ViewClip& clip, const MapView& view,
                    const GaugeRecord& record, const GpsSnapshot& gps, int32_t heading,
                    bool fixedNorth) {
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
        DrawSatellite(graphics, clip, view, font, anchor, entry.id,
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

    // Everything the view draws is cut to its circle, the clip being set only for what can
    // reach past it.
    ViewClip clip(display, square);
    if (trails) DrawTrail(graphics, clip, view, nav.trail, trailRecord.color);
    if (home)
        DrawHome(graphics, clip, view, app.home, KindRecord(skin, kKindHomeTarget),
                 trailRecord.color);
    if (satellites)
        DrawSatellites(display, clip, view, KindRecord(skin, kKindSatellites), *nav.snapshot,
                       heading, HasOption(app, kOptionFixedNorth));
    clip.Lift();
    display.hitRects[kKindTrails] = {view.cx - view.radius, view.cy - view.radius,
                                     view.cx + view.radius, view.cy + view.radius};
}
