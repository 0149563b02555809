// Where the time of one frame tick goes, seen from outside the program's code: the display
// hooks and the renderer table are wrapped with timing ones. The program's first call of the
// local-time hook marks the start of composing (it is the first thing Compose does); its first
// invalidation marks the end of drawing, and every invalidation and renderer call is timed.
#pragma once

#include "render/gauge_display.h"

// Microseconds of the performance counter.
double NowMicros();

// The renderer table's entries that are timed, in the order of TickMarks::rendererMicros.
enum RendererSlot { kMapView, kDials, kLinearGauges, kHistoryGraphs, kHeadingTape, kRendererSlots };
const char* RendererName(int slot);

// What the hooks saw during one tick; -1 for a mark that was not reached.
struct TickMarks {
    double rendererMicros[kRendererSlots] = {};
    double composeStart = -1;
    double firstInvalidation = -1;
    double invalidationMicros = 0;
    int invalidations = 0;
    double paintMicros = 0; // filled by the bench's WM_PAINT
    int paints = 0;
};

// The marks of the current tick; the bench clears them before each tick.
TickMarks& CurrentMarks();

// Replaces the display's local-time and invalidation hooks and its renderers by timing ones that
// call the real ones. Once, after the display is made and its renderers are installed.
void InstallTimingHooks(GaugeDisplay& display);
