// The settings table: every persisted setting as one row {value name, AppState field, registry
// type, size}, and the load and save rules over a registry key. The rows are portable; the key is
// reached through SettingsKey, which the Windows side implements with the registry.
#pragma once

#include <array>
#include <cstdint>

struct AppState;

// Registry value types, with the system's numbers.
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;

struct SettingsRow {
    char name[16];
    void* field;   // the AppState storage
    uint32_t type; // kRegSz, kRegBinary or kRegDword
    uint32_t size; // bytes; for kRegSz the buffer size
};

constexpr int kSettingsRowCount = 11;
using SettingsTable = std::array<SettingsRow, kSettingsRowCount>;

// The rows in the order they are loaded and saved.
SettingsTable MakeSettingsTable(AppState& app);

// The value that is read at start but never written: the recorded log to play back.
SettingsRow PlaybackPathRow(AppState& app);

// Registry key of the settings, under the current user.
constexpr const char kSettingsKeyPath[] = "Software\\Brevanti\\Vantrel";
// The per-user Run key and the program's value in it.
constexpr const char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char kRunValueName[] = "NMEAVantrel";

// An open registry key as the settings need it.
class SettingsKey {
  public:
    virtual ~SettingsKey() = default;
    // Reads a value of at most `size` bytes into `buffer`; false (buffer untouched) when the value
    // is missing or longer than `size`.
    virtual bool Read(const char* name, void* buffer, uint32_t size) = 0;
    virtual bool Write(const char* name, uint32_t type, const void* data, uint32_t size) = 0;
    virtual bool Delete(const char* name) = 0;
};

// Opens keys of the current user; null when the key cannot be opened or created.
class SettingsRegistry {
  public:
    virtual ~SettingsRegistry() = default;
    virtual SettingsKey* Open(const char* path) = 0; // owned by the caller
};

// Loads every row into `app` (missing values keep their defaults). A skin folder from the
// command line survives the load; an empty skin folder becomes "Cluster"; a stored skin of
// version 1 is discarded. Nothing changes when the key cannot be opened.
void LoadSettingsFrom(SettingsRegistry& registry, AppState& app);

// Writes every row, then writes the Run value (the program path `programPath`) when option 0x20 is
// set, else deletes it. Nothing is written when the settings key cannot be opened.
void SaveSettingsTo(SettingsRegistry& registry, AppState& app, const char* programPath);
