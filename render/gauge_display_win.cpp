#include "render/gauge_display_win.h"

#include "render/display_hooks_win.h"
#include "skin/skin_record.h"

GaugeDisplay& Display() {
    static GaugeDisplay display(DefaultSkinRecord(), WindowsDisplayHooks());
    return display;
}
