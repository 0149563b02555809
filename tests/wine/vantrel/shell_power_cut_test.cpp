// Power cuts at ignition-off: the real Vantrel.exe, driven by the GPS stand-in, is killed at
// random moments while it saves over and over. Every file it keeps must afterwards be the old one
// or the new one, never torn, and the next start must run with it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "rig/rig.h"
#include "state/gps_snapshot.h"
#include "state/skin_record.h"
#include "state/trail_ring.h"
#include "trip/trip_log.h"

namespace {

constexpr const char kTitle[] = "Brevanti - Vantrel";
constexpr const char kSettingsKey[] = "Software\\Brevanti\\Vantrel";

// A whole trail file: the full image, its magic, an index inside the ring and the two breaks
// every append leaves ahead of it.
::testing::AssertionResult WholeTrailFile(const std::vector<uint8_t>& bytes) {
    if (bytes.size() != sizeof(TrailRing))
        return ::testing::AssertionFailure() << "Trails.dat holds " << bytes.size() << " bytes";
    TrailRing ring;
    std::memcpy(&ring, bytes.data(), sizeof ring);
    if (std::memcmp(ring.magic, "TR01", 4) != 0 || ring.index >= kTrailPoints)
        return ::testing::AssertionFailure() << "Trails.dat has a broken header";
    if (ring.points[ring.index].latitude != 0.0f ||
        ring.points[(ring.index + 1) % kTrailPoints].latitude != 0.0f)
        return ::testing::AssertionFailure() << "Trails.dat lacks the breaks ahead of its index";
    return ::testing::AssertionSuccess();
}

// Every line of a trip log whole: date, start, end and a distance, ended by CR LF.
::testing::AssertionResult WholeTripLines(const std::vector<uint8_t>& bytes, int& lines) {
    const std::string text(bytes.begin(), bytes.end());
    lines = 0;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            return ::testing::AssertionFailure() << "a torn last line: " << text.substr(start);
        const std::string line = text.substr(start, end - start);
        const size_t lastComma = line.rfind(',');
        int commas = 0;
        for (char c : line)
            commas += c == ',';
        char* rest = nullptr;
        if (lastComma != std::string::npos) std::strtod(line.c_str() + lastComma + 1, &rest);
        if (commas != 3 || rest == nullptr || *rest != 0 || rest == line.c_str() + lastComma + 1)
            return ::testing::AssertionFailure() << "a broken line: " << line;
        ++lines;
        start = end + 2;
    }
    return ::testing::AssertionSuccess();
}

TEST(PowerCut, EveryFileIsOldOrNewAfterAKillDuringSaves) {
    rig::ProgramFolder folder;
    rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    const std::string tripLog = folder.File("Trip.log");
    const DWORD on = 1;
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "TripLog", REG_DWORD, &on,
                                        sizeof on));
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "TripLogPath", REG_SZ,
                                        tripLog.c_str(), DWORD(tripLog.size() + 1)));
    rig::Process server;
    ASSERT_TRUE(server.Start(folder.File("GpsServer.exe"), "/interval 20"));
    ASSERT_NE(rig::WaitForWindow(kGpsServerWindowTitle, 10000, server.Id()), nullptr);

    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::string monthFile = TripLogFileName(tripLog, now.wYear, now.wMonth);
    std::mt19937 random(20261208);
    constexpr int kRounds = 6;
    constexpr int kSavesPerRound = 17; // about a hundred saves in all
    int lastLines = 0;
    for (int round = 0; round < kRounds; ++round) {
        rig::Process vantrel;
        ASSERT_TRUE(vantrel.Start(folder.File("Vantrel.exe")));
        HWND window = rig::WaitForWindow(kTitle, 10000, vantrel.Id());
        ASSERT_NE(window, nullptr) << "round " << round << ": it did not start with its files";
        Sleep(1000); // some distance for the trip line

        // Saves as the suspend of newer systems asks for them, with the kill somewhere among
        // them: before, inside or between the writes.
        const int killAfter = std::uniform_int_distribution<int>(1, kSavesPerRound)(random);
        for (int save = 0; save < kSavesPerRound; ++save) {
            PostMessageA(window, WM_POWERBROADCAST, 4, 0);
            Sleep(std::uniform_int_distribution<DWORD>(5, 60)(random));
            if (save + 1 == killAfter) {
                Sleep(std::uniform_int_distribution<DWORD>(0, 4)(random));
                break;
            }
        }
        TerminateProcess(vantrel.Handle(), 9);
        ASSERT_TRUE(vantrel.WaitForExit(5000));

        if (rig::FileExists(folder.File("Trails.dat"))) {
            EXPECT_TRUE(WholeTrailFile(rig::ReadFileBytes(folder.File("Trails.dat"))))
                << "round " << round;
        }
        int lines = 0;
        EXPECT_TRUE(WholeTripLines(rig::ReadFileBytes(monthFile), lines)) << "round " << round;
        EXPECT_GE(lines, lastLines) << "round " << round << ": lines were lost";
        lastLines = lines;
        const rig::RegistryValue skin =
            rig::ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Skin2");
        if (skin.found) {
            EXPECT_EQ(skin.data.size(), sizeof(SkinRecord)) << "round " << round;
        }
    }
    EXPECT_TRUE(rig::FileExists(folder.File("Trails.dat"))) << "no save ever finished";
    EXPECT_GT(lastLines, 0) << "no trip line was ever written";

    // After the last cut it still starts and closes normally with what was left.
    rig::Process last;
    ASSERT_TRUE(last.Start(folder.File("Vantrel.exe")));
    HWND window = rig::WaitForWindow(kTitle, 10000, last.Id());
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_COMMAND, 2, 0);
    EXPECT_TRUE(last.WaitForExit(10000));
    EXPECT_TRUE(WholeTrailFile(rig::ReadFileBytes(folder.File("Trails.dat"))));
    server.Stop();
    rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
}

} // namespace
