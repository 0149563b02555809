#include "bench/cluster_wine/frame_probe_win.h"

#include <windows.h>

namespace {

DisplayHooks g_real{};
GaugeRenderers g_renderers{};
TickMarks g_marks;

// Runs a renderer and adds its time to its slot.
template <typename Draw> void Timed(int slot, Draw draw) {
    const double start = NowMicros();
    draw();
    g_marks.rendererMicros[slot] += NowMicros() - start;
}

void TimedMapView(GaugeDisplay& display, AppState& app, const NavState& nav, int32_t heading) {
    Timed(kMapView, [&] { g_renderers.circularView(display, app, nav, heading); });
}
void TimedDial(GaugeDisplay& display, SkinRecord& skin, const StyledGauge& gauge) {
    Timed(kDials, [&] { g_renderers.dial(display, skin, gauge); });
}
void TimedLinear(GaugeDisplay& display, SkinRecord& skin, const StyledGauge& gauge) {
    Timed(kLinearGauges, [&] { g_renderers.linear(display, skin, gauge); });
}
void TimedGraph(GaugeDisplay& display, SkinRecord& skin, const StyledGauge& gauge) {
    Timed(kHistoryGraphs, [&] { g_renderers.historyGraph(display, skin, gauge); });
}
void TimedTape(GaugeDisplay& display, SkinRecord& skin, int32_t heading) {
    Timed(kHeadingTape, [&] { g_renderers.headingTape(display, skin, heading); });
}

SystemTime16 TimedLocalTime(const SystemTime16* utc) {
    if (g_marks.composeStart < 0) g_marks.composeStart = NowMicros();
    return g_real.localTime(utc);
}

void TimedInvalidate(WindowHandle window, const RectI32* rect) {
    const double start = NowMicros();
    if (g_marks.firstInvalidation < 0) g_marks.firstInvalidation = start;
    g_real.invalidate(window, rect);
    g_marks.invalidationMicros += NowMicros() - start;
    ++g_marks.invalidations;
}

double CounterPeriodMicros() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e6 / double(frequency.QuadPart);
}

} // namespace

double NowMicros() {
    static const double period = CounterPeriodMicros();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * period;
}

TickMarks& CurrentMarks() {
    return g_marks;
}

const char* RendererName(int slot) {
    static const char* const names[kRendererSlots] = {"map view", "dials", "linear gauges",
                                                      "history graphs", "heading tape"};
    return slot >= 0 && slot < kRendererSlots ? names[slot] : "";
}

void InstallTimingHooks(GaugeDisplay& display) {
    g_real = display.hooks;
    display.hooks.localTime = TimedLocalTime;
    display.hooks.invalidate = TimedInvalidate;
    g_renderers = display.renderers;
    GaugeRenderers& r = display.renderers;
    if (r.circularView) r.circularView = TimedMapView;
    if (r.dial) r.dial = TimedDial;
    if (r.linear) r.linear = TimedLinear;
    if (r.historyGraph) r.historyGraph = TimedGraph;
    if (r.headingTape) r.headingTape = TimedTape;
}
