// GpsServer: a stand-in for the GPS server program, so the cluster can be run and tested end to
// end without a receiver. It owns the shared section "TarvoxGPS" and a hidden window titled
// "TarvoxMsgWnd", and publishes one fix per interval from a simulated drive or a script.
//
// Command line (all optional):
//   /script FILE     publish the scripted fixes of FILE (format in fix_script.h) instead of the
//                    simulated drive; /loop starts the script again after its last line
//   /start LAT LON   start position of the simulated drive (longitude positive west)
//   /interval MS     publishing interval, 1000 by default (tests run faster)
//   /record FILE     append every WM_COPYDATA received to FILE, one line each:
//                    "<wParam> <dwData> <cbData> <hex bytes>" (for tests of the log playback)
//
// Log playback: WM_COPYDATA with dwData 1 starts a playback (the own source pauses), dwData 2
// carries one recorded line (published as far as nmea_feed.h understands it), dwData 0 ends it.
// Exit codes: 0 after WM_CLOSE, 1 bad command line, 2 another server owns the section,
// 3 unreadable or malformed script, 4 the section could not be created.
#include <windows.h>

#include "tools/common/peer_section_win.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "state/gps_snapshot.h"
#include "sources/system_time_win.h"
#include "tools/gps_server/drive_sim.h"
#include "tools/gps_server/fix_script.h"
#include "tools/gps_server/nmea_feed.h"

namespace {

constexpr UINT_PTR kPublishTimer = 1;

struct Server {
    GpsSnapshot* shared = nullptr;
    bool scripted = false;
    bool loop = false;
    std::vector<ScriptedFix> script;
    size_t scriptIndex = 0;
    DriveSim drive;
    bool playing = false; // a log playback has the record
    NmeaFeed played;
    const char* recordPath = nullptr;
};

Server g_server;

SystemTime16 UtcNow() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return ToSystemTime16(now);
}

// Writes the record around clientCount, which belongs to the readers: they count themselves in
// and out while the server runs.
void Publish(const GpsSnapshot& next) {
    auto* to = reinterpret_cast<uint8_t*>(g_server.shared);
    auto* from = reinterpret_cast<const uint8_t*>(&next);
    constexpr size_t count = offsetof(GpsSnapshot, clientCount);
    std::memcpy(to, from, count);
    std::memcpy(to + count + 1, from + count + 1, sizeof(GpsSnapshot) - count - 1);
}

void PublishCurrent() {
    GpsSnapshot next;
    if (g_server.scripted) {
        if (g_server.script.empty()) return;
        ScriptedSnapshot(g_server.script[g_server.scriptIndex], UtcNow(), next);
    } else {
        DriveSnapshot(g_server.drive, UtcNow(), next);
    }
    Publish(next);
}

void Advance() {
    if (!g_server.scripted) {
        AdvanceDrive(g_server.drive);
    } else if (g_server.scriptIndex + 1 < g_server.script.size()) {
        ++g_server.scriptIndex;
    } else if (g_server.loop) {
        g_server.scriptIndex = 0;
    }
}

void RecordMessage(WPARAM wParam, const COPYDATASTRUCT& data) {
    if (g_server.recordPath == nullptr) return;
    std::ofstream out(g_server.recordPath, std::ios::binary | std::ios::app);
    out << wParam << ' ' << data.dwData << ' ' << data.cbData << ' ';
    static const char kHex[] = "0123456789abcdef";
    const auto* bytes = static_cast<const uint8_t*>(data.lpData);
    for (DWORD i = 0; bytes != nullptr && i < data.cbData; ++i)
        out << kHex[bytes[i] >> 4] << kHex[bytes[i] & 15];
    out << '\n';
}

void ReceivePlayback(WPARAM wParam, const COPYDATASTRUCT& data) {
    RecordMessage(wParam, data);
    switch (data.dwData) {
    case 1:
        g_server.playing = true;
        g_server.played = NmeaFeed{};
        break;
    case 2:
        if (g_server.playing && data.lpData != nullptr && data.cbData > 0) {
            const char* text = static_cast<const char*>(data.lpData);
            std::string line(text, strnlen(text, data.cbData));
            if (ApplyNmeaSentence(g_server.played, line)) Publish(g_server.played.record);
        }
        break;
    case 0:
        g_server.playing = false;
        break;
    default:
        break;
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kPublishTimer) {
            Advance();
            if (!g_server.playing) PublishCurrent();
        }
        return 0;
    case WM_COPYDATA:
        if (lParam != 0) ReceivePlayback(wParam, *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        KillTimer(window, kPublishTimer);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    double startLatitude = 47.6205;
    double startLongitude = 122.3493;
    UINT interval = 1000;
    const char* scriptPath = nullptr;
    for (int i = 1; i < __argc; ++i) {
        std::string option = __argv[i];
        if (option == "/script" && i + 1 < __argc) {
            scriptPath = __argv[++i];
        } else if (option == "/record" && i + 1 < __argc) {
            g_server.recordPath = __argv[++i];
        } else if (option == "/loop") {
            g_server.loop = true;
        } else if (option == "/start" && i + 2 < __argc) {
            startLatitude = std::atof(__argv[++i]);
            startLongitude = std::atof(__argv[++i]);
        } else if (option == "/interval" && i + 1 < __argc) {
            interval = static_cast<UINT>(std::atoi(__argv[++i]));
            if (interval < 10) interval = 10;
        } else {
            OutputDebugStringA("GpsServer: unknown option\n");
            return 1;
        }
    }

    if (scriptPath != nullptr) {
        std::string text, error;
        if (!ReadWholeFile(scriptPath, text) || !ParseFixScript(text, g_server.script, error)) {
            OutputDebugStringA(("GpsServer: bad script " + error + "\n").c_str());
            return 3;
        }
        g_server.scripted = true;
    }
    g_server.drive = StartDrive(startLatitude, startLongitude);

    PeerSection<GpsSnapshot> section;
    if (int failed = section.Create(kGpsSectionName)) return failed;
    g_server.shared = section.Get();
    PublishCurrent();

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "GpsServerStandIn";
    if (!RegisterClassA(&windowClass)) return 4;
    HWND window =
        CreateWindowExA(0, windowClass.lpszClassName, kGpsServerWindowTitle, WS_OVERLAPPEDWINDOW, 0,
                        0, 100, 100, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 4;
    SetTimer(window, kPublishTimer, interval, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
