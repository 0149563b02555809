// End to end: the real Vantrel.exe from a private copy of the ready folder, watched from outside.
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>

#include "rig/rig.h"
#include "sources/gps_feed_win.h"
#include "state/skin_record.h"
#include "trip/trip_log.h"

namespace {

constexpr const char kTitle[] = "Brevanti - Vantrel";
constexpr const char kSettingsKey[] = "Software\\Brevanti\\Vantrel";
constexpr const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

void ForgetSettings() {
    rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    HKEY run = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kRunKey, &run) == ERROR_SUCCESS) {
        RegDeleteValueA(run, "NMEAVantrel");
        RegCloseKey(run);
    }
}

std::map<std::string, rig::RegistryValue> StoredSettings() {
    std::map<std::string, rig::RegistryValue> values;
    for (const std::string& name : rig::RegistryValueNames(HKEY_CURRENT_USER, kSettingsKey)) {
        values[name] = rig::ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey, name);
    }
    return values;
}

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

class VantrelWindow : public ::testing::Test {
  protected:
    void SetUp() override { ForgetSettings(); }
    void TearDown() override {
        vantrel_.Stop();
        ForgetSettings();
    }

    // Starts Vantrel and waits for its window.
    HWND Start(const std::string& arguments = "") {
        if (!vantrel_.Start(folder_.File("Vantrel.exe"), arguments)) {
            ADD_FAILURE() << "Vantrel.exe did not start";
            return nullptr;
        }
        HWND window = rig::WaitForWindow(kTitle, 10000, vantrel_.Id());
        EXPECT_NE(window, nullptr) << "no window titled " << kTitle;
        // The title is set early in the window's start; it is shown at the end of it.
        EXPECT_TRUE(rig::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000));
        return window;
    }
    // Closes it through the close command and waits for the process to end.
    void CloseAndWait(HWND window) {
        PostMessageA(window, WM_COMMAND, 2, 0);
        EXPECT_TRUE(vantrel_.WaitForExit(10000));
    }

    rig::ProgramFolder folder_;
    rig::Process vantrel_;
};

TEST_F(VantrelWindow, TitleStylesAndLayeredAttributes) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(rig::WindowClass(window), "#32770"); // a dialog box
    const DWORD style = DWORD(GetWindowLongA(window, GWL_STYLE));
    const DWORD exStyle = DWORD(GetWindowLongA(window, GWL_EXSTYLE));
    EXPECT_EQ(style & 0x90000040u, 0x90000040u);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_CHILD), 0u);
    EXPECT_EQ(exStyle & 0x00080080u, 0x00080080u);
    EXPECT_EQ(exStyle & WS_EX_TOPMOST, 0u);
    EXPECT_TRUE(IsWindowVisible(window));

    COLORREF key = 0xFFFFFF;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(0, 0, 0));
    EXPECT_EQ(flags, DWORD(LWA_COLORKEY)); // the default skin is fully opaque

    const RECT r = WindowRect(window);
    EXPECT_GT(r.right - r.left, 0);
    EXPECT_GT(r.bottom - r.top, 0);
}

TEST_F(VantrelWindow, SkinOpacityBelowFullAddsTheAlpha) {
    // The stored skin (no "Skin.bin" in the ready folder replaces it) at half opacity.
    SkinRecord skin = DefaultSkinRecord();
    skin.opacity = 128;
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Skin2", REG_BINARY, &skin,
                                        sizeof(skin)));
    const uint32_t topmost = 0x08;
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Metric", REG_DWORD,
                                        &topmost, sizeof(topmost)));
    // A skin folder without "Skin.bin", named on the command line, keeps the stored skin.
    ASSERT_TRUE(CreateDirectoryA(folder_.File("Bare").c_str(), nullptr));
    HWND window = Start("Bare");
    ASSERT_NE(window, nullptr);
    COLORREF key = 0xFFFFFF;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(0, 0, 0));
    EXPECT_EQ(flags, DWORD(LWA_COLORKEY | LWA_ALPHA));
    EXPECT_EQ(alpha, 128);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    // The command line's skin folder becomes the stored one at exit.
    CloseAndWait(window);
    const rig::RegistryValue stored =
        rig::ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "ForeSkin");
    EXPECT_EQ(std::string(stored.data.begin(), stored.data.end()), std::string("Bare") + '\0');
}

TEST_F(VantrelWindow, DialogTemplateIsStoredAsDesigned) {
    HMODULE exe =
        LoadLibraryExA(folder_.File("Vantrel.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(5)); // RT_DIALOG
    ASSERT_NE(found, nullptr);
    const uint8_t* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(exe, found)));
    ASSERT_NE(bytes, nullptr);
    // DLGTEMPLATEEX: version 1, signature 0xFFFF, help id, extended style, style, item count,
    // x, y, cx, cy.
    uint16_t version, signature, items;
    uint32_t exStyle, style;
    int16_t x, y, cx, cy;
    std::memcpy(&version, bytes, 2);
    std::memcpy(&signature, bytes + 2, 2);
    std::memcpy(&exStyle, bytes + 8, 4);
    std::memcpy(&style, bytes + 12, 4);
    std::memcpy(&items, bytes + 16, 2);
    std::memcpy(&x, bytes + 18, 2);
    std::memcpy(&y, bytes + 20, 2);
    std::memcpy(&cx, bytes + 22, 2);
    std::memcpy(&cy, bytes + 24, 2);
    EXPECT_EQ(version, 1);
    EXPECT_EQ(signature, 0xFFFF);
    EXPECT_EQ(style, 0x90000040u);
    EXPECT_EQ(exStyle, 0x00080080u);
    EXPECT_EQ(items, 0);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    EXPECT_EQ(cx, 188);
    EXPECT_EQ(cy, 90);
    // Icon 105 and menu 104 are there too.
    EXPECT_NE(FindResourceA(exe, MAKEINTRESOURCEA(105), MAKEINTRESOURCEA(14)), nullptr);
    HICON icon = static_cast<HICON>(
        LoadImageA(exe, MAKEINTRESOURCEA(105), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
    EXPECT_NE(icon, nullptr) << "icon 105 does not load at 16 x 16";
    if (icon != nullptr) {
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap{};
        GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, 16);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    EXPECT_NE(FindResourceA(exe, MAKEINTRESOURCEA(104), MAKEINTRESOURCEA(4)), nullptr);
    FreeLibrary(exe);
}

TEST_F(VantrelWindow, SecondStartClosesTheFirst) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    rig::Process second;
    ASSERT_TRUE(second.Start(folder_.File("Vantrel.exe")));
    EXPECT_TRUE(second.WaitForExit(10000));
    EXPECT_TRUE(vantrel_.WaitForExit(10000)) << "the running copy did not close";
    EXPECT_EQ(FindWindowA(nullptr, kTitle), nullptr);
    // Its settings were saved on the way out.
    EXPECT_EQ(StoredSettings().size(), 11u);

    // With none running, a start runs normally.
    rig::Process third;
    ASSERT_TRUE(third.Start(folder_.File("Vantrel.exe")));
    EXPECT_NE(rig::WaitForWindow(kTitle, 10000, third.Id()), nullptr);
    third.Stop();
}

struct HungWindow {
    HANDLE created;
    HANDLE release;
};

DWORD WINAPI RunHungWindow(void* parameter) {
    auto* hung = static_cast<HungWindow*>(parameter);
    HWND window = CreateWindowExA(0, "STATIC", kTitle, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    SetEvent(hung->created);
    WaitForSingleObject(hung->release, INFINITE);
    DestroyWindow(window);
    return 0;
}

TEST_F(VantrelWindow, SecondStartGivesUpOnAHungFirstCopy) {
    // A window with the cluster's title on a thread that never reads its messages again.
    HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HungWindow hung{created, release};
    HANDLE thread = CreateThread(nullptr, 0, RunHungWindow, &hung, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(created, 5000);

    rig::Process second;
    ASSERT_TRUE(second.Start(folder_.File("Vantrel.exe")));
    EXPECT_TRUE(second.WaitForExit(15000)) << "the second start hung with the first";
    EXPECT_EQ(second.ExitCode(), 1u);
    EXPECT_TRUE(StoredSettings().empty()) << "it must not have run as a cluster";

    SetEvent(release);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(created);
    CloseHandle(release);
}

TEST_F(VantrelWindow, CloseCommandAndEscapeClose) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    CloseAndWait(window);

    window = Start();
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    rig::WaitUntil([&] { return GetForegroundWindow() == window; }, 3000);
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_ESCAPE;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    EXPECT_TRUE(vantrel_.WaitForExit(10000)) << "Escape did not close the window";

    // Alt+F4 reaches the window as a close request, which the dialog turns into command 2.
    window = Start();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(vantrel_.WaitForExit(10000)) << "Alt+F4 did not close the window";
    EXPECT_EQ(StoredSettings().size(), 11u);
}

// A window of the test process that Vantrel follows.
class HostWindow {
  public:
    HostWindow(const char* title, int x, int y, int width, int height) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VantrelTestHost";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(0, "VantrelTestHost", title, WS_POPUP | WS_VISIBLE, x, y, width,
                                  height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~HostWindow() { Close(); }
    HWND Handle() const { return window_; }
    void Close() {
        if (window_ != nullptr) {
            DestroyWindow(window_);
            window_ = nullptr;
        }
    }

  private:
    HWND window_ = nullptr;
};

TEST_F(VantrelWindow, FollowsAHostWindowAndClosesWithIt) {
    HostWindow host("Host", 200, 150, 600, 400);
    ASSERT_NE(host.Handle(), nullptr);
    HWND window = Start("Host 50 -10");
    ASSERT_NE(window, nullptr);
    auto placed = [&](int hostLeft, int hostBottom) {
        return rig::WaitUntil(
            [&] {
                const RECT r = WindowRect(window);
                return r.left == hostLeft + 50 && r.bottom == hostBottom - 10;
            },
            5000);
    };
    EXPECT_TRUE(placed(200, 550)) << WindowRect(window).left << "," << WindowRect(window).bottom;

    SetWindowPos(host.Handle(), nullptr, 300, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(placed(300, 500));

    // Left clicks do not drag a window that follows a host.
    host.Close();
    EXPECT_TRUE(vantrel_.WaitForExit(10000)) << "Vantrel did not close with its host";
}

TEST_F(VantrelWindow, AHostWithoutOffsetsIsFollowedForClosingOnly) {
    HostWindow host("Host", 200, 150, 600, 400);
    ASSERT_NE(host.Handle(), nullptr);
    HWND window = Start("Host");
    ASSERT_NE(window, nullptr);
    const RECT before = WindowRect(window);
    SetWindowPos(host.Handle(), nullptr, 300, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Sleep(500); // several frame ticks
    const RECT after = WindowRect(window);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    host.Close();
    EXPECT_TRUE(vantrel_.WaitForExit(10000)) << "Vantrel did not close with its host";
}

TEST_F(VantrelWindow, NumbersAlonePlaceItOnTheDesktop) {
    HWND window = Start("100 200");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(rig::WaitUntil(
        [&] {
            const RECT r = WindowRect(window);
            return r.left == 100 && r.top == 200;
        },
        5000));
    // Negative offsets measure from the right and bottom edges of the screen.
    CloseAndWait(window);
    window = Start("-20,-30");
    ASSERT_NE(window, nullptr);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    EXPECT_TRUE(rig::WaitUntil(
        [&] {
            const RECT r = WindowRect(window);
            return r.right == desktop.right - 20 && r.bottom == desktop.bottom - 30;
        },
        5000));
}

TEST_F(VantrelWindow, SettingsAreSavedAtExitAndSurviveARestart) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    SetWindowPos(window, nullptr, 140, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    CloseAndWait(window);
    const auto first = StoredSettings();
    ASSERT_EQ(first.size(), 11u);
    const char* names[] = {"WindowPosition", "TripLog",    "TripLogPath", "Metric",
                           "Skin2",          "Home",       "PlaySpeed",   "ForeSkin",
                           "Odometer",       "OdoLastPos", "DrawRate"};
    for (const char* name : names) {
        EXPECT_EQ(first.count(name), 1u) << name;
    }
    RECT stored;
    std::memcpy(&stored, first.at("WindowPosition").data.data(), sizeof(stored));
    EXPECT_EQ(stored.left, 140);
    EXPECT_EQ(stored.top, 160);

    window = Start();
    ASSERT_NE(window, nullptr);
    const RECT r = WindowRect(window);
    EXPECT_EQ(r.left, 140); // placed where it was
    EXPECT_EQ(r.top, 160);
    CloseAndWait(window);
    const auto second = StoredSettings();
    ASSERT_EQ(second.size(), first.size());
    for (const auto& [name, value] : first) {
        EXPECT_EQ(second.at(name).type, value.type) << name;
        EXPECT_EQ(second.at(name).data, value.data) << name;
    }
}

// Lines in the month's trip log of `base`; 0 while the file does not exist.
int TripLines(const std::string& base) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::vector<uint8_t> text =
        rig::ReadFileBytes(TripLogFileName(base, now.wYear, now.wMonth));
    int lines = 0;
    for (size_t i = 1; i < text.size(); ++i)
        lines += text[i - 1] == '\r' && text[i] == '\n';
    return lines;
}

TEST_F(VantrelWindow, PowerEventsSaveBeforeEverySuspendAndResumeOnce) {
    const std::string tripLog = folder_.File("Trip.log");
    const DWORD on = 1;
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "TripLog", REG_DWORD, &on,
                                        sizeof on));
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "TripLogPath", REG_SZ,
                                        tripLog.c_str(), DWORD(tripLog.size() + 1)));
    rig::Process server; // drives many times faster than real time
    ASSERT_TRUE(server.Start(folder_.File("GpsServer.exe"), "/interval 50"));
    ASSERT_NE(rig::WaitForWindow(kGpsServerWindowTitle, 10000, server.Id()), nullptr);
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    const std::string trails = folder_.File("Trails.dat");
    // Waits until the stand-in has driven well over the trip's smallest step (0.09 miles).
    auto position = [] {
        GpsSnapshot fix{};
        const std::vector<uint8_t> bytes = rig::ReadSharedMemory(kGpsSectionName, sizeof fix);
        if (bytes.size() == sizeof fix) std::memcpy(&fix, bytes.data(), sizeof fix);
        return fix;
    };
    auto drive = [&] {
        const GpsSnapshot from = position();
        EXPECT_TRUE(rig::WaitUntil(
            [&] {
                const GpsSnapshot now = position();
                const double north = (now.latitude - from.latitude) * 69.0;
                const double east = (now.longitude - from.longitude) * 69.0 *
                                    std::cos(from.latitude * 3.14159265 / 180.0);
                return now.fixValid != 0 && std::hypot(north, east) > 0.4;
            },
            20000));
        Sleep(1000); // frame ticks to take the last fixes in, even on a busy machine
    };

    // A resume with no suspend before it has no end time for a line: nothing is written.
    drive();
    SendMessageA(window, WM_POWERBROADCAST, 7, 0);
    EXPECT_EQ(TripLines(tripLog), 0);

    // The query of older systems and the suspend of newer ones each save everything.
    const struct {
        WPARAM event;
        const char* name;
    } suspends[] = {{0, "query before a suspend"}, {4, "suspend"}};
    int lines = 0;
    for (const auto& suspend : suspends) {
        DeleteFileA(trails.c_str());
        rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
        drive();
        SendMessageA(window, WM_POWERBROADCAST, suspend.event, 0);
        EXPECT_EQ(StoredSettings().size(), 11u) << suspend.name;
        EXPECT_TRUE(rig::FileExists(trails)) << suspend.name;
        EXPECT_EQ(TripLines(tripLog), ++lines) << suspend.name;
    }
    // Both resume messages of one wake-up: the first writes the distance since the suspend,
    // the second nothing.
    drive();
    SendMessageA(window, WM_POWERBROADCAST, 18, 0);
    SendMessageA(window, WM_POWERBROADCAST, 7, 0);
    EXPECT_EQ(TripLines(tripLog), ++lines);
    EXPECT_NE(FindWindowA(nullptr, kTitle), nullptr); // still running

    // The end of the session saves the settings as well.
    ForgetSettings();
    SendMessageA(window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(StoredSettings().size(), 11u);
    server.Stop();
}

TEST_F(VantrelWindow, TrayMenuAndItsCommands) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    // No tray on this display: send the icon's callback as the shell would.
    PostMessageA(window, WM_USER + 1, 1016, WM_RBUTTONUP);
    HWND menu = nullptr;
    EXPECT_TRUE(rig::WaitUntil(
        [&] {
            for (HWND w : rig::WindowsOfProcess(vantrel_.Id())) {
                if (rig::WindowClass(w) == "#32768" && IsWindowVisible(w)) {
                    menu = w;
                    return true;
                }
            }
            return false;
        },
        5000))
        << "the popup menu did not appear";
    if (menu != nullptr) {
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(rig::WaitUntil([&] { return !IsWindowVisible(menu); }, 3000));
    }
    // A left click on the icon opens no menu.
    PostMessageA(window, WM_USER + 1, 1016, WM_LBUTTONUP);
    Sleep(300);
    for (HWND w : rig::WindowsOfProcess(vantrel_.Id())) {
        EXPECT_FALSE(rig::WindowClass(w) == "#32768" && IsWindowVisible(w));
    }

    // Always on top takes effect at once, both ways.
    PostMessageA(window, WM_COMMAND, 40006, 0);
    EXPECT_TRUE(rig::WaitUntil(
        [&] { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 3000));
    PostMessageA(window, WM_COMMAND, 40006, 0);
    EXPECT_TRUE(rig::WaitUntil(
        [&] { return (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) == 0; }, 3000));

    // Start With Windows, Hide Mouse and Trip Log reach the registry with the exit save.
    PostMessageA(window, WM_COMMAND, 40002, 0);
    PostMessageA(window, WM_COMMAND, 40003, 0);
    PostMessageA(window, WM_COMMAND, 40005, 0);
    PostMessageA(window, WM_COMMAND, 40006, 0);
    EXPECT_FALSE(rig::ReadRegistryValue(HKEY_CURRENT_USER, kRunKey, "NMEAVantrel").found);
    CloseAndWait(window);
    const auto stored = StoredSettings();
    ASSERT_EQ(stored.count("Metric"), 1u);
    EXPECT_EQ(stored.at("Metric").data, (std::vector<uint8_t>{0x38, 0, 0, 0}));
    EXPECT_EQ(stored.at("TripLog").data, (std::vector<uint8_t>{1, 0, 0, 0}));
    const rig::RegistryValue run =
        rig::ReadRegistryValue(HKEY_CURRENT_USER, kRunKey, "NMEAVantrel");
    ASSERT_TRUE(run.found);
    EXPECT_EQ(run.type, DWORD(REG_SZ));
    const std::string path(run.data.begin(), run.data.end());
    EXPECT_NE(path.find("Vantrel.exe"), std::string::npos) << path;

    // Started again it is topmost at once; turning the option off removes the Run value.
    window = Start();
    ASSERT_NE(window, nullptr);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    PostMessageA(window, WM_COMMAND, 40002, 0);
    PostMessageA(window, WM_COMMAND, 40003, 0);
    CloseAndWait(window);
    EXPECT_FALSE(rig::ReadRegistryValue(HKEY_CURRENT_USER, kRunKey, "NMEAVantrel").found);
}

} // namespace
