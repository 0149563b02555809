// ObdReader: a stand-in for the OBD-II reader program, so the cluster's engine gauges can be run
// and tested end to end without a car. It owns the shared section "KELBO2" and a hidden window
// titled "KelboMsgWnd", and publishes the requested PIDs of a simulated engine, a script, or a
// car through an ELM327-compatible adapter.
//
// Command line (all optional):
//   /script FILE     apply one line of FILE per tick (format in reader_script.h) instead of
//                    running the simulated engine
//   /port COMn       read the car through an ELM327 adapter on this serial port instead; the
//                    port is opened again every second while it is absent
//   /baud N          the adapter's speed, 38400 by default
//   /interval MS     tick interval, 250 by default, 50 with an adapter (tests run faster)
//   /record FILE     append what happens with the cluster to FILE, one line each:
//                    "register <window>", "reset", "ask <window>", "message <msg> <wParam>",
//                    and with an adapter "adapter open", "adapter lost" (the port failed),
//                    "adapter silent" (three commands in a row went unanswered)
//   /help            print the options
//
// Messages: WM_USER with wParam 0x4000002 registers the window in lParam for notifications;
// WM_USER + 3 resets the odometer and trip. The reader asks the registered window for its PID
// requests with WM_USER: in the simulation whenever it has fallen idle (nothing requested) for
// five seconds, in a script with "ask".
// With an adapter the link state follows it: "N/C" while the port is absent, "Init" during the
// set-up commands, "Working" while the car answers, "Open" while nothing answers, "TO" after a
// command went unanswered, "Idle" while nothing is requested. NO DATA and time-outs leave a
// value as it was; when the adapter is unplugged (the port fails, or three commands in a row go
// unanswered) the link state drops to "N/C" and the PID values to 0 until it is back.
// Exit codes: 0 after WM_CLOSE (and after /help), 1 bad command line, 2 another reader owns the
// section, 3 unreadable or malformed script, 4 the section could not be created.
#include <windows.h>

#include "tools/common/peer_section_win.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sources/obd_snapshot.h"
#include "tools/obd_reader/elm327.h"
#include "tools/obd_reader/engine_sim.h"
#include "tools/obd_reader/reader_script.h"
#include "tools/common/serial_port_win.h"

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
    // Adapter mode.
    const char* portName = nullptr;
    DWORD baud = 38400;
    SerialPort port;
    ElmSession session;
    double closedSeconds = 1.0; // since the last attempt to open the port (the first is at once)
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

// Idle bookkeeping shared by the simulation and the adapter: an idle reader has nothing to poll,
// so it asks the registered window what it wants, when it falls idle and then every few seconds.
void IdleStep(uint8_t previousLink, double dt) {
    if (g_reader.values.linkState == kObdLinkIdle) {
        if (previousLink != kObdLinkIdle || g_reader.idleSeconds >= kAskEverySeconds) {
            g_reader.idleSeconds = 0.0;
            AskForRequests();
        }
        g_reader.idleSeconds += dt;
    } else {
        g_reader.idleSeconds = 0.0;
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
    IdleStep(link, dt);
}

void AdapterLost() {
    g_reader.port.Close();
    g_reader.closedSeconds = 0.0;
    ReaderValues& v = g_reader.values;
    v.linkState = kObdLinkNotConnected;
    // No stale engine figures while there is no car to read.
    for (uint16_t& raw : v.pid)
        raw = 0;
    v.volts = 0.0f;
}

void AdapterTick(double dt) {
    const uint8_t link = g_reader.values.linkState;
    if (!g_reader.port.IsOpen()) {
        g_reader.closedSeconds += dt;
        if (g_reader.closedSeconds < 1.0) return;
        g_reader.closedSeconds = 0.0;
        if (!g_reader.port.Open(g_reader.portName, g_reader.baud)) return;
        g_reader.session = ElmSession{};
        g_reader.values.linkState = g_reader.session.linkState;
        Record("adapter open");
    }
    std::string bytes;
    if (!g_reader.port.Read(bytes)) {
        Record("adapter lost");
        AdapterLost();
        return;
    }
    const ObdSnapshot& shared = *g_reader.shared;
    ElmOutput out = ElmStep(g_reader.session, bytes, dt, shared.pidRequestMask,
                            (shared.optionFlags & kObdOptionVolts) != 0, g_reader.values);
    if (out.lost) {
        Record("adapter silent");
        AdapterLost();
        return;
    }
    if (!out.send.empty() && !g_reader.port.Write(out.send)) {
        Record("adapter lost");
        AdapterLost();
        return;
    }
    g_reader.values.linkState = g_reader.session.linkState;
    IdleStep(link, dt);
}

void Tick() {
    if (g_reader.portName != nullptr) {
        // Time-outs count real time: a late timer must not stretch them.
        static ULONGLONG last = GetTickCount64();
        const ULONGLONG now = GetTickCount64();
        AdapterTick((now - last) / 1000.0);
        last = now;
    } else if (g_reader.scripted) {
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

const char kHelpText[] =
    "ObdReader: the OBD-II reader for Vantrel's engine gauges.\r\n"
    "\r\n"
    "  ObdReader [/port COMn [/baud N] | /script FILE] [/interval MS] [/record FILE]\r\n"
    "\r\n"
    "  (nothing)      simulate an engine over a drive cycle\r\n"
    "  /port COMn     read a car through an ELM327-compatible adapter on serial port COMn;\r\n"
    "                 only the PIDs Vantrel's shown gauges ask for are requested (mode 01),\r\n"
    "                 NO DATA and time-outs keep a value, the link state follows the adapter\r\n"
    "                 and the port is tried again every second while it is absent\r\n"
    "  /baud N        the adapter's serial speed (38400 by default; many clones use 9600)\r\n"
    "  /script FILE   play scripted readings, one line per tick (see reader_script.h)\r\n"
    "  /interval MS   tick interval, 250 by default (50 with an adapter)\r\n"
    "  /record FILE   append what happens with Vantrel and the adapter to FILE\r\n"
    "  /help          this text\r\n";

// A windowed program has no console of its own: the help goes to the console it was started
// from, or to a message box when there is none.
void ShowHelp() {
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE out = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 0, nullptr);
        if (out != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(out, kHelpText, sizeof kHelpText - 1, &written, nullptr);
            CloseHandle(out);
            return;
        }
    }
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (out != nullptr && out != INVALID_HANDLE_VALUE &&
        WriteFile(out, kHelpText, sizeof kHelpText - 1, &written, nullptr))
        return;
    MessageBoxA(nullptr, kHelpText, "ObdReader", MB_OK | MB_ICONINFORMATION);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const char* scriptPath = nullptr;
    bool intervalGiven = false;
    for (int i = 1; i < __argc; ++i) {
        std::string option = __argv[i];
        if (option == "/script" && i + 1 < __argc) {
            scriptPath = __argv[++i];
        } else if (option == "/record" && i + 1 < __argc) {
            g_reader.recordPath = __argv[++i];
        } else if (option == "/interval" && i + 1 < __argc) {
            int interval = std::atoi(__argv[++i]);
            g_reader.interval = static_cast<UINT>(interval < 10 ? 10 : interval);
            intervalGiven = true;
        } else if (option == "/port" && i + 1 < __argc) {
            g_reader.portName = __argv[++i];
        } else if (option == "/baud" && i + 1 < __argc) {
            const long baud = std::atol(__argv[++i]);
            if (baud < 300 || baud > 4000000) {
                OutputDebugStringA("ObdReader: bad baud rate\n");
                return 1;
            }
            g_reader.baud = static_cast<DWORD>(baud);
        } else if (option == "/help" || option == "--help" || option == "-h" || option == "/?") {
            ShowHelp();
            return 0;
        } else {
            OutputDebugStringA("ObdReader: unknown option\n");
            return 1;
        }
    }

    // An adapter answers within tens of milliseconds and takes one request at a time: a slow
    // tick would leave the gauges a round behind.
    if (g_reader.portName != nullptr && !intervalGiven) g_reader.interval = 50;
    if (scriptPath != nullptr && g_reader.portName != nullptr) {
        OutputDebugStringA("ObdReader: /script and /port exclude each other\n");
        return 1;
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
    if (!g_reader.scripted && g_reader.portName == nullptr)
        EngineValues(g_reader.engine, g_reader.values);
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
