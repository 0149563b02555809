// ObdReader: a stand-in for the OBD-II reader program, so the cluster's engine gauges can be run
// and tested end to end without a car. It owns the shared section "KELBO2" and a hidden window
// titled "KelboMsgWnd", and publishes the requested PIDs of a simulated engine or a script.
//
// Command line (all optional):
//   /script FILE     apply one line of FILE per tick (format in reader_script.h) instead of
//                    running the simulated engine
//   /interval MS     tick interval, 250 by default (tests run faster)
//   /record FILE     append what happens with the cluster to FILE, one line each:
//                    "register <window>", "reset", "ask <window>", "message <msg> <wParam>"
//
// Messages: WM_USER with wParam 0x4000002 registers the window in lParam for notifications;
// WM_USER + 3 resets the odometer and trip. The reader asks the registered window for its PID
// requests with WM_USER: in the simulation whenever it has fallen idle (nothing requested) for
// five seconds, in a script with "ask".
// Exit codes: 0 after WM_CLOSE, 1 bad command line, 2 another reader owns the section,
// 3 unreadable or malformed script, 4 the section could not be created.
#include <windows.h>

#include "tools/common/peer_section_win.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sources/obd_snapshot.h"
#include "tools/obd_reader/engine_sim.h"
#include "tools/obd_reader/reader_script.h"

namespace {

constexpr UINT_PTR kTickTimer = 1;
constexpr double kInitSeconds = 2.0;     // the simulated link needs this long to come up
constexpr double kAskEverySeconds = 5.0; // an idle reader asks again this often
constexpr uint8_t kLinkWorking = 3;
constexpr uint8_t kLinkInit = 4;

struct Reader {
    ObdSnapshot* shared = nullptr;
    UINT interval = 250;
    bool scripted = false;
    std::vector<ScriptStep> script;
    size_t scriptIndex = 0;
    EngineSim engine;
    ReaderValues values;
    double odometerOffsetKm = 0.0; // simulated odometer minus what a reset took away
    double tripOffsetKm = 0.0;
    double idleSeconds = 0.0;
    HWND registered = nullptr;
    const char* recordPath = nullptr;
};

Reader g_reader;

void Record(const std::string& line) {
    if (g_reader.recordPath == nullptr) return;
    std::ofstream out(g_reader.recordPath, std::ios::binary | std::ios::app);
    out << line << '\n';
}

std::string WindowNumber(HWND window) {
    return std::to_string(reinterpret_cast<uintptr_t>(window));
}

void AskForRequests() {
    if (g_reader.registered == nullptr || !IsWindow(g_reader.registered)) return;
    Record("ask " + WindowNumber(g_reader.registered));
    PostMessageA(g_reader.registered, WM_USER, 0, 0);
}

void ApplyScriptStep(const ScriptStep& step) {
    using Command = ScriptStep::Command;
    ReaderValues& v = g_reader.values;
    const double* n = step.number;
    switch (step.command) {
    case Command::Link:
        v.linkState = static_cast<uint8_t>(n[0]);
        break;
    case Command::Pid:
        v.pid[step.pid] = static_cast<uint16_t>(n[0]);
        break;
    case Command::Volts:
        v.volts = static_cast<float>(n[0]);
        break;
    case Command::Odometer:
        v.odometerKm = n[0];
        break;
    case Command::Trip:
        v.tripKm = n[0];
        break;
    case Command::Mpg:
        for (int i = 0; i < kObdMpgFigures; ++i)
            v.mpg[i] = static_cast<float>(n[i]);
        break;
    case Command::Factor:
        v.speedFactor = static_cast<float>(n[0]);
        break;
    case Command::Forget:
        g_reader.shared->pidRequestMask = 0;
        g_reader.shared->optionFlags =
            static_cast<uint8_t>(g_reader.shared->optionFlags & ~kObdOptionVolts);
        break;
    case Command::Ask:
        AskForRequests();
        break;
    case Command::Wait:
        break;
    }
}

void SimulationTick(double dt) {
    AdvanceEngine(g_reader.engine, dt);
    ReaderValues& v = g_reader.values;
    const uint8_t link = v.linkState;
    EngineValues(g_reader.engine, v);
    v.odometerKm = g_reader.engine.odometerKm - g_reader.odometerOffsetKm;
    v.tripKm = g_reader.engine.tripKm - g_reader.tripOffsetKm;
    const bool idle = g_reader.shared->pidRequestMask == 0;
    if (g_reader.engine.seconds < kInitSeconds)
        v.linkState = kLinkInit;
    else
        v.linkState = idle ? kObdLinkIdle : kLinkWorking;
    // An idle reader has nothing to poll: it asks the registered window what it wants, when it
    // falls idle and then every few seconds.
    if (v.linkState == kObdLinkIdle) {
        if (link != kObdLinkIdle || g_reader.idleSeconds >= kAskEverySeconds) {
            g_reader.idleSeconds = 0.0;
            AskForRequests();
        }
        g_reader.idleSeconds += dt;
    } else {
        g_reader.idleSeconds = 0.0;
    }
}

void Tick() {
    if (g_reader.scripted) {
        if (g_reader.scriptIndex < g_reader.script.size())
            ApplyScriptStep(g_reader.script[g_reader.scriptIndex++]);
    } else {
        SimulationTick(g_reader.interval / 1000.0);
    }
    PublishReaderValues(g_reader.values, *g_reader.shared);
}

void ResetOdometer() {
    Record("reset");
    if (g_reader.scripted) {
        g_reader.values.odometerKm = 0.0;
        g_reader.values.tripKm = 0.0;
    } else {
        g_reader.odometerOffsetKm = g_reader.engine.odometerKm;
        g_reader.tripOffsetKm = g_reader.engine.tripKm;
    }
    PublishReaderValues(g_reader.values, *g_reader.shared);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kTickTimer) Tick();
        return 0;
    case WM_USER:
        if (wParam == kObdRegisterWParam) {
            g_reader.registered = reinterpret_cast<HWND>(lParam);
            Record("register " + WindowNumber(g_reader.registered));
        } else {
            Record("message " + std::to_string(message) + " " + std::to_string(wParam));
        }
        return 0;
    case WM_USER + 3:
        ResetOdometer();
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, kTickTimer);
        PostQuitMessage(0);
        return 0;
    default:
        if (message > WM_USER && message < WM_USER + 16)
            Record("message " + std::to_string(message) + " " + std::to_string(wParam));
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const char* scriptPath = nullptr;
    for (int i = 1; i < __argc; ++i) {
        std::string option = __argv[i];
        if (option == "/script" && i + 1 < __argc) {
            scriptPath = __argv[++i];
        } else if (option == "/record" && i + 1 < __argc) {
            g_reader.recordPath = __argv[++i];
        } else if (option == "/interval" && i + 1 < __argc) {
            int interval = std::atoi(__argv[++i]);
            g_reader.interval = static_cast<UINT>(interval < 10 ? 10 : interval);
        } else {
            OutputDebugStringA("ObdReader: unknown option\n");
            return 1;
        }
    }

    if (scriptPath != nullptr) {
        std::string text, error;
        if (!ReadWholeFile(scriptPath, text) || !ParseReaderScript(text, g_reader.script, error)) {
            OutputDebugStringA(("ObdReader: bad script " + error + "\n").c_str());
            return 3;
        }
        g_reader.scripted = true;
    }

    PeerSection<ObdSnapshot> section;
    if (int failed = section.Create(kObdSectionName)) return failed;
    g_reader.shared = section.Get();
    if (!g_reader.scripted) EngineValues(g_reader.engine, g_reader.values);
    PublishReaderValues(g_reader.values, *g_reader.shared);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "ObdReaderStandIn";
    if (!RegisterClassA(&windowClass)) return 4;
    HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, kObdReaderWindowTitle, WS_OVERLAPPEDWINDOW, 0,
                        0, 100, 100, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 4;
    SetTimer(window, kTickTimer, g_reader.interval, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
