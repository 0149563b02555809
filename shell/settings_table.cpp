#include "shell/settings_table.h"

#include <cstring>
#include <memory>
#include <vector>

#include "state/app_state.h"
#include "skin/skin_file.h"
#include "sources/playback.h"
#include "state/skin_record.h"

namespace {

SettingsRow Row(const char* name, void* field, uint32_t type, uint32_t size) {
    SettingsRow row{};
    std::strncpy(row.name, name, sizeof(row.name) - 1);
    row.field = field;
    row.type = type;
    row.size = size;
    return row;
}

// Length of a text field plus its terminator, never beyond the buffer.
uint32_t StoredTextSize(const SettingsRow& row) {
    const char* text = static_cast<const char*>(row.field);
    const void* end = std::memchr(text, 0, row.size);
    if (end == nullptr) {
        return row.size; // unterminated: store the whole buffer rather than read past it
    }
    return uint32_t(static_cast<const char*>(end) - text) + 1;
}

// A text is read into a zeroed buffer and copied whole, so a stored value shorter than the field
// and without its terminator ends where it was stored instead of running on into the tail of
// the default.
bool ReadRow(SettingsKey& key, const SettingsRow& row) {
    if (row.type != kRegSz) {
        return key.Read(row.name, row.field, row.size);
    }
    std::vector<char> text(row.size, '\0');
    if (!key.Read(row.name, text.data(), row.size)) {
        return false;
    }
    std::memcpy(row.field, text.data(), row.size);
    return true;
}

uint32_t Clamped(uint32_t value, uint32_t low, uint32_t high) {
    return value < low ? low : (value > high ? high : value);
}

} // namespace

SettingsTable MakeSettingsTable(AppState& app) {
    static_assert(sizeof(app.windowRect) == 16, "WindowPosition");
    static_assert(sizeof(app.tripLogOn) == 4, "TripLog");
    static_assert(sizeof(app.tripLogPath) == 128, "TripLogPath");
    static_assert(sizeof(app.options) == 4, "Metric");
    static_assert(sizeof(app.skin) == 5660, "Skin2");
    static_assert(sizeof(app.home) == 8, "Home");
    static_assert(sizeof(app.playSpeed) == 4, "PlaySpeed");
    static_assert(sizeof(app.skinFolder) == 256, "ForeSkin");
    static_assert(sizeof(app.odometer) == 4, "Odometer");
    static_assert(sizeof(app.odoLastPos) == 8, "OdoLastPos");
    static_assert(sizeof(app.drawRate) == 4, "DrawRate");
    return SettingsTable{{
        Row("WindowPosition", &app.windowRect, kRegBinary, 16),
        Row("TripLog", &app.tripLogOn, kRegDword, 4),
        Row("TripLogPath", app.tripLogPath, kRegSz, 128),
        Row("Metric", &app.options, kRegDword, 4),
        Row("Skin2", &app.skin, kRegBinary, 5660),
        Row("Home", &app.home, kRegBinary, 8),
        Row("PlaySpeed", &app.playSpeed, kRegDword, 4),
        Row("ForeSkin", app.skinFolder, kRegSz, 256),
        Row("Odometer", &app.odometer, kRegBinary, 4),
        Row("OdoLastPos", &app.odoLastPos, kRegBinary, 8),
        Row("DrawRate", &app.drawRate, kRegDword, 4),
    }};
}

SettingsRow PlaybackPathRow(AppState& app) {
    static_assert(sizeof(app.playbackPath) == 128, "LogPath");
    return Row("LogPath", app.playbackPath, kRegSz, 128);
}

void LoadSettingsFrom(SettingsRegistry& registry, AppState& app) {
    std::unique_ptr<SettingsKey> key(registry.Open(kSettingsKeyPath));
    if (!key) {
        return;
    }
    char commandLineSkin[sizeof(app.skinFolder)];
    std::memcpy(commandLineSkin, app.skinFolder, sizeof(commandLineSkin));

    for (const SettingsRow& row : MakeSettingsTable(app)) {
        ReadRow(*key, row);
    }
    // A stored text may lack its terminator; never let a buffer run on.
    app.skinFolder[sizeof(app.skinFolder) - 1] = 0;
    app.tripLogPath[sizeof(app.tripLogPath) - 1] = 0;
    // Edited by hand or by another program, these would stall the frame timer or run a
    // playback away: only what the dialog can set is taken.
    app.drawRate = Clamped(app.drawRate, kFastDrawRate, kSlowDrawRate);
    app.playSpeed = Clamped(app.playSpeed, kMinPlaySpeed, kMaxPlaySpeed);

    if (app.skinFolder[0] == 0) {
        std::strcpy(app.skinFolder, kDefaultSkinFolder);
    }
    DiscardVersion1Skin(app.skin);
    if (app.skinFromCommandLine) {
        std::memcpy(app.skinFolder, commandLineSkin, sizeof(commandLineSkin));
    }
    key.reset();

    key.reset(registry.Open(kSettingsKeyPath));
    if (key) {
        ReadRow(*key, PlaybackPathRow(app));
        app.playbackPath[sizeof(app.playbackPath) - 1] = 0;
    }
}

void SaveSettingsTo(SettingsRegistry& registry, AppState& app, const char* programPath) {
    std::unique_ptr<SettingsKey> key(registry.Open(kSettingsKeyPath));
    if (!key) {
        return;
    }
    for (const SettingsRow& row : MakeSettingsTable(app)) {
        const uint32_t size = row.type == kRegSz ? StoredTextSize(row) : row.size;
        key->Write(row.name, row.type, row.field, size);
    }
    key.reset();

    std::unique_ptr<SettingsKey> run(registry.Open(kRunKeyPath));
    if (!run) {
        return;
    }
    if (HasOption(app, kOptionStartWithWindows)) {
        run->Write(kRunValueName, kRegSz, programPath, uint32_t(std::strlen(programPath)) + 1);
    } else {
        run->Delete(kRunValueName);
    }
}
