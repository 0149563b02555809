// The cluster's own code, natively: the gauge value pass over all 59 kinds, and composing one
// frame of the shipped "Cluster" skin and of the every-kind skin on the recording backend of the
// native tests. Every tick is one second of the simulated drive, so every input moves.
//
// The recording backend keeps each drawing call with its arguments instead of drawing it, so the
// composing figures are our own code plus the cost of recording the calls (an allocation or
// more per call); they hold no drawing at all. The figures under Wine with real GDI+ come from
// the Windows-side benchmark (bench/cluster_wine). Prints figures; judges none. With
// CLUSTER_BENCH_CALLS set in the environment, it also lists every call of each skin's last frame.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/common/bench_drive.h"
#include "bench/common/bench_figures.h"
#include "bench/common/every_kind_skin.h"
#include "render/compose.h"
#include "render/renderer_table.h"
#include "render/skin_drawing.h"
#include "shell/frame_tick.h"
#include "sources/gauge_inputs_app.h"
#include "sources/gauge_values.h"
#include "state/trail_ring.h"
#include "tools/skin_art/cluster_layout.h"
#include "vantrel/gdiplus_recording.h"
#include "vantrel/render_fakes.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kValueWarmUpTicks = 1000;
constexpr int kValueTicks = 100000;
// Enough warm-up to fill every kind's 512-sample history, so the graphs draw all they show.
constexpr int kComposeWarmUpTicks = 600;
constexpr int kComposeTicks = 3000;
constexpr std::size_t kMostMadeCallsShown = 8;
constexpr const char kClusterFolder[] = "C:\\Bench\\Cluster";
constexpr const char kEveryKindFolder[] = "C:\\Bench\\EveryKind";

double MicrosSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void PrintFigures(const char* what, const Figures& f) {
    std::printf("  %-44s median %9.2f us  p99 %9.2f us  mean %9.2f us  (%zu ticks)\n", what,
                f.median, f.p99, f.mean, f.count);
}

// The local time the program would show for the fix; the bench has no time zone.
SystemTime16 LocalTimeOf(const GpsSnapshot& gps) {
    return gps.utcTime;
}

// One tick's navigation step and the inputs of its value pass.
GaugeInputs NextTickInputs(BenchDrive& drive, AppState& app, NavState& nav) {
    NextBenchSecond(drive, *nav.snapshot);
    AdvanceNavigation(app, nav, FrameTickContext{});
    GaugeInputs in = MakeGaugeInputs(nav, app, LocalTimeOf(*nav.snapshot), true);
    in.obd = &drive.obd;
    return in;
}

void BenchValuePass() {
    auto app = std::make_unique<AppState>();
    auto nav = std::make_unique<NavState>();
    auto values = std::make_unique<GaugeValues>();
    app->skin = every_kind::EveryKindSkinRecord();
    app->home = BenchHome();
    ResetGaugeValuesAtStart(*values, app->skin);
    BenchDrive drive = StartBenchDrive(app->skin);
    RectI32 hitRects[kGaugeKindCount];

    std::vector<double> micros;
    micros.reserve(kValueTicks);
    int unchanged = 0;
    for (int tick = 0; tick < kValueWarmUpTicks + kValueTicks; ++tick) {
        const GaugeInputs in = NextTickInputs(drive, *app, *nav);
        const auto start = Clock::now();
        const bool changed = ComputeGaugeValues(*values, app->skin, in, hitRects);
        const double elapsed = MicrosSince(start);
        if (tick < kValueWarmUpTicks) continue;
        micros.push_back(elapsed);
        unchanged += changed ? 0 : 1;
    }
    std::printf("== Gauge value pass (ComputeGaugeValues), all 59 kinds shown, GPS and OBD-II "
                "inputs new every tick\n");
    PrintFigures("value pass", FiguresOf(micros));
    std::printf("  ticks that reported no change: %d\n", unchanged);
}

// Skin images as the program loads them (".png", else ".bmp"), from the recording's fake files.
gfx::Image RecordedLoader(const std::string& folder, const char* fileName) {
    const std::string path = JoinSkinPath(folder, fileName);
    gfx::Image image = gfx::Image::FromFile(gfx::AnsiToUtf16(path.c_str()));
    if (image.Valid()) return image;
    return gfx::Image::FromFile(gfx::AnsiToUtf16(BmpFallbackPath(path).c_str()));
}

// A recorded text as plain characters; others as '?'.
std::string AsciiOf(const std::u16string& text) {
    std::string ascii;
    for (char16_t c : text)
        ascii += c >= 0x20 && c < 0x7F ? char(c) : '?';
    return ascii;
}

// The wrapper calls a frame made most often, by name: where GDI+ would be asked the most.
void PrintMostMadeCalls(const rec::Recording& recording) {
    std::map<std::string, int> counts;
    for (const rec::Call& call : recording.calls)
        ++counts[call.op];
    std::vector<std::pair<int, std::string>> byCount;
    for (const auto& [op, count] : counts)
        byCount.emplace_back(count, op);
    std::sort(byCount.rbegin(), byCount.rend());
    for (std::size_t i = 0; i < byCount.size() && i < kMostMadeCallsShown; ++i)
        std::printf(" %s %d", byCount[i].second.c_str(), byCount[i].first);
    std::printf("\n");
}

// Every call of the last frame, with its numbers and text: where a frame's calls come from.
void PrintCalls(const rec::Recording& recording) {
    for (const rec::Call& call : recording.calls) {
        std::printf("    %s", call.op.c_str());
        for (float a : call.args)
            std::printf(" %.1f", double(a));
        if (!call.text.empty()) std::printf(" \"%s\"", AsciiOf(call.text).c_str());
        if (!call.points.empty()) std::printf(", %zu points", call.points.size());
        std::printf("\n");
    }
}

void BenchCompose(const char* name, const SkinRecord& skin, const std::string& folder,
                  bool fullTrail) {
    auto app = std::make_unique<AppState>();
    auto nav = std::make_unique<NavState>();
    app->skin = skin;
    app->home = BenchHome();
    auto display = std::make_unique<GaugeDisplay>(app->skin, fakes::FakeDisplayHooks());
    InstallGaugeRenderers(display->renderers);
    // What a skin load does, in its order, with the images on the recording.
    ReloadSkinImages(*display, folder, RecordedLoader);
    const SkinGeometry geometry = SkinGeometryOf(*display, app->skin, false);
    app->frameWidth = geometry.frame.width;
    app->frameHeight = geometry.frame.height;
    CreateBackBuffer(*display, geometry.frame);
    FinishSkinLoad(*display, app->skin, reinterpret_cast<WindowHandle>(0x1234));

    BenchDrive drive = StartBenchDrive(app->skin);
    const uint32_t drivenToFill = fullTrail ? DriveUntilTrailIsFull(drive, *app, *nav) : 0;

    std::vector<double> micros;
    std::vector<double> calls;
    micros.reserve(kComposeTicks);
    calls.reserve(kComposeTicks);
    for (int tick = 0; tick < kComposeWarmUpTicks + kComposeTicks; ++tick) {
        if (!fullTrail) ClearTrail(nav->trail);
        const GaugeInputs in = NextTickInputs(drive, *app, *nav);
        ComputeGaugeValues(display->values, app->skin, in, display->hitRects);
        rec::Current().calls.clear();
        fakes::Services().invalidated.clear();
        const auto start = Clock::now();
        Compose(*display, *app, *nav, app->frameWidth, app->frameHeight, app->displayedHeading);
        const double elapsed = MicrosSince(start);
        if (tick < kComposeWarmUpTicks) continue;
        micros.push_back(elapsed);
        calls.push_back(double(rec::Current().calls.size()));
    }
    std::printf("== Compose, %s skin, %d x %d frame, on the recording backend, ", name,
                app->frameWidth, app->frameHeight);
    if (fullTrail)
        std::printf("trail full (%u s of driving)\n", drivenToFill);
    else
        std::printf("trail kept empty\n");
    PrintFigures("compose one frame", FiguresOf(micros));
    std::printf("  drawing-wrapper calls per frame: median %.0f; the last frame's most made:",
                FiguresOf(calls).median);
    PrintMostMadeCalls(rec::Current());
    if (std::getenv("CLUSTER_BENCH_CALLS")) PrintCalls(rec::Current());
}

} // namespace

int main() {
    BenchValuePass();

    rec::Reset();
    fakes::ResetServices();
    rec::AddImageFile(JoinSkinPath(kClusterFolder, "Background.png"), cluster::kFrameWidth,
                      cluster::kFrameHeight);
    rec::AddImageFile(JoinSkinPath(kClusterFolder, "Needle.png"), cluster::kNeedleWidth,
                      cluster::kNeedleHeight);
    BenchCompose("\"Cluster\"", cluster::ClusterSkinRecord(), kClusterFolder, false);
    BenchCompose("\"Cluster\"", cluster::ClusterSkinRecord(), kClusterFolder, true);
    BenchCompose("every-kind", every_kind::EveryKindSkinRecord(), kEveryKindFolder, true);
    return 0;
}
