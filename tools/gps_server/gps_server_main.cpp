// GpsServer: a stand-in for the GPS server program, so the cluster can be run and tested end to
// end without a receiver. It owns the shared section "TarvoxGPS" and a hidden window titled
// "TarvoxMsgWnd", and publishes one fix per interval from a simulated drive or a script.
//
// Log playback: WM_COPYDATA with dwData 1 starts a playback (the simulated drive or script
// pauses and the fix is cleared), dwData 2 carries one record of a receiver's log, decoded as
// NMEA 0183 sentences and SiRF binary packets (receiver_stream.h), dwData 0 ends it and the
// drive or script takes over again.
//
// As a gateway (/serial, /tcp, /gpsd, /nmea) it publishes what a real receiver, a gpsd or a
// receiver's log says instead (gateway_win.h); a source that goes silent loses its fix.
//
// Exit codes: 0 after WM_CLOSE (or a written log, or the usage shown), 1 bad command line, 2
// another server owns the section, 3 unreadable or malformed script, unreadable NMEA log or no
// winsock, 4 the section could not be created, 5 the log could not be written.
// Winsock 2 before <windows.h>, which would bring in the old winsock otherwise.
#include "tools/gps_server/gateway_win.h"

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
#include "tools/gps_server/gateway_options.h"
#include "tools/gps_server/nmea_text.h"
#include "tools/gps_server/nmea_writer.h"
#include "tools/gps_server/receiver_stream.h"

namespace {

constexpr char kUsage[] =
    "GpsServer [options]\n"
    "Publishes a simulated drive unless told to take its fixes from elsewhere, one of:\n"
    "  /serial COMn [BAUD]   NMEA 0183 from a serial port, 4800 baud unless told; 8 data bits,\n"
    "                        no parity, one stop bit. The port is opened again when it fails\n"
    "                        or says nothing for 3 seconds\n"
    "  /tcp HOST PORT        NMEA 0183 from a TCP server (a receiver's network port)\n"
    "  /gpsd [HOST[:PORT]]   the reports of a gpsd, localhost:2947 unless told\n"
    "  /nmea FILE            NMEA 0183 from a log file, at the pace of its sentences' times\n"
    "  /script FILE          the fixes of a script (fix_script.h)\n"
    "  /loop                 with /nmea or /script: start again after the last line\n"
    "A connection that fails or is lost is tried again after 0.25 s, then twice as long each\n"
    "time up to 4 s. A source that says nothing understandable for 3 s loses its fix.\n"
    "Other options:\n"
    "  /start LAT LON        start of the simulated drive (longitude positive west)\n"
    "  /interval MS          publishing interval, 1000 by default\n"
    "  /record FILE          append every WM_COPYDATA received to FILE, one line each:\n"
    "                        \"<wParam> <dwData> <cbData> <hex bytes>\"\n"
    "  /writelog FILE SECS   write SECS seconds of the simulated drive to FILE as an NMEA log\n"
    "                        (a .gps file the cluster can play back) and exit\n"
    "  /help, --help, /?     show this and exit\n";

constexpr UINT_PTR kPublishTimer = 1;
constexpr UINT_PTR kGatewayTimer = 2;

struct Server {
    GpsSnapshot* shared = nullptr;
    bool scripted = false;
    bool loop = false;
    std::vector<ScriptedFix> script;
    size_t scriptIndex = 0;
    DriveSim drive;
    bool playing = false; // a log playback has the record
    ReceiverStream played;
    const char* recordPath = nullptr;
    bool gateway = false; // a real receiver, a gpsd or a log file has the record
    GatewaySource source;
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
    if (g_server.gateway) {
        next = g_server.source.link.receiver.state.record;
    } else if (g_server.scripted) {
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

void StartPlayedLog() {
    g_server.playing = true;
    ResetReceiverStream(g_server.played);
    Publish(g_server.played.state.record);
}

void ReceivePlayback(WPARAM wParam, const COPYDATASTRUCT& data) {
    RecordMessage(wParam, data);
    switch (data.dwData) {
    case 1:
        StartPlayedLog();
        break;
    case 2: {
        if (data.lpData == nullptr || data.cbData == 0) break;
        // A record without a start message (the server started during a playback) starts one.
        if (!g_server.playing) StartPlayedLog();
        const auto* bytes = static_cast<const uint8_t*>(data.lpData);
        // The record's bytes and the zero byte after them; a binary record may hold zeros.
        const DWORD size = bytes[data.cbData - 1] == 0 ? data.cbData - 1 : data.cbData;
        if (FeedReceiverBytes(g_server.played, bytes, size)) Publish(g_server.played.state.record);
        break;
    }
    case 0:
        g_server.playing = false;
        PublishCurrent();
        break;
    default:
        break;
    }
}

// The simulated drive from its start, second by second from now, as a receiver's NMEA log.
int WriteDriveLog(const char* path, uint32_t seconds, double latitude, double longitude) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return 5;
    SYSTEMTIME now;
    GetSystemTime(&now);
    now.wMilliseconds = 0;
    FILETIME start;
    SystemTimeToFileTime(&now, &start);
    ULARGE_INTEGER t;
    t.LowPart = start.dwLowDateTime;
    t.HighPart = start.dwHighDateTime;
    DriveSim drive = StartDrive(latitude, longitude);
    for (uint32_t second = 0; second < seconds; ++second) {
        FILETIME at;
        at.dwLowDateTime = t.LowPart;
        at.dwHighDateTime = t.HighPart;
        SYSTEMTIME utc;
        FileTimeToSystemTime(&at, &utc);
        GpsSnapshot record;
        DriveSnapshot(drive, ToSystemTime16(utc), record);
        out << NmeaSentencesOf(record);
        AdvanceDrive(drive);
        t.QuadPart += 10000000ULL; // one second in 100 ns steps
    }
    out.close();
    return out ? 0 : 5;
}

// The stand-in is a windowed program: the usage goes to the console it was started from, if
// any, and to the debugger.
void ShowUsage() {
    OutputDebugStringA(kUsage);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE console = INVALID_HANDLE_VALUE;
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
        out = console;
    }
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(out, kUsage, sizeof kUsage - 1, &written, nullptr);
    if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        // The gateway goes on reading during a playback, so its connection stays up; the
        // playback's record is the one published until it ends.
        if (wParam == kGatewayTimer && PollGatewaySource(g_server.source, GetTickCount()) &&
            !g_server.playing) {
            PublishCurrent();
        }
        // A playback has the record: the drive or script waits where it is until it ends.
        if (wParam == kPublishTimer && !g_server.playing && !g_server.gateway) {
            Advance();
            PublishCurrent();
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
        KillTimer(window, kGatewayTimer);
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
    const char* logPath = nullptr;
    uint32_t logSeconds = 0;
    GatewayOptions gateway;
    const std::vector<std::string> args(__argv, __argv + __argc);
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        const bool more = i + 1 < args.size();
        std::string error;
        switch (ReadGatewayOption(args, i, gateway, error)) {
        case OptionRead::Taken:
            continue;
        case OptionRead::Bad:
            OutputDebugStringA(("GpsServer: " + error + "\n").c_str());
            OutputDebugStringA(kUsage);
            return 1;
        case OptionRead::NotMine:
            break;
        }
        if (option == "/help" || option == "--help" || option == "-h" || option == "/?") {
            ShowUsage();
            return 0;
        } else if (option == "/script" && more) {
            scriptPath = __argv[++i];
        } else if (option == "/record" && more) {
            g_server.recordPath = __argv[++i];
        } else if (option == "/loop") {
            g_server.loop = true;
        } else if (option == "/start" && i + 2 < args.size()) {
            const char* latitude = __argv[++i];
            const char* longitude = __argv[++i];
            if (!ParseDecimal(latitude, startLatitude) ||
                !ParseDecimal(longitude, startLongitude)) {
                OutputDebugStringA(kUsage);
                return 1;
            }
        } else if (option == "/interval" && more) {
            interval = static_cast<UINT>(std::atoi(__argv[++i]));
            if (interval < 10) interval = 10;
        } else if (option == "/writelog" && i + 2 < args.size()) {
            logPath = __argv[++i];
            logSeconds = static_cast<uint32_t>(std::strtoul(__argv[++i], nullptr, 10));
        } else {
            OutputDebugStringA("GpsServer: unknown option\n");
            OutputDebugStringA(kUsage);
            return 1;
        }
    }
    if (gateway.kind != GatewayKind::None && scriptPath != nullptr) {
        OutputDebugStringA("GpsServer: one source at a time\n");
        return 1;
    }
    if (logPath != nullptr)
        return WriteDriveLog(logPath, logSeconds, startLatitude, startLongitude);

    if (scriptPath != nullptr) {
        std::string text, error;
        if (!ReadWholeFile(scriptPath, text) || !ParseFixScript(text, g_server.script, error)) {
            OutputDebugStringA(("GpsServer: bad script " + error + "\n").c_str());
            return 3;
        }
        g_server.scripted = true;
    }
    g_server.drive = StartDrive(startLatitude, startLongitude);
    if (gateway.kind != GatewayKind::None) {
        std::string error;
        if (!StartGatewaySource(g_server.source, gateway, g_server.loop, error)) {
            OutputDebugStringA(("GpsServer: " + error + "\n").c_str());
            return 3;
        }
        g_server.gateway = true;
    }

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
    if (g_server.gateway) {
        SetTimer(window, kGatewayTimer, kGatewayPollMs, nullptr);
    } else {
        SetTimer(window, kPublishTimer, interval, nullptr);
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    StopGatewaySource(g_server.source);
    return 0;
}
