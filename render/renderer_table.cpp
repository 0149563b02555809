#include "render/renderer_table.h"

#include "render/heading_tape.h"
#include "render/history_graph.h"

void InstallGaugeRenderers(GaugeRenderers& renderers) {
    // Each renderer that exists fills its entry here; the others stay empty and draw nothing.
    renderers.historyGraph = DrawHistoryGraphStyle;
    renderers.headingTape = DrawHeadingTapeEntry;
    (void)renderers;
}
