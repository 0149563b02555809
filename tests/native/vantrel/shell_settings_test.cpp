#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "state/app_state.h"
#include "shell/pointer_hiding.h"
#include "shell/settings_table.h"

namespace {

TEST(SettingsTable, RowsInOrderWithTypesAndSizes) {
    AppState app;
    const SettingsTable table = MakeSettingsTable(app);
    struct Expected {
        const char* name;
        void* field;
        uint32_t type;
        uint32_t size;
    };
    const Expected expected[] = {
        {"WindowPosition", &app.windowRect, kRegBinary, 16},
        {"TripLog", &app.tripLogOn, kRegDword, 4},
        {"TripLogPath", app.tripLogPath, kRegSz, 128},
        {"Metric", &app.options, kRegDword, 4},
        {"Skin2", &app.skin, kRegBinary, 5660},
        {"Home", &app.home, kRegBinary, 8},
        {"PlaySpeed", &app.playSpeed, kRegDword, 4},
        {"ForeSkin", app.skinFolder, kRegSz, 256},
        {"Odometer", &app.odometer, kRegBinary, 4},
        {"OdoLastPos", &app.odoLastPos, kRegBinary, 8},
        {"DrawRate", &app.drawRate, kRegDword, 4},
    };
    ASSERT_EQ(table.size(), std::size(expected));
    for (size_t i = 0; i < table.size(); ++i) {
        EXPECT_STREQ(table[i].name, expected[i].name) << i;
        EXPECT_EQ(table[i].field, expected[i].field) << expected[i].name;
        EXPECT_EQ(table[i].type, expected[i].type) << expected[i].name;
        EXPECT_EQ(table[i].size, expected[i].size) << expected[i].name;
    }
    const SettingsRow log = PlaybackPathRow(app);
    EXPECT_STREQ(log.name, "LogPath");
    EXPECT_EQ(log.field, app.playbackPath);
    EXPECT_EQ(log.type, kRegSz);
    EXPECT_EQ(log.size, 128u);
}

TEST(AppStateDefaults, InitialValues) {
    AppState app;
    EXPECT_EQ(app.displayedHeading, 180);
    EXPECT_EQ(app.lastHostRect.left, -1);
    EXPECT_EQ(app.lastHostRect.bottom, -1);
    EXPECT_EQ(app.drawRate, 100u);
    EXPECT_EQ(app.playSpeed, 1u);
    EXPECT_STREQ(app.tripLogPath, "C:\\GPSLog\\Trip.log");
    EXPECT_STREQ(app.playbackPath, "C:\\GPSLog\\GPS.gps");
    EXPECT_STREQ(app.skinFolder, "");
    EXPECT_EQ(app.skin.version, 4u);
    EXPECT_EQ(app.skin.shownMask[0], 0x0003681Fu);
}

// A registry of keys held in memory.
struct StoredValue {
    uint32_t type;
    std::vector<uint8_t> bytes;
};
using Values = std::map<std::string, StoredValue>;

class FakeKey : public SettingsKey {
  public:
    explicit FakeKey(Values& values) : values_(values) {}
    bool Read(const char* name, void* buffer, uint32_t size) override {
        auto it = values_.find(name);
        if (it == values_.end() || it->second.bytes.size() > size) {
            return false;
        }
        std::memcpy(buffer, it->second.bytes.data(), it->second.bytes.size());
        return true;
    }
    bool Write(const char* name, uint32_t type, const void* data, uint32_t size) override {
        const uint8_t* p = static_cast<const uint8_t*>(data);
        values_[name] = StoredValue{type, std::vector<uint8_t>(p, p + size)};
        return true;
    }
    bool Delete(const char* name) override { return values_.erase(name) > 0; }

  private:
    Values& values_;
};

class FakeRegistry : public SettingsRegistry {
  public:
    std::map<std::string, Values> keys;
    bool failOpen = false;
    SettingsKey* Open(const char* path) override {
        if (failOpen) return nullptr;
        return new FakeKey(keys[path]);
    }
    Values& Settings() { return keys[kSettingsKeyPath]; }
    Values& Run() { return keys[kRunKeyPath]; }
};

template <typename T> StoredValue Bytes(uint32_t type, const T& value) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&value);
    return StoredValue{type, std::vector<uint8_t>(p, p + sizeof(value))};
}
StoredValue Text(const std::string& text) {
    return StoredValue{kRegSz, std::vector<uint8_t>(text.begin(), text.end())};
}

TEST(SettingsLoad, FirstRunKeepsTheDefaults) {
    FakeRegistry registry;
    AppState app;
    LoadSettingsFrom(registry, app);
    EXPECT_STREQ(app.skinFolder, "Cluster");
    EXPECT_EQ(app.drawRate, 100u);
    EXPECT_EQ(app.options, 0u);
    EXPECT_STREQ(app.playbackPath, "C:\\GPSLog\\GPS.gps");
    const SkinRecord defaults = DefaultSkinRecord();
    EXPECT_EQ(std::memcmp(&app.skin, &defaults, sizeof(app.skin)), 0);

    // Without a key not even the skin folder default is applied.
    FakeRegistry broken;
    broken.failOpen = true;
    AppState untouched;
    LoadSettingsFrom(broken, untouched);
    EXPECT_STREQ(untouched.skinFolder, "");
}

TEST(SettingsLoad, ReadsStoredValuesAndSkipsOversizedOnes) {
    FakeRegistry registry;
    registry.Settings()["DrawRate"] = Bytes(kRegDword, uint32_t(500));
    registry.Settings()["Metric"] = Bytes(kRegDword, uint64_t(0x29)); // 8 bytes: too long
    registry.Settings()["ForeSkin"] = Text(std::string("Night") + '\0');
    registry.Settings()["LogPath"] = Text(std::string("D:\\Logs\\a.gps") + '\0');
    registry.Settings()["Home"] = Bytes(kRegBinary, GeoPoint{51.5f, 0.12f});
    AppState app;
    LoadSettingsFrom(registry, app);
    EXPECT_EQ(app.drawRate, 500u);
    EXPECT_EQ(app.options, 0u);
    EXPECT_STREQ(app.skinFolder, "Night");
    EXPECT_STREQ(app.playbackPath, "D:\\Logs\\a.gps");
    EXPECT_FLOAT_EQ(app.home.latitude, 51.5f);
    EXPECT_FLOAT_EQ(app.home.longitude, 0.12f);
}

TEST(SettingsLoad, UnterminatedTextStaysInsideItsBuffer) {
    FakeRegistry registry;
    registry.Settings()["TripLogPath"] = Text(std::string(128, 'x'));
    AppState app;
    LoadSettingsFrom(registry, app);
    EXPECT_EQ(std::strlen(app.tripLogPath), 127u);
}

TEST(SettingsLoad, ShortTextsEndWhereStoredAndRatesAreClamped) {
    // Texts stored without a terminator, shorter than the default they replace.
    FakeRegistry registry;
    registry.Settings()["TripLogPath"] = Text("D:\\T");
    registry.Settings()["ForeSkin"] = Text("Ni");
    registry.Settings()["LogPath"] = Text("a.gps");
    AppState app;
    std::strcpy(app.tripLogPath, "C:\\a much longer default");
    LoadSettingsFrom(registry, app);
    EXPECT_STREQ(app.tripLogPath, "D:\\T");
    EXPECT_STREQ(app.skinFolder, "Ni");
    EXPECT_STREQ(app.playbackPath, "a.gps");

    const struct {
        uint32_t stored, drawRate, playSpeed;
    } rates[] = {{0, 100, 1},    {1, 100, 1},    {5, 100, 5},    {100, 100, 11},
                 {250, 250, 11}, {500, 500, 11}, {501, 500, 11}, {0xFFFFFFFF, 500, 11}};
    for (const auto& row : rates) {
        FakeRegistry stored;
        stored.Settings()["DrawRate"] = Bytes(kRegDword, row.stored);
        stored.Settings()["PlaySpeed"] = Bytes(kRegDword, row.stored);
        AppState loaded;
        LoadSettingsFrom(stored, loaded);
        EXPECT_EQ(loaded.drawRate, row.drawRate) << row.stored;
        EXPECT_EQ(loaded.playSpeed, row.playSpeed) << row.stored;
    }
}

TEST(SettingsLoad, Version1SkinIsDiscardedOthersAreKept) {
    FakeRegistry registry;
    SkinRecord stored = DefaultSkinRecord();
    stored.version = 1;
    registry.Settings()["Skin2"] = Bytes(kRegBinary, stored);
    AppState app;
    LoadSettingsFrom(registry, app);
    const std::vector<uint8_t> zero(sizeof(SkinRecord), 0);
    EXPECT_EQ(std::memcmp(&app.skin, zero.data(), zero.size()), 0);

    stored.version = 5;
    stored.opacity = 128;
    registry.Settings()["Skin2"] = Bytes(kRegBinary, stored);
    AppState app5;
    LoadSettingsFrom(registry, app5);
    EXPECT_EQ(app5.skin.version, 5u);
    EXPECT_EQ(app5.skin.opacity, 128u);
}

TEST(SettingsLoad, CommandLineSkinFolderSurvives) {
    FakeRegistry registry;
    registry.Settings()["ForeSkin"] = Text(std::string("Stored") + '\0');
    AppState app;
    std::strcpy(app.skinFolder, "Given");
    app.skinFromCommandLine = true;
    LoadSettingsFrom(registry, app);
    EXPECT_STREQ(app.skinFolder, "Given");
}

TEST(SettingsSave, WritesEveryRowWithItsTypeAndTheRunValue) {
    FakeRegistry registry;
    AppState app;
    std::strcpy(app.skinFolder, "Cluster");
    app.options = kOptionStartWithWindows | kOptionAlwaysOnTop;
    app.windowRect = RectI32{10, 20, 30, 40};
    SaveSettingsTo(registry, app, "C:\\Vantrel\\Vantrel.exe");

    Values& values = registry.Settings();
    EXPECT_EQ(values.size(), 11u);
    EXPECT_EQ(values.count("LogPath"), 0u); // read only
    EXPECT_EQ(values["WindowPosition"].type, kRegBinary);
    EXPECT_EQ(values["WindowPosition"].bytes.size(), 16u);
    EXPECT_EQ(values["WindowPosition"].bytes[4], 20);
    EXPECT_EQ(values["Skin2"].bytes.size(), 5660u);
    EXPECT_EQ(values["Metric"].type, kRegDword);
    EXPECT_EQ(values["Metric"].bytes, (std::vector<uint8_t>{0x28, 0, 0, 0}));
    EXPECT_EQ(values["ForeSkin"].type, kRegSz);
    EXPECT_EQ(values["ForeSkin"].bytes.size(), 8u); // "Cluster" and its terminator
    EXPECT_EQ(values["TripLogPath"].bytes.size(), std::strlen("C:\\GPSLog\\Trip.log") + 1);
    EXPECT_EQ(values["Odometer"].type, kRegBinary);

    ASSERT_EQ(registry.Run().count("NMEAVantrel"), 1u);
    const StoredValue& run = registry.Run()["NMEAVantrel"];
    EXPECT_EQ(run.type, kRegSz);
    EXPECT_EQ(std::string(run.bytes.begin(), run.bytes.end()),
              std::string("C:\\Vantrel\\Vantrel.exe") + '\0');

    app.options &= ~kOptionStartWithWindows;
    SaveSettingsTo(registry, app, "C:\\Vantrel\\Vantrel.exe");
    EXPECT_EQ(registry.Run().count("NMEAVantrel"), 0u);
}

TEST(SettingsSave, RoundTripIsByteForByte) {
    FakeRegistry registry;
    AppState first;
    std::strcpy(first.skinFolder, "Night");
    first.odometer = 1234.5f;
    first.odoLastPos = GeoPoint{48.1f, -11.5f};
    first.skin.shownMask[1] = 0x10000000; // a spare kind's bit is kept as it is
    SaveSettingsTo(registry, first, "x");
    const Values before = registry.Settings();

    AppState second;
    LoadSettingsFrom(registry, second);
    SaveSettingsTo(registry, second, "x");
    for (const auto& [name, value] : before) {
        EXPECT_EQ(registry.Settings()[name].bytes, value.bytes) << name;
    }
}

TEST(PointerHiding, HidesAfterFiveStillSecondsAndComesBackOnMovement) {
    AppState app;
    const PointI32 still{5, 5};
    EXPECT_EQ(PointerHidingStep(app, still), PointerAction::None); // moved from (0, 0)
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(PointerHidingStep(app, still), PointerAction::None) << i;
    }
    EXPECT_EQ(PointerHidingStep(app, still), PointerAction::Hide);
    EXPECT_TRUE(app.cursorHidden);
    EXPECT_EQ(PointerHidingStep(app, still), PointerAction::None);
    EXPECT_EQ(PointerHidingStep(app, PointI32{6, 5}), PointerAction::Restore);
    EXPECT_FALSE(app.cursorHidden);
    EXPECT_EQ(app.stillSeconds, 0u);
    // A move in between starts the count again.
    for (int i = 0; i < 3; ++i)
        PointerHidingStep(app, PointI32{6, 5});
    EXPECT_EQ(PointerHidingStep(app, PointI32{7, 5}), PointerAction::None);
    EXPECT_EQ(app.stillSeconds, 0u);
}

} // namespace
