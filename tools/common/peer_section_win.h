// What the peer stand-ins share: the named section a peer owns for the life of the program, and
// reading a script file whole.
#pragma once

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

// Owns a peer's named section of one `Record` and its view.
template <typename Record> class PeerSection {
  public:
    PeerSection() = default;
    ~PeerSection() {
        if (view_ != nullptr) UnmapViewOfFile(view_);
        if (mapping_ != nullptr) CloseHandle(mapping_);
    }
    PeerSection(const PeerSection&) = delete;
    PeerSection& operator=(const PeerSection&) = delete;

    // 0 when created; 2 when another copy of the peer owns the name already; 4 on failure.
    int Create(const char* name) {
        mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(Record), name);
        if (mapping_ == nullptr) return 4;
        if (GetLastError() == ERROR_ALREADY_EXISTS) return 2;
        view_ = MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Record));
        return view_ == nullptr ? 4 : 0;
    }
    Record* Get() const { return static_cast<Record*>(view_); }

  private:
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
};

inline bool ReadWholeFile(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}
