#include "render/history_graph.h"

#include <algorithm>

namespace {

constexpr float kEngineSpeedFactor = 0.05f; // rpm samples into the graph's range
constexpr float kPenWidth = 1.0f;
constexpr uint16_t kBarGraphStyle = 12; // style 11 is the line graph
// The graph marks these so the frame's end repaints them (bits 24 and 25 of the second word).
constexpr uint32_t kDepthKindsBits = (1u << (kKindDepth - 32)) | (1u << (kKindDepthGauge - 32));

bool IsSignedGraphKind(int kind) {
    return kind == kKindObd2TimingAdv || kind == kKindObd2TAdvGauge ||
           (kind >= kKindObd2Stft1 && kind <= kKindObd2Ltft2Gauge);
}

// The j-th newest sample; the ring's write position is kept in 0..511, wrapped here anyway so a
// bad index can never read outside the ring.
float NthNewest(const GaugeValues& values, int kind, int32_t j) {
    int32_t slot = (values.historyIndex[kind] - 1 - j) % kHistorySamples;
    if (slot < 0) slot += kHistorySamples;
    return values.history[kind][slot];
}

// The bars go down in one call: under Wine each line is a call's worth of clip and blending,
// and the bars stand a pixel apart, so one call puts down the same pixels.
void DrawBars(gfx::Graphics& g, const gfx::Pen& pen, const GaugeValues& values, int kind,
              const GraphScale& scale, float right, float base, int32_t count) {
    static gfx::PointF ends[2 * kHistorySamples]; // one thread draws
    static int32_t twos[kHistorySamples];
    for (int32_t j = 0; j < count; ++j) {
        float x = right - float(j);
        float end = base - GraphSampleHeight(scale, NthNewest(values, kind, j));
        // A zero sample of a signed graph still shows as a one-pixel mark below the middle.
        if (scale.signedGraph && end == base) end = base + 1;
        ends[2 * j] = {x, base};
        ends[2 * j + 1] = {x, end};
        twos[j] = 2;
    }
    if (count > 0) g.DrawLineRuns(pen, ends, twos, count);
}

void DrawPolyline(gfx::Graphics& g, const gfx::Pen& pen, const GaugeValues& values, int kind,
                  const GraphScale& scale, float right, float base, int32_t count) {
    gfx::PointF points[kHistorySamples] = {};
    for (int32_t j = 0; j < count; ++j)
        points[j] = {right - float(j), base - GraphSampleHeight(scale, NthNewest(values, kind, j))};
    // The oldest shown sample is computed but never joined: the line runs through count - 1
    // points, newest first. Fewer than two points make no line.
    if (count - 1 >= 2) g.DrawLines(pen, points, count - 1);
}

} // namespace

GraphScale GraphScaleOf(const SkinRecord& skin, int kind, bool bars) {
    GraphScale scale;
    scale.height = float(KindRecord(skin, kind - 1).paramB);
    scale.range = float(KindRecord(skin, kind).paramA);
    scale.signedGraph = IsSignedGraphKind(kind);
    scale.engineSpeed = kind == kKindObd2Rpm || kind == kKindObd2RpmGauge;
    scale.bars = bars;
    return scale;
}

float GraphSampleHeight(const GraphScale& scale, float sample) {
    if (scale.engineSpeed) sample *= kEngineSpeedFactor;
    float full = scale.signedGraph ? scale.height / 2 : scale.height;
    float v = scale.range == 0 ? 0.0f : sample * full / scale.range;
    if (v != v) v = 0; // NaN from the feed (or infinity times a zero height)
    float low = scale.signedGraph ? -full : (scale.bars ? 1.0f : 0.0f);
    if (v > full) v = full;
    if (v < low) v = low;
    return v;
}

void DrawHistoryGraph(GaugeDisplay& display, const SkinRecord& skin, int kind, bool bars) {
    if (kind < 1 || kind >= kGaugeKindCount) return; // the height comes from the kind before
    const GaugeRecord& record = KindRecord(skin, kind);
    const GraphScale scale = GraphScaleOf(skin, kind, bars);
    // The ring holds 512 samples; a larger stored size shows them all.
    const int32_t count = std::min<int32_t>(record.paramB, kHistorySamples);
    const int32_t x = record.x;
    const int32_t y = record.y;
    const int32_t height = KindRecord(skin, kind - 1).paramB;
    const float right = float(x + count - 1);
    const float base = scale.signedGraph ? float(y) + scale.height / 2 : float(y + height);

    gfx::Pen pen(record.color, kPenWidth);
    if (bars)
        DrawBars(display.graphics, pen, display.values, kind, scale, right, base, count);
    else
        DrawPolyline(display.graphics, pen, display.values, kind, scale, right, base, count);

    display.hitRects[kind] = {x, y, x + count, y + height + 1};
    display.values.changedMask[1] |= kDepthKindsBits;
}

void DrawHistoryGraphStyle(GaugeDisplay& display, SkinRecord& skin, const StyledGauge& gauge) {
    DrawHistoryGraph(display, skin, gauge.kind, gauge.style == kBarGraphStyle);
}
