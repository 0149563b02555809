// The cluster's whole frame tick under real GDI+ (under Wine when cross compiled): the
// program's own FrameTick on a layered popup window of this bench, whose WM_PAINT copies the back
// buffer as the main window does, with the skin loaded by the program's LoadSkin.
//
//   cluster_wine_bench SKIN [/ticks N] [/period MS] [/trail full|empty] [/cache on|off]
//                           [/primitives]
//
// SKIN is a skin folder below this program's folder ("Cluster", or "EveryKind", which is written
// there first). Every tick is one second of the simulated drive written into the built-in GPS
// record, then FrameTick and UpdateWindow, timed with the performance counter; ticks follow
// each other every MS (default 100, the program's frame timer). With a full trail (the default)
// the map view draws the 2048 points of a long drive; an empty one is emptied before every tick,
// as at a first start. The OBD-II reader is not running, as the program would see it without one.
// /cache off draws every frame whole, without the frame cache, as the measure to compare with.
// /primitives times single GDI+ calls on the loaded skin's back buffer instead. Prints figures;
// judges none.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/cluster_wine/frame_probe_win.h"
#include "bench/cluster_wine/primitive_costs_win.h"
#include "bench/common/bench_drive.h"
#include "bench/common/bench_figures.h"
#include "bench/common/every_kind_skin.h"
#include "render/gauge_display_win.h"
#include "render/paint_win.h"
#include "render/skin_loader_win.h"
#include "shell/main_window_win.h"
#include "shell/program_win.h"
#include "skin/skin_folder_win.h"
#include "sources/gauge_clock_win.h"
#include "sources/gauge_inputs_app.h"
#include "sources/gps_feed_win.h"
#include "sources/obd_feed_win.h"
#include "state/app_state.h"
#include "state/nav_state.h"
#include "state/trail_ring.h"

namespace {

constexpr int kDefaultTicks = 300;
constexpr int kWarmUpTicks = 30;
constexpr int kDefaultPeriodMs = 100;
constexpr int kValuePasses = 20000;
constexpr char kWindowClass[] = "VantrelFrameBench";

// One measured tick, in microseconds.
struct TickTimes {
    double whole = 0;                      // FrameTick and UpdateWindow
    double beforeCompose = 0;              // feed attach attempt, navigation, clock, value pass
    double compose = 0;                    // Compose until its first invalidation
    double invalidation = 0;               // the invalidation calls
    double restOfTick = 0;                 // the rest of FrameTick (frame's end, host window)
    double paint = 0;                      // the bench's WM_PAINT: PaintBackBuffer
    double restOfUpdate = 0;               // UpdateWindow besides the paint
    double renderers[kRendererSlots] = {}; // parts of composing
    int invalidations = 0;
    bool composed = false; // Compose ran and invalidated
};

uint32_t WindowsMajorVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return 0;
#pragma GCC diagnostic pop
    return info.dwMajorVersion;
}

// The main window's paint, timed.
LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    const double start = NowMicros();
    PaintBackBuffer(window, Display(), PaintAreaOf(App()));
    CurrentMarks().paintMicros += NowMicros() - start;
    ++CurrentMarks().paints;
    return 0;
}

struct BenchWindow {
    HWND handle = nullptr;
    BenchWindow() {
        WNDCLASSA type{};
        type.lpfnWndProc = BenchWindowProc;
        type.hInstance = GetModuleHandleA(nullptr);
        type.hCursor = LoadCursor(nullptr, IDC_ARROW);
        type.lpszClassName = kWindowClass;
        RegisterClassA(&type);
        // The program's window: layered, no taskbar button, no frame; LoadSkin sizes and shows it.
        handle = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW, kWindowClass, "", WS_POPUP, 0, 0,
                                 100, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~BenchWindow() {
        if (handle) DestroyWindow(handle);
    }
    BenchWindow(const BenchWindow&) = delete;
    BenchWindow& operator=(const BenchWindow&) = delete;
};

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Sleeps rather than spins, so the process's CPU time holds the ticks and the messages only.
void WaitUntil(double micros) {
    for (;;) {
        PumpMessages();
        const double left = micros - NowMicros();
        if (left <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(left / 1000) + 1, QS_ALLINPUT);
    }
}

// User and kernel time of this process, all threads, in microseconds. Wine counts it in the
// kernel's clock ticks (10 ms), so only sums over many ticks mean anything.
double ProcessCpuMicros() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto micros = [](const FILETIME& t) {
        return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10.0;
    };
    return micros(kernel) + micros(user);
}

// A GPS server or an OBD-II reader in the same Wine prefix would replace the drive's inputs.
bool FeedsDetached() {
    if (GpsFeedAttached(Nav())) {
        std::printf("cluster_wine_bench: a GPS server is running; stop it first\n");
        return false;
    }
    if (ObdFeedAttached(Obd())) {
        std::printf("cluster_wine_bench: an OBD-II reader is running; stop it first\n");
        return false;
    }
    return true;
}

// The every-kind skin as a folder of "Skin.bin" alone, written with the program's own writer.
bool WriteEveryKindFolder() {
    const std::string folder = SkinFolderPath(every_kind::kSkinFolder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return WriteSkinFile(folder, every_kind::EveryKindSkinRecord());
}

TickTimes OneTick(HWND window) {
    CurrentMarks() = TickMarks{};
    const double start = NowMicros();
    FrameTick(window);
    const double ticked = NowMicros();
    UpdateWindow(window);
    const double updated = NowMicros();

    const TickMarks& marks = CurrentMarks();
    TickTimes t;
    t.whole = updated - start;
    t.invalidation = marks.invalidationMicros;
    t.invalidations = marks.invalidations;
    t.paint = marks.paintMicros;
    for (int slot = 0; slot < kRendererSlots; ++slot)
        t.renderers[slot] = marks.rendererMicros[slot];
    t.restOfUpdate = (updated - ticked) - marks.paintMicros;
    if (marks.composeStart >= 0 && marks.firstInvalidation >= 0) {
        t.beforeCompose = marks.composeStart - start;
        t.compose = marks.firstInvalidation - marks.composeStart;
        t.restOfTick = (ticked - marks.firstInvalidation) - marks.invalidationMicros;
        t.composed = true;
    } else {
        t.beforeCompose = ticked - start; // nothing composed or nothing invalidated
    }
    return t;
}

void PrintRow(const char* what, std::vector<double> samples) {
    const Figures f = FiguresOf(std::move(samples));
    std::printf("  %-53s median %9.1f us  p99 %9.1f us  mean %9.1f us\n", what, f.median, f.p99,
                f.mean);
}

void PrintTicks(const std::vector<TickTimes>& ticks) {
    auto column = [&ticks](double TickTimes::*field) {
        std::vector<double> v;
        for (const TickTimes& t : ticks)
            v.push_back(t.*field);
        return v;
    };
    PrintRow("whole frame tick (FrameTick + UpdateWindow)", column(&TickTimes::whole));
    PrintRow("  before composing (feeds, navigation, clock, values)",
             column(&TickTimes::beforeCompose));
    PrintRow("  composing (Compose until its first invalidation)", column(&TickTimes::compose));
    std::vector<double> others = column(&TickTimes::compose);
    for (int slot = 0; slot < kRendererSlots; ++slot) {
        std::vector<double> v;
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            v.push_back(ticks[i].renderers[slot]);
            others[i] -= ticks[i].renderers[slot];
        }
        if (FiguresOf(v).mean == 0) continue; // the skin shows none
        const std::string what = std::string("    ") + RendererName(slot);
        PrintRow(what.c_str(), std::move(v));
    }
    PrintRow("    texts, signal, clock, rose, clear, background", std::move(others));
    PrintRow("  invalidation (InvalidateRect calls)", column(&TickTimes::invalidation));
    PrintRow("  rest of FrameTick", column(&TickTimes::restOfTick));
    PrintRow("  paint (WM_PAINT: PaintBackBuffer)", column(&TickTimes::paint));
    PrintRow("  rest of UpdateWindow", column(&TickTimes::restOfUpdate));
    std::vector<double> counts;
    int composed = 0;
    for (const TickTimes& t : ticks) {
        counts.push_back(double(t.invalidations));
        composed += t.composed ? 1 : 0;
    }
    std::printf("  ticks that composed a frame: %d of %zu; invalidated rectangles per tick: median "
                "%.0f\n",
                composed, ticks.size(), FiguresOf(counts).median);
}

// The value pass alone on the loaded skin, on copies of the display's values, with the inputs
// the frame tick would give it (no OBD-II reader).
void BenchValuePass(BenchDrive& drive) {
    AppState& app = App();
    NavState& nav = Nav();
    auto values = std::make_unique<GaugeValues>(Display().values);
    SkinRecord skin = app.skin;
    RectI32 hitRects[kGaugeKindCount];
    std::vector<double> micros;
    micros.reserve(kValuePasses);
    for (int pass = 0; pass < kValuePasses; ++pass) {
        NextBenchSecond(drive, nav.builtInSnapshot);
        const GaugeInputs in = MakeGaugeInputs(nav, app, nav.builtInSnapshot.utcTime, false);
        const double start = NowMicros();
        ComputeGaugeValues(*values, skin, in, hitRects);
        micros.push_back(NowMicros() - start);
    }
    PrintRow("value pass alone (ComputeGaugeValues, separate loop)", std::move(micros));
}

// The command line: SKIN, then /ticks N, /period MS and /trail full|empty in any order.
struct Options {
    const char* skinFolder = nullptr;
    int ticks = kDefaultTicks;
    int periodMs = kDefaultPeriodMs;
    bool fullTrail = true;
    bool primitives = false; // time single GDI+ calls instead of frame ticks
    bool frameCache = true;
    // No fix after the trail is filled, as with no GPS server: only the clock changes, once a
    // second.
    bool steady = false;
    // The engine's values reach the OBD-II gauges as from a reader, one simulated second per
    // tick; without it they show the values of a reader that is not there.
    bool engine = false;
};

int Run(const Options& options) {
    const char* skinFolder = options.skinFolder;
    AppState& app = App();
    NavState& nav = Nav();
    GaugeDisplay& display = Display();
    InstallTimingHooks(display);
    display.cache.enabled = options.frameCache;
    if (!FeedsDetached()) return 1;
    if (std::strcmp(skinFolder, every_kind::kSkinFolder) == 0) {
        if (!WriteEveryKindFolder()) {
            std::printf("cluster_wine_bench: cannot write the %s skin folder\n", skinFolder);
            return 1;
        }
        // As the registry's copy of the skin would be: the frame of a skin without a background
        // is sized from the live record's heading rose before "Skin.bin" is read.
        app.skin = every_kind::EveryKindSkinRecord();
    }

    BenchWindow window;
    if (!window.handle) return 1;
    app.instance = GetModuleHandleA(nullptr);
    app.mainWindow = window.handle;
    app.windowRect = RectI32{20, 20, 120, 120};
    app.osMajorVersion = WindowsMajorVersion();
    app.home = BenchHome();
    std::snprintf(app.skinFolder, sizeof app.skinFolder, "%s", skinFolder);
    LoadSkin(app, display);
    if (!display.frameBitmap.Valid()) {
        std::printf("cluster_wine_bench: the skin folder %s did not load\n", skinFolder);
        return 1;
    }

    if (options.primitives) {
        PrintPrimitiveCosts(display, app);
        return 0;
    }
    BenchDrive drive = StartBenchDrive(app.skin);
    const uint32_t drivenToFill = options.fullTrail ? DriveUntilTrailIsFull(drive, app, nav) : 0;
    if (options.steady) nav.builtInSnapshot = GpsSnapshot{};
    // The reader's record without its mapping: the frame tick reads it like the real one.
    if (options.engine) Obd().view = &drive.obd;
    std::vector<TickTimes> measured;
    double next = NowMicros();
    double cpuAtStart = 0;
    for (int tick = 0; tick < kWarmUpTicks + options.ticks; ++tick) {
        WaitUntil(next);
        next += options.periodMs * 1000.0;
        if (tick == kWarmUpTicks) cpuAtStart = ProcessCpuMicros();
        if (!options.fullTrail) ClearTrail(nav.trail);
        if (!options.steady) NextBenchSecond(drive, nav.builtInSnapshot);
        const TickTimes t = OneTick(window.handle);
        if (tick >= kWarmUpTicks) measured.push_back(t);
    }
    const double cpuMicros = ProcessCpuMicros() - cpuAtStart;
    Obd().view = nullptr;
    if (!FeedsDetached()) return 1;

    std::printf("== Frame tick under Wine, skin %s, %d x %d frame, %d ticks every %d ms, frame "
                "cache %s, ",
                skinFolder, app.frameWidth, app.frameHeight, options.ticks, options.periodMs,
                options.frameCache ? "on" : "off");
    if (options.fullTrail)
        std::printf("trail full (%u s of driving)", drivenToFill);
    else
        std::printf("trail kept empty");
    std::printf(options.steady ? ", no fix (only the clock changes)" : ", a new fix every tick");
    std::printf(options.engine ? ", engine values every tick\n" : ", no OBD-II reader\n");
    if (!measured.empty()) {
        PrintTicks(measured);
        std::printf("  CPU time of this process per measured tick (all threads, messages "
                    "included): %.1f us\n",
                    cpuMicros / double(measured.size()));
    }
    BenchValuePass(drive);
    std::fflush(stdout);
    return 0;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (std::strcmp(word, "/ticks") == 0 && value) {
            options.ticks = std::max(0, std::atoi(value));
            ++i;
        } else if (std::strcmp(word, "/period") == 0 && value) {
            options.periodMs = std::max(0, std::atoi(value));
            ++i;
        } else if (std::strcmp(word, "/trail") == 0 && value) {
            options.fullTrail = std::strcmp(value, "empty") != 0;
            ++i;
        } else if (std::strcmp(word, "/cache") == 0 && value) {
            options.frameCache = std::strcmp(value, "off") != 0;
            ++i;
        } else if (std::strcmp(word, "/engine") == 0) {
            options.engine = true;
        } else if (std::strcmp(word, "/steady") == 0) {
            options.steady = true;
        } else if (std::strcmp(word, "/primitives") == 0) {
            options.primitives = true;
        } else if (word[0] != '/' && !options.skinFolder) {
            options.skinFolder = word;
        } else {
            return false;
        }
    }
    return options.skinFolder != nullptr;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::printf("usage: cluster_wine_bench SKIN [/ticks N] [/period MS] [/trail full|empty] "
                    "[/cache on|off] [/steady] [/engine] [/primitives]\n");
        return 2;
    }
    // The program's singletons in the program's order (shell/main_win.cpp), so they go down in
    // its order too.
    App();
    Nav();
    Obd();
    Display();
    return Run(options);
}
