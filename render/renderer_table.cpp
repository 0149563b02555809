#include "render/renderer_table.h"

#include "render/circular_view.h"
#include "render/dial_gauge.h"
#include "render/heading_tape.h"
#include "render/history_graph.h"
#include "render/layout_editing.h"
#include "render/linear_gauge.h"

void InstallGaugeRenderers(GaugeRenderers& renderers) {
    // Each renderer that exists fills its entry here; the others stay empty and draw nothing.
    renderers.dial = DrawDialStyle;
    renderers.linear = DrawLinearStyle;
    renderers.historyGraph = DrawHistoryGraphStyle;
    renderers.headingTape = DrawHeadingTapeEntry;
    renderers.circularView = DrawCircularView;
    renderers.editStep = EditStep;
}
