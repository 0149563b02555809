#include "render/gauge_display_win.h"

#include "render/display_hooks_win.h"
#include "render/renderer_table.h"
#include "state/skin_record.h"

GaugeDisplay& Display() {
    static GaugeDisplay display(DefaultSkinRecord(), WindowsDisplayHooks());
    static const bool installed = (InstallGaugeRenderers(display.renderers), true);
    (void)installed;
    return display;
}
