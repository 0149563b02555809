#include "render/renderer_table.h"

void InstallGaugeRenderers(GaugeRenderers& renderers) {
    // Each renderer that exists fills its entry here; the others stay empty and draw nothing.
    (void)renderers;
}
