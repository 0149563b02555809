#include "trip/trail_store_win.h"

#include <windows.h>

#include <string>

namespace {

class File {
  public:
    explicit File(HANDLE handle) : handle_(handle) {}
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    bool Close() {
        bool ok = handle_ == INVALID_HANDLE_VALUE || CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

  private:
    HANDLE handle_;
};

} // namespace

void LoadTrailStore(TrailRing& ring, const char* path) {
    ClearTrail(ring);
    File file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid()) return;
    TrailRing stored;
    DWORD read = 0;
    if (!ReadFile(file.Get(), &stored, sizeof stored, &read, nullptr)) read = 0;
    TrailFromFileBytes(ring, &stored, read);
}

bool SaveTrailStore(const TrailRing& ring, const char* path) {
    const std::string fresh = std::string(path) + ".new";
    {
        File file(CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid()) return false;
        DWORD written = 0;
        bool ok = WriteFile(file.Get(), &ring, sizeof ring, &written, nullptr) &&
                  written == sizeof ring && FlushFileBuffers(file.Get());
        if (!file.Close() || !ok) {
            DeleteFileA(fresh.c_str());
            return false;
        }
    }
    if (!MoveFileExA(fresh.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(fresh.c_str());
        return false;
    }
    return true;
}
