#include "render/compose.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>
#include <vector>
#include <cstdio>

#include "render/gauge_text.h"
#include "render/primitives.h"
#include "sources/great_circle.h"

namespace {

constexpr gfx::Argb kOpaqueBlack = 0xFF000000;

constexpr float kHomeArmDistance = 0.03f;      // leaving beyond this arms the beep
constexpr float kHomeArrivedDistance = 0.008f; // arriving within this beeps once
constexpr float kHomeDistanceLimit = 999.9f;

constexpr int32_t kSignalStrong = 30;  // bars below this are half bright
constexpr int32_t kSignalInvalid = 99; // never taken as the peak
constexpr int32_t kMinSignalBarWidth = 2;

constexpr int kTimeTextLimit = 25; // at most 24 characters
constexpr int kDateTextLimit = 32; // at most 31 characters

bool KindBitSet(const uint32_t mask[4], int kind) {
    return (mask[kind / 32] >> (kind % 32)) & 1u;
}

// The analog kinds: default half-sweep, signed scale, and whether "Start" is the kind's paramC.
struct AnalogRule {
    int32_t halfSweep;
    bool signedScale;
    bool ownStart;
    float valueFactor;
};

bool AnalogRuleOf(int kind, AnalogRule* rule) {
    switch (kind) {
    case kKindSpeedometer:
    case kKindObd2Speedometer:
        *rule = {120, false, false, 1.0f};
        return true;
    case kKindObd2RpmGauge:
        *rule = {120, false, false, 0.01f};
        return true;
    case kKindObd2MpgGauge:
    case kKindObd2ClvGauge:
    case kKindObd2AitGauge:
    case kKindObd2MafGauge:
    case kKindObd2TpsGauge:
    case kKindObd2ImpGauge:
    case kKindObd2FpGauge:
    case kKindObd2CtGauge:
    case kKindObd2VoltsGauge:
    case kKindDepthGauge:
        *rule = {60, false, true, 1.0f};
        return true;
    case kKindObd2TAdvGauge:
    case kKindObd2Stft1Gauge:
    case kKindObd2Stft2Gauge:
    case kKindObd2Ltft1Gauge:
    case kKindObd2Ltft2Gauge:
        *rule = {60, true, false, 1.0f};
        return true;
    default:
        return false;
    }
}

void DrawStyledGauge(GaugeDisplay& display, SkinRecord& skin, int kind, const AnalogRule& rule) {
    const GaugeRecord& record = KindRecord(skin, kind);
    StyledGauge gauge;
    gauge.kind = kind;
    gauge.value = display.values.needleValue[kind] * rule.valueFactor;
    gauge.defaultHalfSweep = rule.halfSweep;
    gauge.signedScale = rule.signedScale;
    gauge.startValue = rule.ownStart ? float(record.paramC) : 0.0f;
    gauge.style = record.paramD;
    gauge.centreDirection = KindRecord(skin, kind - 1).paramC;

    StyleRenderer renderer = nullptr;
    switch (GaugeStyleOf(record.paramD)) {
    case GaugeStyle::Dial:
        renderer = display.renderers.dial;
        break;
    case GaugeStyle::Linear:
        renderer = display.renderers.linear;
        break;
    case GaugeStyle::HistoryGraph:
        renderer = display.renderers.historyGraph;
        break;
    case GaugeStyle::None:
        break;
    }
    if (renderer) renderer(display, skin, gauge);
}

// One kind of the loop: either its text in `text`, or its drawing.
void DrawKind(GaugeDisplay& display, AppState& app, const NavState& nav, int kind,
              const SystemTime16& local, int32_t heading, char* text, std::size_t size) {
    SkinRecord& skin = app.skin;
    const GpsSnapshot& gps = *nav.snapshot;
    TextStyle number = NumberTextStyle(kind);
    if (number != TextStyle::None) {
        FormatNumber(number, display.values.value[kind], text, size);
        return;
    }
    AnalogRule rule;
    if (AnalogRuleOf(kind, &rule)) {
        DrawStyledGauge(display, skin, kind, rule);
        return;
    }
    switch (kind) {
    case kKindLongitude:
        FormatCoordinate(gps.longitude, false, KindRecord(skin, kind).paramC, text, size);
        break;
    case kKindLatitude:
        FormatCoordinate(gps.latitude, true, KindRecord(skin, kind).paramC, text, size);
        break;
    case kKindTime:
        display.hooks.formatTime(local, text,
                                 int(size) < kTimeTextLimit ? int(size) : kTimeTextLimit);
        break;
    case kKindShortDate:
    case kKindLongDate:
        display.hooks.formatDate(local, kind == kKindLongDate, text,
                                 int(size) < kDateTextLimit ? int(size) : kDateTextLimit);
        break;
    case kKindTrip:
        std::snprintf(text, size, "%5.2f", double(nav.tripDistance));
        break;
    case kKindDistHome:
        DrawDistanceHome(display, app, gps, text, size);
        break;
    case kKindHorizVantrel:
        if (display.renderers.headingTape) display.renderers.headingTape(display, skin, heading);
        break;
    case kKindSignal:
        DrawSignalBars(display, skin, gps);
        break;
    case kKindClock:
        DrawClockHands(display, skin, local);
        break;
    default: // the heading rose after the loop, the map view before it, "Needle Color" never
        break;
    }
}

bool IsEmpty(const RectI32& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

RectI32 Union(const RectI32& a, const RectI32& b) {
    if (IsEmpty(a)) return b;
    if (IsEmpty(b)) return a;
    return {a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
            a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

bool SameRect(const RectI32& a, const RectI32& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The map view draws the values of all three of its kinds into the area kept under "Trails".
bool ScreenChanged(const GaugeDisplay& display, int kind) {
    if (KindBitSet(display.values.changedMask, kind)) return true;
    return kind == kKindTrails && (KindBitSet(display.values.changedMask, kKindSatellites) ||
                                   KindBitSet(display.values.changedMask, kKindHomeTarget));
}

} // namespace

namespace {

bool Overlap(const RectI32& a, const RectI32& b) {
    return !IsEmpty(a) && !IsEmpty(b) && a.left < b.right && b.left < a.right && a.top < b.bottom &&
           b.top < a.bottom;
}

void DrawBackground(GaugeDisplay& display, int32_t frameWidth, int32_t frameHeight) {
    display.graphics.Clear(kOpaqueBlack);
    const gfx::Image& background = display.images[kImageBackground];
    if (background.Valid()) {
        gfx::RectF frame{0, 0, float(frameWidth), float(frameHeight)};
        display.graphics.DrawImage(background, frame, frame, gfx::Unit::Pixel);
    }
}

// What one pass put down besides the kinds' own areas: the map view comes before every kind and
// the heading rose after them all, so both are kept apart for the frame cache's order check.
struct PassInk {
    RectI32 view;
    RectI32 rose;
};

bool DemoteCoveredScales(GaugeDisplay& display, const PassInk& pass);

// One pass over the frame in the composer's order: black and the background, the map view, the
// kinds in index order, the heading rose. `display.layer` says which parts each draws. With
// `parts`, what each part drew is described there; with `only`, just the parts it names are drawn
// and the kinds' areas are left as they stand.
PassInk DrawPass(GaugeDisplay& display, AppState& app, const NavState& nav, int32_t frameWidth,
                 int32_t frameHeight, int32_t heading, const SystemTime16& local,
                 FrameParts* parts = nullptr, const bool* only = nullptr) {
    const DrawLayer layer = display.layer;
    gfx::Graphics& g = display.graphics;
    PassInk pass;
    if (!only)
        for (RectI32& area : display.inkAreas)
            area = RectI32{};
    if (parts)
        for (int p = 0; p < kFrameParts; ++p) {
            parts->digest[p] = 0;
            parts->ink[p] = RectI32{};
        }
    auto begin = [&](int part) {
        if (only && !only[part]) return false;
        g.BeginInk();
        return true;
    };
    auto end = [&](int part) {
        RectI32 ink;
        if (!g.EndInk(&ink.left, &ink.top, &ink.right, &ink.bottom)) ink = RectI32{};
        if (parts) {
            parts->digest[part] = g.InkDigest();
            parts->ink[part] = ink;
        }
        return ink;
    };
    if (layer != DrawLayer::MovingParts) DrawBackground(display, frameWidth, frameHeight);

    if (layer != DrawLayer::StaticParts && display.renderers.circularView && begin(kViewPart)) {
        display.renderers.circularView(display, app, nav, heading);
        pass.view = end(kViewPart);
        // The view's hit rectangle is registered under "Trails", and so is its area.
        if (!only) display.inkAreas[kKindTrails] = Union(display.inkAreas[kKindTrails], pass.view);
    }

    for (int kind = 0; kind < kGaugeKindCount; ++kind) {
        if (!IsKindShown(app.skin, kind)) continue;
        if (layer == DrawLayer::StaticParts && !display.cache.cached[kind]) continue;
        if (!begin(KindPart(kind))) continue;
        char text[kGaugeTextSize] = {};
        DrawKind(display, app, nav, kind, local, heading, text, sizeof text);
        text[sizeof text - 1] = '\0';
        if (text[0] != '\0' && layer != DrawLayer::StaticParts)
            DrawGaugeText(display, app.skin, kind, text);
        const RectI32 ink = end(KindPart(kind));
        if (!only) display.inkAreas[kind] = Union(display.inkAreas[kind], ink);
    }

    if (layer != DrawLayer::StaticParts && IsKindShown(app.skin, kKindVantrel) &&
        begin(kRosePart)) {
        DrawHeadingRose(display, app.skin, app.options, heading);
        pass.rose = end(kRosePart);
    }
    return pass;
}

// Copies the cache over the frame, or over one rectangle of it. The rows are copied where the
// bitmaps allow it, which under Wine costs a fiftieth of drawing the cache over the area.
void RestoreFromCache(GaugeDisplay& display, const RectI32& r) {
    if (display.frameBitmap.CopyAreaFrom(display.cache.bitmap, r.left, r.top, r.right - r.left,
                                         r.bottom - r.top) == gfx::Status::Ok)
        return;
    const gfx::RectF area{float(r.left), float(r.top), float(r.right - r.left),
                          float(r.bottom - r.top)};
    display.graphics.SetCompositingMode(gfx::CompositingMode::SourceCopy);
    display.graphics.DrawImage(display.cache.bitmap, area, area, gfx::Unit::Pixel);
    display.graphics.SetCompositingMode(gfx::CompositingMode::SourceOver);
}

// The rectangles to draw again: where each part that changed was and is, merged where they
// touch so that no pixel is drawn twice.
std::vector<RectI32> ChangedAreas(const FrameParts& before, const FrameParts& now, int32_t width,
                                  int32_t height) {
    std::vector<RectI32> areas;
    for (int p = 0; p < kFrameParts; ++p) {
        if (before.digest[p] == now.digest[p] && SameRect(before.ink[p], now.ink[p])) continue;
        RectI32 r = Union(before.ink[p], now.ink[p]);
        r = {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width),
             std::min(r.bottom, height)};
        if (!IsEmpty(r)) areas.push_back(r);
    }
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t a = 0; a < areas.size() && !merged; ++a)
            for (size_t b = a + 1; b < areas.size() && !merged; ++b)
                if (Overlap(areas[a], areas[b])) {
                    areas[a] = Union(areas[a], areas[b]);
                    areas.erase(areas.begin() + std::ptrdiff_t(b));
                    merged = true;
                }
    }
    return areas;
}

// A frame over the previous one: the parts are probed (they describe their calls without
// drawing), and only the rectangles of the parts whose calls changed are drawn again, from the
// cache up, by every part that reaches into them, in the frame's order. False when a cached
// scale turned out to be covered: the frame must then be drawn whole.
bool DrawChangedParts(GaugeDisplay& display, AppState& app, const NavState& nav, int32_t width,
                      int32_t height, int32_t heading, const SystemTime16& local, PassInk* pass) {
    FrameParts now;
    display.layer = DrawLayer::MovingParts;
    // The signal bars raise their peak slot by slot as they draw: the probe must leave it where
    // the frame starts, and the frame must end where a whole frame would.
    const int32_t peakBefore = display.signalPeak;
    display.graphics.SetProbe(true);
    *pass = DrawPass(display, app, nav, width, height, heading, local, &now);
    display.graphics.SetProbe(false);
    const int32_t peakAfter = display.signalPeak;
    display.signalPeak = peakBefore;
    if (DemoteCoveredScales(display, *pass)) {
        display.layer = DrawLayer::Everything;
        return false;
    }
    for (const RectI32& r : ChangedAreas(display.parts, now, width, height)) {
        bool only[kFrameParts];
        for (int p = 0; p < kFrameParts; ++p)
            only[p] = Overlap(now.ink[p], r);
        const gfx::RectF area{float(r.left), float(r.top), float(r.right - r.left),
                              float(r.bottom - r.top)};
        display.frameClip = area;
        display.graphics.SetClip(area, gfx::CombineMode::Replace);
        RestoreFromCache(display, r);
        DrawPass(display, app, nav, width, height, heading, local, nullptr, only);
        display.graphics.ResetClip();
        display.frameClip.reset();
    }
    display.signalPeak = peakAfter;
    display.layer = DrawLayer::Everything;
    display.parts = now;
    display.parts.valid = true;
    return true;
}

// A scale that stands still whatever the value: the dial styles with a fixed scale (0, 2) and
// the linear styles with a scale that does not scroll (4, 6).
bool StandingScale(const GaugeRecord& record, int kind) {
    AnalogRule rule;
    if (!AnalogRuleOf(kind, &rule) || record.paramB == 0) return false;
    return record.paramD == 0 || record.paramD == 2 || record.paramD == 4 || record.paramD == 6;
}

bool CacheStale(const GaugeDisplay& display, const SkinRecord& skin, int32_t width,
                int32_t height) {
    const FrameCache& cache = display.cache;
    return !cache.valid || cache.width != width || cache.height != height ||
           SkinRecordsDiffer(cache.skin, skin);
}

// Draws the cache: black, the background and every standing scale, in the frame's order.
bool BuildCache(GaugeDisplay& display, AppState& app, const NavState& nav, int32_t width,
                int32_t height, int32_t heading, const SystemTime16& local) {
    FrameCache& cache = display.cache;
    cache.valid = false;
    if (!cache.bitmap.Valid() || cache.width != width || cache.height != height) {
        cache.graphics = gfx::Graphics();
        cache.bitmap = gfx::Bitmap(width, height);
        cache.graphics = gfx::Graphics::FromImage(cache.bitmap);
        cache.graphics.SetSmoothingMode(gfx::SmoothingMode::AntiAlias);
        cache.width = width;
        cache.height = height;
    }
    if (!cache.graphics.Valid()) return false;
    for (int kind = 0; kind < kGaugeKindCount; ++kind)
        cache.cached[kind] = IsKindShown(app.skin, kind) && !cache.live[kind] &&
                             StandingScale(KindRecord(app.skin, kind), kind);

    RectI32 hits[kGaugeKindCount];
    std::copy(std::begin(display.hitRects), std::end(display.hitRects), hits);
    std::swap(display.graphics, cache.graphics);
    display.layer = DrawLayer::StaticParts;
    DrawPass(display, app, nav, width, height, heading, local);
    display.layer = DrawLayer::Everything;
    std::swap(display.graphics, cache.graphics);
    std::copy(std::begin(hits), std::end(hits), display.hitRects);
    std::copy(std::begin(display.inkAreas), std::end(display.inkAreas), cache.staticInk);

    cache.skin = app.skin; // after the pass: drawing may repair an empty font name
    cache.valid = true;
    return true;
}

// A cached scale under something the frame draws before it would come out on top of it from
// the cache: such scales are drawn live from now on. True when any was found.
bool DemoteCoveredScales(GaugeDisplay& display, const PassInk& pass) {
    FrameCache& cache = display.cache;
    bool demoted = false;
    for (int kind = 0; kind < kGaugeKindCount; ++kind) {
        if (!cache.cached[kind]) continue;
        const RectI32& scale = cache.staticInk[kind];
        bool covered = Overlap(pass.view, scale);
        for (int earlier = 0; earlier < kind && !covered; ++earlier)
            covered = Overlap(display.inkAreas[earlier], scale);
        if (!covered) continue;
        cache.live[kind] = true;
        cache.valid = false;
        demoted = true;
    }
    return demoted;
}

} // namespace

void Compose(GaugeDisplay& display, AppState& app, const NavState& nav, int32_t frameWidth,
             int32_t frameHeight, int32_t heading) {
    const GpsSnapshot& gps = *nav.snapshot;
    SystemTime16 local = display.hooks.localTime(gps.fixValid ? &gps.utcTime : nullptr);

    PassInk pass;
    bool fromCache = false;
    const bool wholeFrame = display.fullRepaint || app.configDialog != nullptr;
    if (display.cache.enabled && display.parts.valid && !wholeFrame &&
        !CacheStale(display, app.skin, frameWidth, frameHeight))
        fromCache =
            DrawChangedParts(display, app, nav, frameWidth, frameHeight, heading, local, &pass);
    // Each round draws at least one more scale live, so the rounds end; each starts from the
    // signal peak the frame started with, as a whole frame does.
    const int32_t peak = display.signalPeak;
    for (int round = 0; !fromCache && display.cache.enabled && round <= kGaugeKindCount; ++round) {
        display.signalPeak = peak;
        display.parts.valid = false;
        if (CacheStale(display, app.skin, frameWidth, frameHeight) &&
            !BuildCache(display, app, nav, frameWidth, frameHeight, heading, local))
            break;
        RestoreFromCache(display, {0, 0, frameWidth, frameHeight});
        display.layer = DrawLayer::MovingParts;
        pass = DrawPass(display, app, nav, frameWidth, frameHeight, heading, local, &display.parts);
        display.layer = DrawLayer::Everything;
        if (!DemoteCoveredScales(display, pass)) {
            fromCache = true;
            display.parts.valid = true;
        }
    }
    if (fromCache) {
        for (int kind = 0; kind < kGaugeKindCount; ++kind)
            if (display.cache.cached[kind])
                display.inkAreas[kind] =
                    Union(display.inkAreas[kind], display.cache.staticInk[kind]);
    } else {
        display.signalPeak = peak;
        display.parts.valid = false;
        pass = DrawPass(display, app, nav, frameWidth, frameHeight, heading, local);
    }
    display.inkAreas[kKindVantrel] = Union(display.inkAreas[kKindVantrel], pass.rose);

    FinishFrame(display, false);
}

RectI32 RepaintArea(const RectI32& hitRect) {
    // GDI+ measures text with a padding of about a sixth of the line on each side, and Wine's
    // far alignment leaves the last glyph up to that much past the measured box; repainting
    // only the box would cut it off on screen. The hit rectangle itself stays as measured.
    const int32_t margin = (hitRect.bottom - hitRect.top) / 6 + 1;
    return {hitRect.left - margin, hitRect.top, hitRect.right + margin, hitRect.bottom};
}

void FinishFrame(GaugeDisplay& display, bool repaintAll) {
    if (repaintAll || display.fullRepaint) {
        display.fullRepaint = false;
        for (int kind = 0; kind < kGaugeKindCount; ++kind)
            display.shownAreas[kind] = display.inkAreas[kind];
        display.hooks.invalidate(display.window, nullptr);
        return;
    }
    for (int kind = 0; kind < kGaugeKindCount; ++kind) {
        const RectI32& rect = display.hitRects[kind];
        const bool drawn = rect.right != 0;
        // A changed kind repaints where it is now and where it was; one that moved or vanished
        // without a change of value (layout editing, a style switched off) likewise.
        RectI32& shown = display.shownAreas[kind];
        const RectI32& ink = display.inkAreas[kind];
        if (ScreenChanged(display, kind) || !SameRect(shown, ink)) {
            RectI32 area = Union(shown, ink);
            if (drawn && KindBitSet(display.values.changedMask, kind))
                area = Union(area, RepaintArea(rect));
            if (!IsEmpty(area)) display.hooks.invalidate(display.window, &area);
            shown = ink;
        }
        if (drawn && display.renderers.editStep) display.renderers.editStep(display, kind);
    }
}

void DrawDistanceHome(GaugeDisplay& display, const AppState& app, const GpsSnapshot& gps,
                      char* text, std::size_t size) {
    const float unit =
        (app.options & kOptionMetric) ? kKilometresPerNauticalMile : kStatuteMilesPerNauticalMile;
    const float d = GreatCircleDistance(GeoPoint{gps.latitude, gps.longitude}, app.home, unit);

    float& stored = display.values.value[kKindDistHome];
    stored = d;
    if (d > kHomeArmDistance && !display.homeArmed) {
        display.homeArmed = true;
        display.homeBeeped = false;
    }
    if (d <= kHomeArrivedDistance && display.homeArmed && !display.homeBeeped) {
        display.homeBeeped = true;
        display.homeArmed = false;
        display.hooks.beep();
    }
    if (stored > kHomeDistanceLimit) stored = kHomeDistanceLimit;
    std::snprintf(text, size, "%5.2f", double(stored));
}

void DrawSignalBars(GaugeDisplay& display, const SkinRecord& skin, const GpsSnapshot& gps) {
    const GaugeRecord& record = KindRecord(skin, kKindSignal);
    int32_t x = record.x;
    int32_t y = record.y;
    int32_t w = record.paramA > kMinSignalBarWidth ? record.paramA : kMinSignalBarWidth;
    int32_t h = record.paramB;
    int32_t pitch = w + 1;
    gfx::Argb dim = ((record.color >> 1) & 0x7F7F7F) | 0xFF000000;
    for (int i = 0; i < kSatelliteSlots; ++i) {
        int32_t snr = gps.satellites[i].snr;
        if (snr > display.signalPeak && snr < kSignalInvalid) display.signalPeak = snr;
        // In 64 bits: a tall gauge times a signal of a garbled record passes 32.
        int32_t bar = int32_t(int64_t(h - 1) * snr / display.signalPeak + 1);
        gfx::SolidBrush brush(snr >= kSignalStrong ? record.color : dim);
        display.graphics.FillRectangle(
            brush, {float(x + i * pitch), float(y + h - bar), float(w), float(bar)});
    }
    display.hitRects[kKindSignal] = {x, y, x + kSatelliteSlots * pitch, y + h};
}

void DrawClockHands(GaugeDisplay& display, const SkinRecord& skin, const SystemTime16& local) {
    const GaugeRecord& record = KindRecord(skin, kKindClock);
    int32_t x = record.x;
    int32_t y = record.y;
    float size = float(record.paramB);
    float width = float(record.paramA);
    float scale = size * 0.01f;

    struct Hand {
        int slot;
        float units;        // the hand's position: hours, minutes or seconds
        float imageDegrees; // per unit, for an image hand
        float length;       // for a polygon hand, times the size
        float halfWidth;    // for a polygon hand, times the width
        float unitsPerHalfTurn;
    };
    // Hour hand on the hour alone: at 13:45 it points at one o'clock.
    const Hand hands[3] = {{kImageHour, float(local.hour), 30, 0.4f, 0.7f, 6},
                           {kImageMinute, float(local.minute), 6, 0.5f, 0.6f, 30},
                           {kImageSecond, float(local.second), 6, 0.5f, 0.3f, 30}};
    for (const Hand& hand : hands) {
        const gfx::Image& image = display.images[hand.slot];
        if (image.Valid())
            DrawRotatedImage(display, image, x, y, hand.units * hand.imageDegrees, scale,
                             kKindClock);
        else
            DrawPolygonNeedle(display.graphics, x, y, hand.length * size, hand.halfWidth * width,
                              hand.units, hand.unitsPerHalfTurn, record.color);
    }
    int32_t r = int32_t(record.paramB) / 2;
    display.hitRects[kKindClock] = {x - r, y - r, x + r, y + r};
}

void DrawHeadingRose(GaugeDisplay& display, const SkinRecord& skin, uint32_t options,
                     int32_t heading) {
    const GaugeRecord& record = KindRecord(skin, kKindVantrel);
    int32_t x = record.x;
    int32_t y = record.y;
    int32_t angle = (options & kOptionFixedNorth) ? heading : 360 - heading;
    const gfx::Image& arrow = display.images[kImageArrow];
    if (arrow.Valid()) {
        DrawRotatedImage(display, arrow, x, y, float(angle), 1.0f, kKindVantrel);
        return;
    }
    int32_t length = record.paramB;
    DrawPolygonNeedle(display.graphics, x, y, float(length), float(record.paramA), float(angle),
                      180, record.color);
    display.hitRects[kKindVantrel] = {x - length, y - length, x + length, y + length};
}
