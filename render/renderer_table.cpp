#include "render/renderer_table.h"

#include "render/circular_view.h"

void InstallGaugeRenderers(GaugeRenderers& renderers) {
    // Each renderer that exists fills its entry here; the others stay empty and draw nothing.
    (void)renderers;
    renderers.circularView = DrawCircularView;
}
