// "Skin.bin" on disk: reading it over the live record, writing it back safely, and the skin
// folder switch and close-time save of the configuration dialog.
#include "skin/skin_folder_win.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

// Owns a file handle for the span of one read or write.
class FileHandle {
  public:
    explicit FileHandle(HANDLE h) : h_(h) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool Valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return h_; }
    // Closes now and reports whether the close succeeded (a write's last chance to fail).
    bool Close() {
        if (!Valid()) return true;
        const bool ok = CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE h_;
};

// Reads up to size bytes, looping over short reads; returns the count read.
std::size_t ReadUpTo(HANDLE file, uint8_t* buffer, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        DWORD got = 0;
        if (!ReadFile(file, buffer + total, static_cast<DWORD>(size - total), &got, nullptr) ||
            got == 0) {
            break;
        }
        total += got;
    }
    return total;
}

bool WriteAll(HANDLE file, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::size_t total = 0;
    while (total < size) {
        DWORD put = 0;
        if (!WriteFile(file, bytes + total, static_cast<DWORD>(size - total), &put, nullptr) ||
            put == 0) {
            return false;
        }
        total += put;
    }
    return true;
}

// A "Skin.bin" this program cannot read (cut short, or of a version it does not know) may be
// another program's or a newer one's: before a record replaces it, it is kept as "Skin.bin.bad".
void KeepUnreadableSkinFile(const std::string& path) {
    uint8_t buffer[kSkinRecordSize];
    std::size_t got = 0;
    {
        FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file.Valid()) return;
        got = ReadUpTo(file.Get(), buffer, sizeof buffer);
    }
    SkinRecord scratch{};
    if (SkinFileWasTaken(ApplySkinFileBytes(buffer, got, scratch))) return;
    MoveFileExA(path.c_str(), (path + ".bad").c_str(),
                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

} // namespace

std::string ProgramFolderPath() {
    char path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    std::string folder(path, n);
    const std::size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

std::string SkinFolderPath(const char* skinFolderName) {
    return JoinSkinPath(ProgramFolderPath(), skinFolderName ? skinFolderName : "");
}

SkinFileResult ReadSkinFile(const std::string& skinFolderPath, SkinRecord& live) {
    const std::string path = JoinSkinPath(skinFolderPath, kSkinFileName);
    // The file is read into a buffer of its own so that a short or unknown file leaves the
    // live record untouched.
    uint8_t buffer[kSkinRecordSize];
    std::size_t got = 0;
    {
        FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file.Valid()) return SkinFileResult::Missing;
        got = ReadUpTo(file.Get(), buffer, sizeof buffer);
    }
    return ApplySkinFileBytes(buffer, got, live);
}

bool WriteSkinFile(const std::string& skinFolderPath, const SkinRecord& live) {
    const std::string path = JoinSkinPath(skinFolderPath, kSkinFileName);
    // Deleting "Skin.bin" and writing it anew would lose the skin to a crash or a full disk
    // between the two; the record goes to a file beside it, which replaces it only when whole.
    const std::string fresh = path + ".new";
    bool written = false;
    {
        FileHandle file(CreateFileA(fresh.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return false;
        written = WriteAll(file.Get(), &live, sizeof live) && FlushFileBuffers(file.Get()) != 0;
        written = file.Close() && written;
    }
    if (written) KeepUnreadableSkinFile(path);
    if (written && MoveFileExA(fresh.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
        return true;
    }
    DeleteFileA(fresh.c_str());
    return false;
}

void SwitchSkinFolder(const SkinRecord& live, char* skinFolder, std::size_t skinFolderSize,
                      const char* newName) {
    if (skinFolder == nullptr || skinFolderSize == 0) return;
    WriteSkinFile(SkinFolderPath(skinFolder), live);
    const char* name = newName ? newName : "";
    const std::size_t n = std::min(std::strlen(name), skinFolderSize - 1);
    std::memmove(skinFolder, name, n);
    skinFolder[n] = '\0';
}

bool SaveSkinIfChanged(const SkinRecord& live, const SkinRecord& recordAtOpen,
                       const std::string& skinFolderPath) {
    if (!SkinRecordsDiffer(live, recordAtOpen)) return false;
    return WriteSkinFile(skinFolderPath, live);
}
