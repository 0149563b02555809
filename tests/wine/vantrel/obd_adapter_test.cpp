// The OBD-II reader stand-in on an ELM327 adapter, end to end: socat joins two pseudo-terminals
// that Wine sees as COM21 and COM22; this test plays the adapter and its car on COM21, the reader
// talks to it on COM22, and Vantrel shows what the reader publishes.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "config/dialog_ids.h"
#include "rig/rig.h"
#include "sources/obd_snapshot.h"
#include "state/skin_record.h"
#include "tools/common/serial_port_win.cpp"

namespace {

constexpr const char kVantrelTitle[] = "Brevanti - Vantrel";
constexpr const char kDialogTitle[] = "Vantrel Configure";
constexpr const char kSettingsKey[] = "Software\\Brevanti\\Vantrel";
constexpr WPARAM kConfigureCommand = 40001;
constexpr const char kSocat[] = "Z:\\usr\\bin\\socat";

std::string Environment(const char* name) {
    char value[512] = {};
    const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? value : "";
}

// An ELM327 with a car behind it, on its own thread: echo on after a reset, OK to set-up
// commands, and mode 01 answers for the engine speed and the speed; other PIDs have no data.
class AdapterSimulator {
  public:
    std::atomic<int> rpm{2000};
    std::atomic<int> speedKmh{50};

    bool Plug(const std::string& port) {
        if (!rig::WaitUntil([&] { return port_.Open(port, 38400); }, 10000)) return false;
        running_ = true;
        thread_ = std::thread([this] { Serve(); });
        return true;
    }
    void Unplug() {
        running_ = false;
        if (thread_.joinable()) thread_.join();
        port_.Close();
    }
    ~AdapterSimulator() { Unplug(); }

  private:
    void Serve() {
        std::string line;
        while (running_) {
            std::string bytes;
            if (!port_.Read(bytes)) return;
            for (char c : bytes) {
                if (c != '\r') {
                    if (c != '\n' && c != ' ') line += c;
                    continue;
                }
                port_.Write(Answer(line));
                line.clear();
            }
            Sleep(5);
        }
    }
    std::string Answer(const std::string& command) {
        std::string reply = echo_ ? command + "\r" : "";
        char data[32];
        if (command == "ATZ") {
            echo_ = true;
            reply += "\r\rELM327 v1.5";
        } else if (command == "ATE0") {
            echo_ = false;
            reply += "OK";
        } else if (command.compare(0, 2, "AT") == 0) {
            reply += "OK";
        } else if (command == "010C") {
            const int raw = rpm * 4;
            std::snprintf(data, sizeof data, "41 0C %02X %02X", raw / 256, raw % 256);
            reply += data;
        } else if (command == "010D") {
            std::snprintf(data, sizeof data, "41 0D %02X", speedKmh.load());
            reply += data;
        } else {
            reply += "NO DATA";
        }
        return reply + "\r\r>";
    }

    SerialPort port_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    bool echo_ = true;
};

ObdSnapshot SharedRecord() {
    std::vector<uint8_t> bytes = rig::ReadSharedMemory(kObdSectionName, sizeof(ObdSnapshot));
    ObdSnapshot record{};
    if (bytes.size() == sizeof record) std::memcpy(&record, bytes.data(), sizeof record);
    return record;
}

class ObdAdapterEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!rig::UnderWine()) GTEST_SKIP() << "the serial ports are Wine's pseudo-terminals";
        prefix_ = Environment("WINEPREFIX");
        if (prefix_.empty()) GTEST_SKIP() << "no WINEPREFIX: the ports cannot be mapped";
        if (GetFileAttributesA(kSocat) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no socat";
        rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
        SkinRecord skin = DefaultSkinRecord();
        skin.opacity = 255;
        skin.shownMask[0] = skin.shownMask[1] = 0;
        SetKindShown(skin, kKindObd2Rpm, true);
        SetKindShown(skin, kKindObd2Speed, true);
        const uint32_t options = 0;
        ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Skin2", REG_BINARY,
                                            &skin, sizeof skin));
        ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Metric", REG_DWORD,
                                            &options, sizeof options));
        ASSERT_TRUE(CreateDirectoryA(folder_.File("Bare").c_str(), nullptr));
    }
    void TearDown() override {
        adapter_.Unplug(); // socat ends with its first pseudo-terminal
        vantrel_.Stop();
        reader_.Stop();
        rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    }

    // Joins COM21 and COM22 and plugs the simulated adapter into COM21. socat runs as a Unix
    // process, which Wine gives no handle for; it ends by itself when the adapter's side closes.
    bool Plug() {
        const std::string dev = prefix_ + "/dosdevices/";
        const std::string arguments = "pty,link=" + dev +
                                      "com21,raw,echo=0,wait-slave pty,link=" + dev +
                                      "com22,raw,echo=0,wait-slave";
        std::string line = std::string("\"") + kSocat + "\" " + arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (!CreateProcessA(kSocat, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info))
            return false;
        if (info.hProcess) CloseHandle(info.hProcess);
        if (info.hThread) CloseHandle(info.hThread);
        return adapter_.Plug("COM21");
    }

    std::string Status(HWND dialog) {
        char text[128] = {};
        GetDlgItemTextA(dialog, IDC_STATUS, text, sizeof text);
        return text;
    }

    std::string prefix_;
    rig::ProgramFolder folder_;
    rig::Process vantrel_;
    rig::Process reader_;
    AdapterSimulator adapter_;
};

} // namespace

TEST_F(ObdAdapterEndToEnd, GaugesFollowTheCarAndTheLinkFollowsTheAdapter) {
    ASSERT_TRUE(Plug());
    ASSERT_TRUE(
        reader_.Start(folder_.File("ObdReader.exe"),
                      "/port COM22 /interval 50 /record \"" + folder_.File("reader.txt") + "\""));
    ASSERT_NE(rig::WaitForWindow(kObdReaderWindowTitle, 10000, reader_.Id()), nullptr);
    ASSERT_TRUE(vantrel_.Start(folder_.File("Vantrel.exe"), "Bare"));
    HWND window = rig::WaitForWindow(kVantrelTitle, 10000, vantrel_.Id());
    ASSERT_NE(window, nullptr);

    // Vantrel asks for the engine speed and the speed; the reader polls exactly those.
    const uint32_t wanted = (1u << 0x0C) | (1u << 0x0D);
    EXPECT_TRUE(rig::WaitUntil([&] { return SharedRecord().pidRequestMask == wanted; }, 10000))
        << SharedRecord().pidRequestMask;
    auto Following = [&](int rpm, int speed) {
        return rig::WaitUntil(
            [&] {
                const ObdSnapshot s = SharedRecord();
                return s.linkState == 3 && s.pidSlot[0x0C] == uint32_t(rpm * 4) &&
                       s.pidSlot[0x0D] == uint32_t(speed);
            },
            10000);
    };
    EXPECT_TRUE(Following(2000, 50)) << int(SharedRecord().linkState);
    adapter_.rpm = 3100;
    adapter_.speedKmh = 88;
    EXPECT_TRUE(Following(3100, 88));
    EXPECT_EQ(SharedRecord().pidSlot[0x05], 0u) << "not requested, never polled";

    PostMessageA(window, WM_COMMAND, kConfigureCommand, 0);
    HWND dialog = rig::WaitForWindow(kDialogTitle, 10000, vantrel_.Id());
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(rig::WaitUntil(
        [&] { return Status(dialog).find("OBD-II Working") != std::string::npos; }, 5000))
        << Status(dialog);

    // Unplugged: the link and the engine figures drop.
    adapter_.Unplug();
    EXPECT_TRUE(rig::WaitUntil(
        [&] {
            const ObdSnapshot s = SharedRecord();
            return s.linkState == 0 && s.pidSlot[0x0C] == 0 && s.pidSlot[0x0D] == 0;
        },
        15000))
        << int(SharedRecord().linkState);
    EXPECT_TRUE(rig::WaitUntil(
        [&] { return Status(dialog).find("OBD-II N/C") != std::string::npos; }, 5000))
        << Status(dialog);

    // Plugged back: the reader finds the adapter again, sets it up and polls as before.
    adapter_.rpm = 900;
    adapter_.speedKmh = 0;
    ASSERT_TRUE(Plug());
    EXPECT_TRUE(Following(900, 0));
    EXPECT_TRUE(rig::WaitUntil(
        [&] { return Status(dialog).find("OBD-II Working") != std::string::npos; }, 5000))
        << Status(dialog);
    EXPECT_EQ(SharedRecord().pidRequestMask, wanted);

    const std::vector<uint8_t> bytes = rig::ReadFileBytes(folder_.File("reader.txt"));
    const std::string record(bytes.begin(), bytes.end());
    auto Count = [&](const std::string& line) {
        int n = 0;
        for (size_t at = record.find(line); at != std::string::npos; at = record.find(line, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(Count("adapter open\n"), 2) << record;
    // Closing a pseudo-terminal fails the port on the other side at once, before any time-out.
    EXPECT_EQ(Count("adapter lost\n"), 1) << record;
    EXPECT_EQ(Count("adapter silent\n"), 0) << record;

    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(window, WM_COMMAND, 2, 0);
    EXPECT_TRUE(vantrel_.WaitForExit(10000));
}
