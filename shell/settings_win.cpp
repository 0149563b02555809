#include "shell/settings_win.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "state/app_state.h"
#include "shell/settings_table.h"

namespace {

class RegistryKey : public SettingsKey {
  public:
    explicit RegistryKey(HKEY key) : key_(key) {}
    ~RegistryKey() override { RegCloseKey(key_); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool Read(const char* name, void* buffer, uint32_t size) override {
        // A value longer than the buffer fails with ERROR_MORE_DATA and leaves the field alone.
        // Read through a scratch copy so a failed read never changes the field at all.
        std::string scratch(size, '\0');
        DWORD length = size;
        const LONG result = RegQueryValueExA(key_, name, nullptr, nullptr,
                                             reinterpret_cast<BYTE*>(&scratch[0]), &length);
        if (result != ERROR_SUCCESS || length > size) {
            return false;
        }
        std::memcpy(buffer, scratch.data(), length);
        return true;
    }
    bool Write(const char* name, uint32_t type, const void* data, uint32_t size) override {
        return RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size) ==
               ERROR_SUCCESS;
    }
    bool Delete(const char* name) override { return RegDeleteValueA(key_, name) == ERROR_SUCCESS; }

  private:
    HKEY key_;
};

class CurrentUserRegistry : public SettingsRegistry {
  public:
    SettingsKey* Open(const char* path) override {
        HKEY key = nullptr;
        if (RegCreateKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS) {
            return nullptr;
        }
        return new RegistryKey(key);
    }
};

} // namespace

void LoadSettings(AppState& app) {
    CurrentUserRegistry registry;
    LoadSettingsFrom(registry, app);
}

void SaveSettings(AppState& app) {
    char programPath[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, programPath, MAX_PATH);
    CurrentUserRegistry registry;
    SaveSettingsTo(registry, app, programPath);
}
