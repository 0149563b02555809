#include "render/dial_gauge.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "render/gauge_text.h"
#include "render/primitives.h"
#include "render/scale_marks.h"

namespace {

constexpr float kPi = 3.1415927f;    // single precision, like all the needle arithmetic
constexpr float kScreenTurn = 1.56f; // "0 = up" to screen radians, a hair short of a quarter turn
constexpr int32_t kValuesPerStep = 5;
constexpr float kStepsPerValue = 0.2f;
constexpr float kNumberRadius = 0.7f;       // numbers stand at 0.7 of the radius
constexpr float kLongTick = 0.85f;          // even steps
constexpr float kShortTick = 0.92f;         // odd steps
constexpr float kFontPerSize = 0.06666667f; // numbers are one fifteenth of the diameter
constexpr float kArcBarPerSize = 0.04f;
constexpr float kHubPerLength = 0.071428575f; // the polygon needle's hub is 1/14 of its length
constexpr float kScalePenWidth = 2.0f;
constexpr int32_t kFirstNeedle2Kind = 28; // kinds above "OBD2 RPM Gauge" may use Needle2
constexpr char kFallbackFontName[] = "Arial";
// A step walk never needs more steps than this (26214 steps of 5 span a whole uint16 range); the
// bound only stops a walk that float rounding could otherwise keep from ending.
constexpr int32_t kMaxScaleSteps = 1 << 17;

gfx::PointF PointAt(const DialGeometry& dial, float angle, float distance) {
    float t = angle * kPi / 180 - kScreenTurn;
    return {float(dial.cx) + distance * std::cos(t), float(dial.cy) + distance * std::sin(t)};
}

// "%d", "+%d" or "0" of the step's value, as the scale numbers it.
std::string StepNumber(const DialGeometry& dial, const DialSteps& steps, const DialArgs& args,
                       int32_t i) {
    char text[16];
    if (args.signedScale) {
        int32_t n = dial.reversed ? -i : i;
        if (n == 0) return "0";
        std::snprintf(text, sizeof text, n > 0 ? "+%d" : "%d", kValuesPerStep * n);
    } else if (dial.reversed) {
        float top = args.startValue * kStepsPerValue + float(steps.stepsToTop) - float(i);
        std::snprintf(text, sizeof text, "%d", kValuesPerStep * TruncateToInt(top));
    } else {
        std::snprintf(text, sizeof text, "%d", kValuesPerStep * i);
    }
    return text;
}

void AddStepNumber(ScaleMarks& marks, gfx::Graphics& g, const gfx::Font& font,
                   const std::string& number, gfx::PointF anchor) {
    std::u16string wide = gfx::AnsiToUtf16(number.c_str());
    // Measured in a layout box without size, which neither wraps nor clips: a box of
    // (characters x em) by em, the em being in points, is lower than a line in pixels, and GDI+
    // then measures it empty, which would hang the number a line below its point.
    gfx::RectF box;
    g.MeasureString(wide, font, {0, 0, 0, 0}, nullptr, &box);
    // Centred over the anchor, standing on it.
    const gfx::PointF at{anchor.x - box.width / 2, anchor.y - box.height};
    marks.AddNumber(std::move(wide), at, {at.x, at.y, box.width, box.height});
}

void RepairFontName(GaugeRecord& record) {
    if (record.fontName[0] == '\0')
        std::memcpy(record.fontName, kFallbackFontName, sizeof(kFallbackFontName));
}

void DrawScale(GaugeDisplay& display, GaugeRecord& record, const DialGeometry& dial,
               const DialArgs& args) {
    gfx::Graphics& g = display.graphics;
    gfx::Pen pen(record.color, kScalePenWidth);
    gfx::SolidBrush brush(record.color);
    float size = float(record.paramB);
    // Two degrees more than the scale: the arc runs on a little past the last tick.
    g.DrawArc(pen, {float(record.x), float(record.y), size, size}, float(dial.firstAngle - 90),
              float(2 * (dial.halfSweep + 1)));

    RepairFontName(record);
    DialSteps steps = DialStepsOf(record, dial, args);
    const gfx::Font& font = KindScaleFont(display, args.kind, record, steps.fontSize);
    float r = float(dial.h);
    float last = float(dial.lastAngle);
    float angle = float(dial.firstAngle);
    int32_t i = steps.firstStep;
    ScaleMarks marks;
    for (int32_t n = 0; angle <= last && n < kMaxScaleSteps; ++n, ++i) {
        if (i % steps.tickInterval == 0) {
            float inner = (i % 2 == 0) ? kLongTick : kShortTick;
            marks.AddTick(PointAt(dial, angle, r), PointAt(dial, angle, inner * r));
        }
        if ((i != 0 || args.signedScale) && i % steps.numberInterval == 0)
            AddStepNumber(marks, g, font, StepNumber(dial, steps, args, i),
                          PointAt(dial, angle, kNumberRadius * r));
        float next = angle + steps.stepAngle;
        if (next == angle) break; // a step lost to rounding would never end the walk
        angle = next;
    }
    DrawScaleMarks(g, pen, font, brush, marks);
}

void DrawArcBar(GaugeDisplay& display, const GaugeRecord& record, gfx::Argb needleColor,
                const DialGeometry& dial, const DialArgs& args, float travel) {
    float start = float(dial.reversed ? dial.lastAngle : dial.firstAngle);
    float sweep = dial.reversed ? -travel : travel;
    if (args.signedScale) {
        start = float(args.centreAngle);
        sweep = std::fmax(sweep, -float(dial.halfSweep));
    } else if (dial.reversed) {
        sweep = std::fmin(sweep, -1.0f);
    } else {
        sweep = std::fmax(sweep, 1.0f);
    }
    // Past a whole turn an arc shows nothing more; keeps far-off values from huge sweeps.
    sweep = std::fmin(std::fmax(sweep, -360.0f), 360.0f);
    float size = float(record.paramB);
    float w = 2 * size * kArcBarPerSize;
    gfx::Pen pen(needleColor, w);
    display.graphics.DrawArc(pen,
                             {float(record.x) + w / 2, float(record.y) + w / 2, size - w, size - w},
                             start - 90, sweep);
}

void DrawNeedle(GaugeDisplay& display, const GaugeRecord& record, gfx::Argb needleColor,
                const DialGeometry& dial, const DialArgs& args, float angle) {
    const gfx::Image* image = &display.images[kImageNeedle];
    if (args.kind >= kFirstNeedle2Kind && display.images[kImageNeedle2].Valid())
        image = &display.images[kImageNeedle2];
    // An image without height cannot be scaled to the dial: the polygon stands in.
    if (image->Valid() && image->Height() > 0) {
        float scale = float(2 * dial.h) / float(image->Height()); // as tall as the dial is wide
        DrawRotatedImage(display, *image, dial.cx, dial.cy, angle, scale, args.kind);
        return;
    }
    float length = float(record.paramB) * 0.5f;
    DrawPolygonNeedle(display.graphics, dial.cx, dial.cy, length, length * kHubPerLength, angle,
                      180, needleColor);
}

} // namespace

DialGeometry DialGeometryOf(const SkinRecord& skin, const DialArgs& args) {
    const GaugeRecord& record = KindRecord(skin, args.kind);
    const GaugeRecord& companion = KindRecord(skin, args.kind - 1);
    DialGeometry dial;
    dial.h = record.paramB / 2;
    dial.cx = record.x + dial.h;
    dial.cy = record.y + dial.h;
    dial.halfSweep = companion.paramD != 0 ? companion.paramD / 2 : args.halfSweep;
    dial.firstAngle = args.centreAngle - dial.halfSweep;
    dial.lastAngle = args.centreAngle + dial.halfSweep;
    dial.reversed = (args.centreAngle >= 45 && args.centreAngle <= 180) || !args.showIndicator;
    return dial;
}

DialSteps DialStepsOf(const GaugeRecord& record, const DialGeometry& dial, const DialArgs& args) {
    DialSteps steps;
    steps.stepsToTop = record.paramA / kValuesPerStep;
    steps.firstStep =
        args.signedScale ? -steps.stepsToTop : TruncateToInt(args.startValue * kStepsPerValue);
    int32_t count = steps.stepsToTop - steps.firstStep;
    if (count == 0) count = 1;
    float k = 2 * float(dial.halfSweep) / float(count);
    if (k < 0) k = -k;
    if (k == 0) k = 1.0f;
    steps.stepAngle = k;
    steps.fontSize = float(record.paramB) * kFontPerSize;

    // The horizontal distance at the numbers' radius between the steps either side of twelve.
    float a = k * kPi / 180;
    float sp = kNumberRadius * float(dial.h) *
               std::fabs(std::cos(a - kScreenTurn) - std::cos(-kScreenTurn - a));
    steps.tickInterval = TruncateToInt(10 / sp);
    if (steps.tickInterval == 0) steps.tickInterval = 1;
    steps.numberInterval = TruncateToInt(2 * 3 * steps.fontSize / sp) & ~1;
    if (steps.numberInterval == 0) steps.numberInterval = 1;
    return steps;
}

DialIndicator DialIndicatorOf(const GaugeRecord& record, const DialGeometry& dial,
                              const DialArgs& args) {
    float span = float(record.paramA) - args.startValue;
    float k = 0; // a scale without span holds the indicator at its start
    if (span != 0) k = (args.value - args.startValue) * 2 * float(dial.halfSweep) / span;
    // A value the feeds garbled (NaN, infinity) holds the indicator at the start too.
    if (!std::isfinite(k)) k = 0;

    float angle;
    if (args.signedScale) {
        k = k / 2;
        angle = float(args.centreAngle) + (dial.reversed ? -k : k);
    } else {
        angle = dial.reversed ? float(dial.lastAngle) - k : float(dial.firstAngle) + k;
    }
    if (angle < float(dial.firstAngle)) angle = float(dial.firstAngle);
    if (angle < 0) angle += 360;
    if (angle > 360) angle -= 360;
    // Far beyond full scale the needle has gone round more than once: fold it back on the dial.
    if (angle < 0 || angle > 360) angle = std::fmod(angle, 360.0f);
    if (angle < 0) angle += 360;
    return {k, angle};
}

void DrawDialGauge(GaugeDisplay& display, SkinRecord& skin, const DialArgs& args) {
    // Kind 0 has no companion record before it; no analog kind is there anyway.
    if (args.kind < 1 || args.kind >= kGaugeKindCount) return;
    GaugeRecord& record = KindRecord(skin, args.kind);
    if (record.paramB == 0) return;
    DialGeometry dial = DialGeometryOf(skin, args);
    // The frame cache holds the scale of a dial whose scale stands still; the cache's own pass
    // draws nothing else.
    const bool scaleCached =
        display.layer == DrawLayer::MovingParts && display.cache.cached[args.kind];
    if (!args.noScale && !scaleCached) DrawScale(display, record, dial, args);
    if (display.layer == DrawLayer::StaticParts) return;

    int32_t side = 2 * dial.h + 1;
    display.hitRects[args.kind] = {record.x, record.y, record.x + side, record.y + side};
    if (!args.showIndicator) return;

    DialIndicator indicator = DialIndicatorOf(record, dial, args);
    gfx::Argb needleColor = KindRecord(skin, kKindNeedleColor).color;
    if (args.arcBar)
        DrawArcBar(display, record, needleColor, dial, args, indicator.travel);
    else
        DrawNeedle(display, record, needleColor, dial, args, indicator.angle);
}

void DrawDialStyle(GaugeDisplay& display, SkinRecord& skin, const StyledGauge& gauge) {
    DialArgs args;
    args.value = gauge.value;
    args.kind = gauge.kind;
    args.halfSweep = gauge.defaultHalfSweep;
    args.signedScale = gauge.signedScale;
    args.startValue = gauge.startValue;
    args.centreAngle = gauge.centreDirection;
    switch (gauge.style) {
    case 0:
        break;
    case 1:
        args.noScale = true;
        break;
    case 2:
        args.arcBar = true;
        break;
    case 3:
        args.noScale = true;
        args.arcBar = true;
        break;
    case 8: {
        // The turning scale: the scale moves with the value under a fixed point.
        if (gauge.kind < 0 || gauge.kind >= kGaugeKindCount) return;
        int32_t half = KindRecord(skin, gauge.kind).paramA / 2;
        int64_t turn = int64_t(gauge.centreDirection) + TruncateToInt(gauge.value - float(half));
        // A whole turn further on is the same drawing; small angles keep the step walk exact.
        args.centreAngle = int32_t(turn % 360);
        args.arcBar = true;
        args.showIndicator = false;
        break;
    }
    default:
        return;
    }
    DrawDialGauge(display, skin, args);
}
