#include "sources/playback_win.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <new>

#include "state/gps_snapshot.h"

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

// The buffer and the record offsets are 32-bit quantities in the message and progress values.
constexpr LONGLONG kLargestLog = 0x7FFFFFFF;

} // namespace

LogFile ReadLogFile(const char* path) {
    LogFile log;
    if (path == nullptr) return log;
    HANDLE raw = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (raw == INVALID_HANDLE_VALUE) return log;
    FileHandle file(raw);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(raw, &size) || size.QuadPart < 0 || size.QuadPart > kLargestLog) return log;
    log.opened = true;
    log.size = static_cast<uint32_t>(size.QuadPart);
    try {
        log.bytes.resize(log.size);
    } catch (const std::bad_alloc&) {
        // Too large to hold now: the file is known but does not play.
        log.bytes.clear();
        return log;
    }
    DWORD read = 0;
    if (!ReadFile(raw, log.bytes.data(), log.size, &read, nullptr)) read = 0;
    log.bytes.resize(read);
    return log;
}

void SendToGpsServer(const ServerMessage& message) {
    HWND server = FindWindowA(nullptr, kGpsServerWindowTitle);
    if (server == nullptr) return;
    COPYDATASTRUCT data;
    data.dwData = message.dwData;
    data.cbData = message.size;
    data.lpData = const_cast<uint8_t*>(message.data);
    SendMessageA(server, WM_COPYDATA, message.wParam, reinterpret_cast<LPARAM>(&data));
}
