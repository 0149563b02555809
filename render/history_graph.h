// The history graph: an analog kind drawn as a strip chart of its most recent values, as a line
// (style 11) or as one vertical bar per sample (style 12). The newest sample sits at the right
// edge and each older one a pixel further left.
#pragma once

#include <cstdint>

#include "render/gauge_display.h"
#include "render/gauge_renderers.h"
#include "state/skin_record.h"

// How a graph maps a sample to a height in pixels.
struct GraphScale {
    float height = 0;         // GH: paramB of the companion record (the kind before it)
    float range = 0;          // the kind's "Range" (paramA)
    bool signedGraph = false; // timing advance and fuel trims: zero on the middle line
    bool engineSpeed = false; // engine-speed samples are scaled by 0.05 first
    bool bars = false;        // a bar is at least one pixel high on an unsigned graph
};

GraphScale GraphScaleOf(const SkinRecord& skin, int kind, bool bars);

// The sample's height above the baseline (unsigned) or the middle line (signed, negative
// below it), limited to the graph. A range of 0 and a NaN sample give no deflection.
float GraphSampleHeight(const GraphScale& scale, float sample);

// Draws kind (1 to 58) as a history graph from display.values.history, records its hit
// rectangle and marks "Depth" and "Depth Guage" as changed so the frame's end repaints them.
void DrawHistoryGraph(GaugeDisplay& display, const SkinRecord& skin, int kind, bool bars);

// The renderer table's entry: style 12 draws bars, style 11 a line.
void DrawHistoryGraphStyle(GaugeDisplay& display, SkinRecord& skin, const StyledGauge& gauge);
