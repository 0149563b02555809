// End to end: the configuration dialog of the real Vantrel.exe, driven from outside through its
// controls as a user's clicks would drive them, checked on the cluster's pixels, on "Skin.bin",
// on the registry and on the OBD-II reader's shared memory.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/dialog_ids.h"
#include "rig/rig.h"
#include "sources/obd_snapshot.h"
#include "state/gps_snapshot.h"
#include "state/skin_record.h"
#include "state/trail_ring.h"

namespace {

constexpr const char kTitle[] = "Brevanti - Vantrel";
constexpr const char kDialogTitle[] = "Vantrel Configure";
constexpr const char kSettingsKey[] = "Software\\Brevanti\\Vantrel";
constexpr WPARAM kConfigureCommand = 40001;

class ConfigDialog : public ::testing::Test {
  protected:
    void SetUp() override { rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey); }
    void TearDown() override {
        vantrel_.Stop();
        peer_.Stop();
        rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    }

    HWND StartVantrel(const std::string& arguments = "") {
        if (!vantrel_.Start(folder_.File("Vantrel.exe"), arguments)) return nullptr;
        HWND window = rig::WaitForWindow(kTitle, 10000, vantrel_.Id());
        if (window) rig::WaitUntil([&] { return IsWindowVisible(window) != FALSE; }, 10000);
        return window;
    }
    // Opens the dialog from the tray menu's command and moves it off the cluster it edits.
    HWND OpenDialog(HWND window, UINT how = WM_COMMAND) {
        PostMessageA(window, how, how == WM_COMMAND ? kConfigureCommand : 0, 0);
        HWND dialog = rig::WaitForWindow(kDialogTitle, 10000, vantrel_.Id());
        if (dialog) SetWindowPos(dialog, nullptr, 800, 600, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return dialog;
    }
    int DialogCount() {
        int count = 0;
        for (HWND w : rig::WindowsOfProcess(vantrel_.Id()))
            if (rig::WindowTitle(w) == kDialogTitle && IsWindowVisible(w)) ++count;
        return count;
    }
    void CloseDialog(HWND dialog) {
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(rig::WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    }
    void CloseVantrel(HWND window) {
        PostMessageA(window, WM_COMMAND, 2, 0);
        EXPECT_TRUE(vantrel_.WaitForExit(10000));
    }

    rig::ProgramFolder folder_;
    rig::Process vantrel_;
    rig::Process peer_;
};

// What the user does to a control, and what the dialog then hears.
void Track(HWND dialog, int id, int position) {
    HWND control = GetDlgItem(dialog, id);
    SendMessageA(control, TBM_SETPOS, TRUE, position);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(control));
}
void Spin(HWND dialog, int id, int position) {
    HWND control = GetDlgItem(dialog, id);
    SendMessageA(control, UDM_SETPOS32, 0, position);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position),
                 reinterpret_cast<LPARAM>(control));
}
void Click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
// One entry of a drop-down list of another process. (Wine passes only the first character of an
// ANSI entry across processes, so the entry is read in UTF-16.)
std::string Entry(HWND list, LRESULT index) {
    wchar_t wide[300] = {};
    if (SendMessageW(list, CB_GETLBTEXTLEN, WPARAM(index), 0) >= LRESULT(300)) return {};
    SendMessageW(list, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(wide));
    char narrow[600] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

// Selects the entry of a drop-down list with this text; false when there is none.
bool Choose(HWND dialog, int id, const std::string& text) {
    HWND list = GetDlgItem(dialog, id);
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (text == Entry(list, i)) {
            SendMessageA(list, CB_SETCURSEL, WPARAM(i), 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
            return true;
        }
    }
    return false;
}
std::string Text(HWND dialog, int id) {
    char text[256] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
std::vector<std::string> Entries(HWND dialog, int id) {
    std::vector<std::string> entries;
    HWND list = GetDlgItem(dialog, id);
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i)
        entries.push_back(Entry(list, i));
    return entries;
}

SkinRecord SkinFile(const std::string& path) {
    SkinRecord skin{};
    const std::vector<uint8_t> bytes = rig::ReadFileBytes(path);
    if (bytes.size() >= sizeof skin) std::memcpy(&skin, bytes.data(), sizeof skin);
    return skin;
}

// The Cluster skin's altitude readout, white text left of the map view.
constexpr RECT kAltitudeArea{226, 56, 290, 76};

bool WhiteText(uint32_t c) {
    return ((c >> 16) & 0xFF) > 0xB0 && ((c >> 8) & 0xFF) > 0xB0 && (c & 0xFF) > 0xB0;
}
bool BlueText(uint32_t c) {
    return ((c >> 16) & 0xFF) < 0x50 && ((c >> 8) & 0xFF) < 0x50 && (c & 0xFF) > 0xB0;
}
template <typename Test> int CountIn(HWND window, const RECT& area, Test test) {
    const rig::Pixels pixels = rig::CaptureWindow(window);
    int count = 0;
    for (int y = area.top; y < area.bottom && y < pixels.height; ++y)
        for (int x = area.left; x < area.right && x < pixels.width; ++x)
            if (test(pixels.At(x, y))) ++count;
    return count;
}
uint64_t AreaHash(HWND window, const RECT& area) {
    const rig::Pixels pixels = rig::CaptureWindow(window);
    uint64_t hash = 1469598103934665603ull;
    for (int y = area.top; y < area.bottom && y < pixels.height; ++y)
        for (int x = area.left; x < area.right && x < pixels.width; ++x)
            hash = (hash ^ pixels.At(x, y)) * 1099511628211ull;
    return hash;
}

TEST_F(ConfigDialog, OpensOnceFromTheMenuAndTheRightClickWithEveryControl) {
    HWND window = StartVantrel();
    ASSERT_NE(window, nullptr);
    // With VZ_SAVE_SCREENSHOT set, the dialog where it opens, beside the cluster, goes to that
    // file for the README.
    if (const char* path = std::getenv("VZ_SAVE_SCREENSHOT")) {
        PostMessageA(window, WM_COMMAND, kConfigureCommand, 0);
        HWND shown = rig::WaitForWindow(kDialogTitle, 10000, vantrel_.Id());
        ASSERT_NE(shown, nullptr);
        Sleep(1500);
        RECT cluster{}, own{};
        GetWindowRect(window, &cluster);
        GetWindowRect(shown, &own);
        rig::SaveBmp(rig::CaptureScreen(RECT{0, 0, std::max(cluster.right, own.right),
                                             std::max(cluster.bottom, own.bottom)}),
                     path);
        CloseDialog(shown);
    }
    HWND dialog = OpenDialog(window);
    ASSERT_NE(dialog, nullptr);
    PostMessageA(window, WM_CONTEXTMENU, WPARAM(window), 0);
    PostMessageA(window, WM_COMMAND, kConfigureCommand, 0);
    Sleep(500);
    EXPECT_EQ(DialogCount(), 1);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), window);

    struct Expected {
        int id;
        const char* className;
        const char* text; // null: set at run time
    };
    const Expected controls[] = {
        {IDC_KIND_LIST, "ComboBox", nullptr},
        {IDC_SHOWN, "Button", ""},
        {IDC_PARAM_B, "msctls_updown32", ""},
        {IDC_PARAM_A, "msctls_updown32", ""},
        {IDC_PARAM_C, "msctls_updown32", ""},
        {IDC_PARAM_D, "msctls_updown32", ""},
        {IDC_LABEL_B, "Static", nullptr},
        {IDC_PARAM_B_VALUE, "Static", nullptr},
        {IDC_X_VALUE, "Static", nullptr},
        {IDC_Y_VALUE, "Static", nullptr},
        {IDC_FONT_LIST, "ComboBox", nullptr},
        {IDC_ALPHA, "msctls_trackbar32", ""},
        {IDC_BLUE, "msctls_trackbar32", ""},
        {IDC_ALPHA_VALUE, "Static", nullptr},
        {IDC_OPACITY, "msctls_trackbar32", ""},
        {IDC_SKIN_LIST, "ComboBox", nullptr},
        {IDC_PROGRESS, "msctls_progress32", ""},
        {IDC_PLAY_SPEED, "msctls_trackbar32", ""},
        {IDC_STOP, "Button", "Stop"},
        {IDC_LOG_LIST, "ComboBox", nullptr},
        {IDC_FAST, "Button", "Fast"},
        {IDC_LILLIPUT, "Button", "Lilliput"},
        {IDC_METRIC, "Button", "Metric"},
        {IDC_FIXED_NORTH, "Button", "Fixed North"},
        {IDC_SET_HOME, "Button", "Set Home"},
        {IDC_RESET_ODO, "Button", "Reset Odo"},
        {IDC_STATUS, "Static", nullptr},
        {IDCANCEL, "Button", "OK"},
    };
    for (const Expected& c : controls) {
        HWND control = GetDlgItem(dialog, c.id);
        ASSERT_NE(control, nullptr) << c.id;
        EXPECT_EQ(rig::WindowClass(control), c.className) << c.id;
        if (c.text) {
            EXPECT_EQ(Text(dialog, c.id), c.text) << c.id;
        }
    }
    // The kinds in kind order, the first one edited at the first opening; its labels and values.
    const std::vector<std::string> kinds = Entries(dialog, IDC_KIND_LIST);
    ASSERT_EQ(kinds.size(), size_t(kGaugeKindCount));
    EXPECT_EQ(kinds[0], "Course");
    EXPECT_EQ(kinds[57], "Depth Guage");
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_KIND_LIST, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Text(dialog, IDC_LABEL_A), "Size");
    // The fonts come from the system, the skins from the program folder's sub-folders.
    EXPECT_GT(Entries(dialog, IDC_FONT_LIST).size(), 2u);
    const std::vector<std::string> skins = Entries(dialog, IDC_SKIN_LIST);
    EXPECT_EQ(skins, std::vector<std::string>{"Cluster"});
    EXPECT_EQ(Text(dialog, IDC_SKIN_LIST), "Cluster");
    // The frame tick writes the feeds' status while the dialog is open.
    EXPECT_TRUE(rig::WaitUntil(
        [&] { return Text(dialog, IDC_STATUS).find("OBD-II") != std::string::npos; }, 3000));

    // The kind being edited is kept for the next opening.
    ASSERT_TRUE(Choose(dialog, IDC_KIND_LIST, "Clock"));
    EXPECT_EQ(Text(dialog, IDC_LABEL_B), "Size");
    EXPECT_EQ(Text(dialog, IDC_LABEL_A), "Width");
    CloseDialog(dialog);
    dialog = OpenDialog(window, WM_CONTEXTMENU);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_KIND_LIST, CB_GETCURSEL, 0, 0), kKindClock);

    // Escape closes it like "OK", although it runs inside the cluster's own dialog loop.
    SetForegroundWindow(dialog);
    SetFocus(GetDlgItem(dialog, IDC_SET_HOME));
    INPUT keys[2] = {};
    for (INPUT& key : keys) {
        key.type = INPUT_KEYBOARD;
        key.ki.wVk = VK_ESCAPE;
    }
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    EXPECT_TRUE(rig::WaitUntil([&] { return !IsWindow(dialog); }, 5000));
}

TEST_F(ConfigDialog, EditsShowOnTheClusterAndOkSavesOnlyAChangedSkin) {
    const std::string skinFile = folder_.File("Cluster\\Skin.bin");
    const std::vector<uint8_t> shipped = rig::ReadFileBytes(skinFile);
    HWND window = StartVantrel();
    ASSERT_NE(window, nullptr);

    // Opened and closed without a change: nothing is written.
    HWND dialog = OpenDialog(window);
    ASSERT_NE(dialog, nullptr);
    CloseDialog(dialog);
    EXPECT_EQ(rig::ReadFileBytes(skinFile), shipped);

    dialog = OpenDialog(window);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(Choose(dialog, IDC_KIND_LIST, "Altitude"));
    ASSERT_TRUE(
        rig::WaitUntil([&] { return CountIn(window, kAltitudeArea, WhiteText) > 10; }, 5000));
    // Colour: red and green channels off leave blue text.
    Track(dialog, IDC_RED, 0);
    Track(dialog, IDC_GREEN, 0);
    EXPECT_EQ(Text(dialog, IDC_RED_VALUE), "0");
    EXPECT_TRUE(
        rig::WaitUntil([&] { return CountIn(window, kAltitudeArea, BlueText) > 10; }, 3000));
    // Font and size: a different picture of the same text.
    uint64_t before = AreaHash(window, kAltitudeArea);
    ASSERT_TRUE(Choose(dialog, IDC_FONT_LIST, "Liberation Mono"));
    EXPECT_TRUE(rig::WaitUntil([&] { return AreaHash(window, kAltitudeArea) != before; }, 3000));
    before = AreaHash(window, kAltitudeArea);
    Spin(dialog, IDC_PARAM_A, 14);
    EXPECT_EQ(Text(dialog, IDC_PARAM_A_VALUE), "14");
    EXPECT_TRUE(rig::WaitUntil([&] { return AreaHash(window, kAltitudeArea) != before; }, 3000));
    // Shown box off: the readout is gone.
    Click(dialog, IDC_SHOWN);
    EXPECT_TRUE(
        rig::WaitUntil([&] { return CountIn(window, kAltitudeArea, BlueText) == 0; }, 3000));
    Click(dialog, IDC_SHOWN);
    CloseDialog(dialog);

    // OK wrote the edited record, and a restart shows it.
    const SkinRecord saved = SkinFile(skinFile);
    const GaugeRecord& altitude = saved.gauges[kKindAltitude];
    EXPECT_EQ(altitude.color & 0x00FFFF00u, 0u);
    EXPECT_STREQ(altitude.fontName, "Liberation Mono");
    EXPECT_EQ(altitude.paramA, 14);
    EXPECT_TRUE(IsKindShown(saved, kKindAltitude));
    CloseVantrel(window);
    rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey); // "Skin.bin" alone carries it
    window = StartVantrel();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(
        rig::WaitUntil([&] { return CountIn(window, kAltitudeArea, BlueText) > 10; }, 5000));
}

TEST_F(ConfigDialog, SwitchingSkinsKeepsTheEditsOfBoth) {
    // A second skin folder: the Cluster's pictures and a record of its own.
    const std::string second = folder_.File("Second");
    ASSERT_TRUE(CreateDirectoryA(second.c_str(), nullptr));
    for (const char* file : {"Background.png", "Needle.png", "Skin.bin"})
        ASSERT_TRUE(CopyFileA(folder_.File(std::string("Cluster\\") + file).c_str(),
                              (second + "\\" + file).c_str(), FALSE));
    HWND window = StartVantrel();
    ASSERT_NE(window, nullptr);
    HWND dialog = OpenDialog(window);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(Choose(dialog, IDC_KIND_LIST, "Altitude"));
    Spin(dialog, IDC_PARAM_A, 11);
    ASSERT_TRUE(Choose(dialog, IDC_SKIN_LIST, "Second"));
    EXPECT_EQ(SkinFile(folder_.File("Cluster\\Skin.bin")).gauges[kKindAltitude].paramA, 11);
    // The new folder's record is loaded and shown in the controls.
    EXPECT_EQ(Text(dialog, IDC_PARAM_A_VALUE), "10");
    Spin(dialog, IDC_PARAM_A, 12);
    ASSERT_TRUE(Choose(dialog, IDC_SKIN_LIST, "Cluster"));
    EXPECT_EQ(Text(dialog, IDC_PARAM_A_VALUE), "11");
    CloseDialog(dialog);
    EXPECT_EQ(SkinFile(second + "\\Skin.bin").gauges[kKindAltitude].paramA, 12);
    EXPECT_EQ(SkinFile(folder_.File("Cluster\\Skin.bin")).gauges[kKindAltitude].paramA, 11);
}

TEST_F(ConfigDialog, ADragMovesTheChosenGaugeAndTheSliderNudgesItUpToTheLimit) {
    HWND window = StartVantrel();
    ASSERT_NE(window, nullptr);
    HWND dialog = OpenDialog(window);
    ASSERT_NE(dialog, nullptr);
    SetCursorPos(1250, 1000); // over no gauge, so nothing is picked on the cluster
    RECT cluster{};
    GetWindowRect(window, &cluster);

    // The gauge chosen in the list follows the pointer while the button is held on the cluster.
    ASSERT_TRUE(Choose(dialog, IDC_KIND_LIST, "Altitude")); // at (232, 58)
    SetForegroundWindow(window);
    SetCursorPos(cluster.left + 240, cluster.top + 60);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(240, 60));
    SetCursorPos(cluster.left + 690 + 8, cluster.top + 100 + 2);
    EXPECT_TRUE(rig::WaitUntil([&] { return Text(dialog, IDC_X_VALUE) == "690"; }, 3000))
        << Text(dialog, IDC_X_VALUE);
    EXPECT_EQ(Text(dialog, IDC_Y_VALUE), "100");
    PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(698, 102));
    SetCursorPos(1250, 1000);
    Sleep(300);

    // Held to the right, the slider nudges it two pixels a report up to 20 pixels from the edge.
    HWND slider = FindWindowExA(dialog, nullptr, "SnapSlider", nullptr);
    ASSERT_NE(slider, nullptr);
    PostMessageA(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(63, 32));
    EXPECT_TRUE(rig::WaitUntil([&] { return Text(dialog, IDC_X_VALUE) == "700"; }, 3000))
        << Text(dialog, IDC_X_VALUE);
    Sleep(500);
    EXPECT_EQ(Text(dialog, IDC_X_VALUE), "700");
    PostMessageA(slider, WM_LBUTTONUP, 0, MAKELPARAM(63, 32));
    CloseDialog(dialog);
    const GaugeRecord altitude = SkinFile(folder_.File("Cluster\\Skin.bin")).gauges[kKindAltitude];
    EXPECT_EQ(altitude.x, 700);
    EXPECT_EQ(altitude.y, 100);
}

TEST_F(ConfigDialog, OptionsOdometerAndTheReadersMetricBit) {
    ASSERT_TRUE(peer_.Start(folder_.File("ObdReader.exe")));
    ASSERT_NE(rig::WaitForWindow(kObdReaderWindowTitle, 10000, peer_.Id()), nullptr);
    const float odometer = 1234.5f;
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Odometer", REG_BINARY,
                                        &odometer, sizeof odometer));
    HWND window = StartVantrel();
    ASSERT_NE(window, nullptr);
    HWND dialog = OpenDialog(window);
    ASSERT_NE(dialog, nullptr);
    const auto reader = [] {
        ObdSnapshot obd{};
        const std::vector<uint8_t> bytes = rig::ReadSharedMemory("KELBO2", sizeof obd);
        if (bytes.size() == sizeof obd) std::memcpy(&obd, bytes.data(), sizeof obd);
        return obd;
    };
    ASSERT_TRUE(rig::WaitUntil([&] { return reader().odometerMilli > 0; }, 5000));

    Click(dialog, IDC_METRIC);
    EXPECT_TRUE(rig::WaitUntil([&] { return (reader().optionFlags & 0x02) != 0; }, 3000));
    Click(dialog, IDC_RESET_ODO);
    EXPECT_TRUE(rig::WaitUntil([&] { return reader().odometerMilli < 1000; }, 3000));
    Click(dialog, IDC_FAST); // 100 ms to 500 ms
    Click(dialog, IDC_FIXED_NORTH);
    Track(dialog, IDC_PLAY_SPEED, 10);
    Track(dialog, IDC_OPACITY, 200);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 200);
    EXPECT_EQ(flags, DWORD(LWA_COLORKEY | LWA_ALPHA));
    RECT before{}, after{};
    GetWindowRect(window, &before);
    Click(dialog, IDC_LILLIPUT);
    GetWindowRect(window, &after);
    EXPECT_EQ(after.bottom - after.top, (before.bottom - before.top) * 6 / 5);
    CloseDialog(dialog);
    CloseVantrel(window);

    const auto dword = [](const char* name) {
        const rig::RegistryValue v = rig::ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey, name);
        uint32_t value = 0;
        if (v.data.size() >= 4) std::memcpy(&value, v.data.data(), 4);
        return value;
    };
    EXPECT_EQ(dword("Metric") & 0x07u, 0x07u); // metric, fixed north, one fifth taller
    EXPECT_EQ(dword("DrawRate"), 500u);
    EXPECT_EQ(dword("PlaySpeed"), 11u);
    float stored = -1;
    const rig::RegistryValue v =
        rig::ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Odometer");
    ASSERT_EQ(v.data.size(), sizeof stored);
    std::memcpy(&stored, v.data.data(), sizeof stored);
    EXPECT_EQ(stored, 0.0f);
}

// The latitudes of a log's RMC sentences, in their order.
std::vector<float> RmcLatitudes(const std::string& log) {
    std::vector<float> latitudes;
    size_t at = 0;
    while ((at = log.find("$GPRMC,", at)) != std::string::npos) {
        const size_t field = log.find(',', log.find(',', at + 7) + 1) + 1; // after time, status
        const double ddmm = std::atof(log.substr(field, 9).c_str());
        latitudes.push_back(float(int(ddmm / 100) + (ddmm - 100 * int(ddmm / 100)) / 60));
        at = field;
    }
    return latitudes;
}

TEST_F(ConfigDialog, ALogChosenInTheListPlaysThroughTheClusterAndTheStandIn) {
    // The logs' folder is the one of "LogPath": the first two minutes of the project's demo drive
    // and a file too short to play.
    const std::string logs = folder_.File("logs");
    ASSERT_TRUE(CreateDirectoryA(logs.c_str(), nullptr));
    const std::vector<uint8_t> demo =
        rig::ReadFileBytes(rig::SourceDir() + "\\tests\\data\\demo\\DemoDrive.gps");
    std::string drive(demo.begin(), demo.end());
    drive.resize(drive.find("$GPRMC,1630")); // 16:27:58 to 16:29:59
    ASSERT_TRUE(rig::WriteFileBytes(logs + "\\drive.gps", {drive.begin(), drive.end()}));
    ASSERT_TRUE(rig::WriteFileBytes(logs + "\\nine.gps", std::vector<uint8_t>(9, '$')));
    const std::vector<float> logged = RmcLatitudes(drive);
    ASSERT_EQ(logged.size(), 122u);
    const std::string logPath = logs + "\\GPS.gps";
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "LogPath", REG_SZ,
                                        logPath.c_str(), DWORD(logPath.size() + 1)));
    const auto shared = [] {
        GpsSnapshot gps{};
        const std::vector<uint8_t> bytes = rig::ReadSharedMemory(kGpsSectionName, sizeof gps);
        if (bytes.size() == sizeof gps) std::memcpy(&gps, bytes.data(), sizeof gps);
        return gps;
    };
    // The stand-in's own drive goes round near 10° N, far from the log's.
    const auto onOwnDrive = [&] { return std::fabs(shared().latitude - 10.0f) < 0.5f; };
    ASSERT_TRUE(peer_.Start(folder_.File("GpsServer.exe"), "/start 10 10"));
    ASSERT_TRUE(rig::WaitUntil(onOwnDrive, 10000));
    HWND window = StartVantrel();
    ASSERT_NE(window, nullptr);
    HWND dialog = OpenDialog(window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Entries(dialog, IDC_LOG_LIST), (std::vector<std::string>{"drive.gps", "nine.gps"}));

    // Too short to play: the stand-in stays on its drive.
    ASSERT_TRUE(Choose(dialog, IDC_LOG_LIST, "nine.gps"));
    Sleep(500);
    EXPECT_TRUE(onOwnDrive());

    // At full play speed: the fixes arrive in the log's order, the progress bar runs, and at the
    // end the stand-in is back on its own drive.
    Track(dialog, IDC_PLAY_SPEED, 10);
    ASSERT_TRUE(Choose(dialog, IDC_LOG_LIST, "drive.gps"));
    HWND progress = GetDlgItem(dialog, IDC_PROGRESS);
    EXPECT_EQ(SendMessageA(progress, PBM_GETRANGE, FALSE, 0), LRESULT(drive.size() / 16));
    size_t next = 0; // where in the log the last fix seen stands
    int seen = 0, outOfOrder = 0;
    LRESULT lastProgress = 0;
    bool progressRan = false;
    ASSERT_TRUE(rig::WaitUntil(
        [&] {
            const GpsSnapshot gps = shared();
            if (gps.fixValid && gps.latitude > 47.0f) {
                size_t i = next;
                while (i < logged.size() && std::fabs(logged[i] - gps.latitude) > 1e-5f)
                    ++i;
                if (i == logged.size()) {
                    ++outOfOrder;
                } else if (i > next || seen == 0) {
                    ++seen;
                    next = i;
                }
            }
            const LRESULT position = SendMessageA(progress, PBM_GETPOS, 0, 0);
            progressRan = progressRan || position > lastProgress;
            lastProgress = position;
            return seen > 0 && onOwnDrive();
        },
        30000));
    EXPECT_EQ(outOfOrder, 0);
    EXPECT_GT(seen, 20);
    EXPECT_GE(next, logged.size() - 10); // the last fixes may repeat a latitude (a stop)
    EXPECT_TRUE(progressRan);

    // Played again and stopped at once: back on the drive long before the log's end.
    ASSERT_TRUE(Choose(dialog, IDC_LOG_LIST, "drive.gps"));
    ASSERT_TRUE(rig::WaitUntil([&] { return shared().latitude > 47.0f; }, 5000));
    Click(dialog, IDC_STOP);
    EXPECT_TRUE(rig::WaitUntil(onOwnDrive, 3000));
    CloseDialog(dialog);
    CloseVantrel(window);

    // The replayed track is in the trail, after a break that keeps it apart from the live one.
    const std::vector<uint8_t> trail = rig::ReadFileBytes(folder_.File("Trails.dat"));
    ASSERT_EQ(trail.size(), sizeof(TrailRing));
    TrailRing ring{};
    std::memcpy(&ring, trail.data(), sizeof ring);
    int replayed = 0;
    bool breakBeforeReplay = false;
    for (uint32_t i = 0; i < kTrailPoints; ++i) {
        if (ring.points[i].latitude < 47.0f) continue;
        ++replayed;
        if (ring.points[(i + kTrailPoints - 1) % kTrailPoints].latitude == 0.0f)
            breakBeforeReplay = true;
    }
    EXPECT_GE(replayed, 4); // a point every 0.09 miles of a drive of about a mile
    EXPECT_TRUE(breakBeforeReplay);
}

TEST_F(ConfigDialog, UnreadableSkinFilesAndMissingLogFoldersLoseNothing) {
    // A foreign "Skin.bin" (wrong version) and a truncated one, and a log folder that is not there.
    const std::vector<uint8_t> foreign(kSkinRecordSize, 0x5A);
    const std::vector<uint8_t> truncated(100, 0x01);
    for (const auto& [name, bytes] :
         {std::make_pair("Foreign", foreign), std::make_pair("Truncated", truncated)}) {
        ASSERT_TRUE(CreateDirectoryA(folder_.File(name).c_str(), nullptr));
        ASSERT_TRUE(rig::WriteFileBytes(folder_.File(std::string(name) + "\\Skin.bin"), bytes));
    }
    const char missingLogs[] = "C:\\no such folder\\GPS.gps";
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "LogPath", REG_SZ,
                                        missingLogs, sizeof missingLogs));
    HWND window = StartVantrel();
    ASSERT_NE(window, nullptr);
    HWND dialog = OpenDialog(window);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(Entries(dialog, IDC_LOG_LIST).empty());
    ASSERT_TRUE(Choose(dialog, IDC_SKIN_LIST, "Foreign"));
    // The live record stays the Cluster's: the foreign file was not taken.
    ASSERT_TRUE(Choose(dialog, IDC_KIND_LIST, "Altitude"));
    EXPECT_EQ(Text(dialog, IDC_PARAM_A_VALUE), "10");
    ASSERT_TRUE(Choose(dialog, IDC_SKIN_LIST, "Truncated"));
    ASSERT_TRUE(Choose(dialog, IDC_SKIN_LIST, "Cluster"));
    CloseDialog(dialog);
    EXPECT_TRUE(IsWindow(window));
    // What could not be read was kept beside the record that replaced it.
    EXPECT_EQ(rig::ReadFileBytes(folder_.File("Foreign\\Skin.bin.bad")), foreign);
    EXPECT_EQ(rig::ReadFileBytes(folder_.File("Truncated\\Skin.bin.bad")), truncated);
    EXPECT_EQ(rig::ReadFileBytes(folder_.File("Foreign\\Skin.bin")).size(), kSkinRecordSize);
}

} // namespace
