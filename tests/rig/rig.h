// The end-to-end rig: Windows-side helpers for tests that start the real programs and check them
// from outside through the Win32 API (windows, messages, registry, files, shared memory, pixels).
//
// Every process the rig starts is stopped when its Process object goes away, politely first and
// by force after a timeout, so a failing test leaves nothing running.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rig {

// Folder of the ready programs (dist/), of the test peers, and of the repository.
std::string DistDir();
std::string TestBinDir();
std::string SourceDir();

// A private copy of the ready folder in the build's scratch area, deleted when it goes away.
// Each end-to-end scenario runs from its own copy so files one scenario writes never reach another.
class ProgramFolder {
  public:
    ProgramFolder();
    explicit ProgramFolder(const std::string& source);
    ~ProgramFolder();
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

// A started program. The destructor stops it (WM_CLOSE to its windows, then TerminateProcess).
class Process {
  public:
    Process() = default;
    ~Process();
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // Starts `exe` (a full path) with the given command-line tail; the working directory is the
    // program's folder unless one is named. Returns false when the program cannot be started.
    bool Start(const std::string& exe, const std::string& arguments = "",
               const std::string& workingDir = "");
    bool Running() const;
    DWORD Id() const { return pid_; }
    HANDLE Handle() const { return process_; }
    // Waits for the process to end by itself; returns false on timeout.
    bool WaitForExit(DWORD timeoutMs);
    DWORD ExitCode() const;
    // Asks the process's top-level windows to close, waits, then terminates it.
    void Stop(DWORD graceMs = 3000);

  private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
};

// Polls `condition` every 20 ms, pumping this thread's messages, until true or the timeout.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// The first top-level window with this exact title (of process `pid`, when not 0), waiting up to
// `timeoutMs`; nullptr when none appeared.
HWND WaitForWindow(const std::string& title, DWORD timeoutMs, DWORD pid = 0);
// All top-level windows of a process, visible or not.
std::vector<HWND> WindowsOfProcess(DWORD pid);
// The window's class name and title.
std::string WindowClass(HWND window);
std::string WindowTitle(HWND window);

// A registry value as stored: type and raw bytes. `found` is false when it does not exist.
struct RegistryValue {
    bool found = false;
    DWORD type = REG_NONE;
    std::vector<uint8_t> data;
};
RegistryValue ReadRegistryValue(HKEY root, const std::string& key, const std::string& name);
bool WriteRegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                        const void* data, DWORD size);
std::vector<std::string> RegistryValueNames(HKEY root, const std::string& key);
// Deletes a key with everything below it; true also when it did not exist.
bool DeleteRegistryTree(HKEY root, const std::string& key);

// The first `size` bytes of a named file mapping; empty when it cannot be opened.
std::vector<uint8_t> ReadSharedMemory(const std::string& name, size_t size);
// A named file mapping this process holds open (as a peer would) while the object lives.
class SharedMemory {
  public:
    SharedMemory(const std::string& name, size_t size);
    ~SharedMemory();
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;
    bool Valid() const { return view_ != nullptr; }
    uint8_t* Data() const { return static_cast<uint8_t*>(view_); }
    size_t Size() const { return size_; }

  private:
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
    size_t size_ = 0;
};

// Whole files.
bool FileExists(const std::string& path);
std::vector<uint8_t> ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Pixels as 0xAARRGGBB, row by row from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;
    uint32_t At(int x, int y) const { return argb[size_t(y) * size_t(width) + size_t(x)]; }
    // How many pixels of a rectangle are within `tolerance` per channel of `rgb` (0xRRGGBB).
    int CountNear(uint32_t rgb, int tolerance, int left, int top, int right, int bottom) const;
};
// The screen's pixels under a window's rectangle (Wine's PrintWindow gives black, so the rig
// copies from the screen: the window must be on screen and uncovered).
Pixels CaptureWindow(HWND window);
Pixels CaptureScreen(const RECT& area);
// Writes pixels as a 24-bit BMP file, for looking at a failing capture.
bool SaveBmp(const Pixels& pixels, const std::string& path);

// True when running under Wine (ntdll exports wine_get_version).
bool UnderWine();

} // namespace rig
