// The settings store against the real registry of the test prefix.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "rig/rig.h"
#include "state/app_state.h"
#include "shell/settings_table.h"
#include "shell/settings_win.h"

namespace {

// Every test that touches the settings key starts and ends without it (one prefix for all tests).
class SettingsRegistry : public ::testing::Test {
  protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKeyPath);
        HKEY run = nullptr;
        if (RegOpenKeyA(HKEY_CURRENT_USER, kRunKeyPath, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, kRunValueName);
            RegCloseKey(run);
        }
    }
    static rig::RegistryValue Value(const char* name) {
        return rig::ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKeyPath, name);
    }
    static rig::RegistryValue RunValue() {
        return rig::ReadRegistryValue(HKEY_CURRENT_USER, kRunKeyPath, kRunValueName);
    }
};

TEST_F(SettingsRegistry, FirstRunCreatesTheKeyAndKeepsTheDefaults) {
    AppState app;
    LoadSettings(app);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, kSettingsKeyPath, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_STREQ(app.skinFolder, "Cluster");
    EXPECT_STREQ(app.tripLogPath, "C:\\GPSLog\\Trip.log");
    EXPECT_STREQ(app.playbackPath, "C:\\GPSLog\\GPS.gps");
    EXPECT_EQ(app.drawRate, 100u);
    EXPECT_EQ(app.playSpeed, 1u);
    EXPECT_EQ(app.options, 0u);
    EXPECT_EQ(app.tripLogOn, 0u);
    EXPECT_TRUE(rig::RegistryValueNames(HKEY_CURRENT_USER, kSettingsKeyPath).empty());
}

TEST_F(SettingsRegistry, SaveWritesEveryValueWithItsTypeAndSize) {
    AppState app;
    LoadSettings(app);
    app.windowRect = RectI32{12, 34, 56, 78};
    app.odometer = 321.25f;
    SaveSettings(app);

    struct Expected {
        const char* name;
        DWORD type;
        size_t size;
    };
    const Expected rows[] = {
        {"WindowPosition", REG_BINARY, 16}, {"TripLog", REG_DWORD, 4},
        {"TripLogPath", REG_SZ, 19},        {"Metric", REG_DWORD, 4},
        {"Skin2", REG_BINARY, 5660},        {"Home", REG_BINARY, 8},
        {"PlaySpeed", REG_DWORD, 4},        {"ForeSkin", REG_SZ, 8},
        {"Odometer", REG_BINARY, 4},        {"OdoLastPos", REG_BINARY, 8},
        {"DrawRate", REG_DWORD, 4},
    };
    for (const Expected& row : rows) {
        const rig::RegistryValue value = Value(row.name);
        ASSERT_TRUE(value.found) << row.name;
        EXPECT_EQ(value.type, row.type) << row.name;
        EXPECT_EQ(value.data.size(), row.size) << row.name;
    }
    EXPECT_EQ(rig::RegistryValueNames(HKEY_CURRENT_USER, kSettingsKeyPath).size(), 11u);
    EXPECT_FALSE(Value("LogPath").found); // read, never written

    const rig::RegistryValue position = Value("WindowPosition");
    RectI32 stored;
    std::memcpy(&stored, position.data.data(), sizeof(stored));
    EXPECT_EQ(stored.left, 12);
    EXPECT_EQ(stored.bottom, 78);
    const rig::RegistryValue skinFolder = Value("ForeSkin");
    EXPECT_EQ(std::string(skinFolder.data.begin(), skinFolder.data.end()),
              std::string("Cluster") + '\0');
    const SkinRecord defaults = DefaultSkinRecord();
    EXPECT_EQ(std::memcmp(Value("Skin2").data.data(), &defaults, sizeof(defaults)), 0);

    AppState again;
    LoadSettings(again);
    EXPECT_EQ(again.windowRect.top, 34);
    EXPECT_FLOAT_EQ(again.odometer, 321.25f);
}

TEST_F(SettingsRegistry, RunValueFollowsStartWithWindows) {
    AppState app;
    LoadSettings(app);
    app.options |= kOptionStartWithWindows;
    SaveSettings(app);
    const rig::RegistryValue run = RunValue();
    ASSERT_TRUE(run.found);
    EXPECT_EQ(run.type, DWORD(REG_SZ));
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    EXPECT_EQ(std::string(run.data.begin(), run.data.end()), std::string(path) + '\0');

    app.options &= ~kOptionStartWithWindows;
    SaveSettings(app);
    EXPECT_FALSE(RunValue().found);
    SaveSettings(app); // a missing value is no error
    EXPECT_FALSE(RunValue().found);
}

TEST_F(SettingsRegistry, OversizedValuesAreNotRead) {
    const uint64_t rate = 500;
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKeyPath, "DrawRate", REG_BINARY,
                                        &rate, sizeof(rate)));
    const std::string longName(300, 'n');
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKeyPath, "ForeSkin", REG_SZ,
                                        longName.c_str(), DWORD(longName.size() + 1)));
    const std::string logPath = "D:\\Logs\\Drive.gps";
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKeyPath, "LogPath", REG_SZ,
                                        logPath.c_str(), DWORD(logPath.size() + 1)));
    const uint32_t metric = 0x09;
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKeyPath, "Metric", REG_DWORD,
                                        &metric, sizeof(metric)));
    AppState app;
    LoadSettings(app);
    EXPECT_EQ(app.drawRate, 100u);
    EXPECT_STREQ(app.skinFolder, "Cluster");
    EXPECT_STREQ(app.playbackPath, logPath.c_str());
    EXPECT_EQ(app.options, 0x09u);
}

TEST_F(SettingsRegistry, Version1SkinIsZeroedCommandLineSkinSurvives) {
    SkinRecord stored = DefaultSkinRecord();
    stored.version = 1;
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKeyPath, "Skin2", REG_BINARY,
                                        &stored, sizeof(stored)));
    const char stock[] = "Stored";
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, kSettingsKeyPath, "ForeSkin", REG_SZ,
                                        stock, sizeof(stock)));
    AppState app;
    std::strcpy(app.skinFolder, "FromCommandLine");
    app.skinFromCommandLine = true;
    LoadSettings(app);
    const std::string zero(sizeof(SkinRecord), '\0');
    EXPECT_EQ(std::memcmp(&app.skin, zero.data(), zero.size()), 0);
    EXPECT_STREQ(app.skinFolder, "FromCommandLine");
}

} // namespace
