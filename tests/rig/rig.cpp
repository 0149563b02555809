// The end-to-end rig's implementation (see rig.h).
#include "rig/rig.h"

#include "rig_paths.h"

#include <cstdio>
#include <cstring>

namespace rig {

std::string DistDir() {
    return RIG_DIST_DIR;
}
std::string TestBinDir() {
    return RIG_TEST_BIN_DIR;
}
std::string SourceDir() {
    return RIG_SOURCE_DIR;
}

namespace {

void CopyTree(const std::string& from, const std::string& to) {
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string source = from + "\\" + name;
        const std::string target = to + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(source, target);
        else
            CopyFileA(source.c_str(), target.c_str(), FALSE);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void DeleteTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace

// --- ProgramFolder ----------------------------------------------------------------------------

ProgramFolder::ProgramFolder() : ProgramFolder(DistDir()) {}

ProgramFolder::ProgramFolder(const std::string& source) {
    static unsigned counter = 0;
    char name[64];
    // Process ids repeat across the prefixes of parallel test lanes: the lane is in the name.
    char lane[16] = "";
    GetEnvironmentVariableA("VZ_WINE_LANE", lane, sizeof lane);
    std::snprintf(name, sizeof name, "\\run-%s%lu-%u", lane, GetCurrentProcessId(), ++counter);
    path_ = std::string(RIG_SCRATCH_DIR) + name;
    DeleteTree(path_);
    CopyTree(source, path_);
}

ProgramFolder::~ProgramFolder() {
    DeleteTree(path_);
}

// --- Process ------------------------------------------------------------------------------------

Process::~Process() {
    Stop();
}

Process::Process(Process&& other) noexcept : process_(other.process_), pid_(other.pid_) {
    other.process_ = nullptr;
    other.pid_ = 0;
}

Process& Process::operator=(Process&& other) noexcept {
    if (this != &other) {
        Stop();
        process_ = other.process_;
        pid_ = other.pid_;
        other.process_ = nullptr;
        other.pid_ = 0;
    }
    return *this;
}

bool Process::Start(const std::string& exe, const std::string& arguments,
                    const std::string& workingDir) {
    Stop();
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    std::string directory = workingDir;
    if (directory.empty()) {
        const size_t slash = exe.find_last_of("\\/");
        if (slash != std::string::npos) directory = exe.substr(0, slash);
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    if (!CreateProcessA(exe.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    return true;
}

bool Process::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(DWORD timeoutMs) {
    if (!process_) return true;
    return WaitUntil([this] { return !Running(); }, timeoutMs);
}

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

void Process::Stop(DWORD graceMs) {
    if (!process_) return;
    if (Running()) {
        for (HWND window : WindowsOfProcess(pid_))
            PostMessageA(window, WM_CLOSE, 0, 0);
        if (!WaitForExit(graceMs)) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 5000);
        }
    }
    CloseHandle(process_);
    process_ = nullptr;
    pid_ = 0;
}

// --- waiting and windows ------------------------------------------------------------------------

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

namespace {

struct WindowSearch {
    DWORD pid = 0;
    const std::string* title = nullptr;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (search->pid != 0 && owner != search->pid) return TRUE;
    if (search->title && WindowTitle(window) != *search->title) return TRUE;
    search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> FindWindows(const std::string* title, DWORD pid) {
    WindowSearch search;
    search.pid = pid;
    search.title = title;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

HWND WaitForWindow(const std::string& title, DWORD timeoutMs, DWORD pid) {
    HWND window = nullptr;
    WaitUntil(
        [&] {
            const std::vector<HWND> found = FindWindows(&title, pid);
            window = found.empty() ? nullptr : found.front();
            return window != nullptr;
        },
        timeoutMs);
    return window;
}

std::vector<HWND> WindowsOfProcess(DWORD pid) {
    return FindWindows(nullptr, pid);
}

std::string WindowClass(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string WindowTitle(HWND window) {
    char title[512] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

// --- registry -----------------------------------------------------------------------------------

RegistryValue ReadRegistryValue(HKEY root, const std::string& key, const std::string& name) {
    RegistryValue value;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(opened, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        if (RegQueryValueExA(opened, name.c_str(), nullptr, &type,
                             size ? value.data.data() : nullptr, &size) == ERROR_SUCCESS) {
            value.found = true;
            value.type = type;
            value.data.resize(size);
        }
    }
    RegCloseKey(opened);
    return value;
}

bool WriteRegistryValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                        const void* data, DWORD size) {
    HKEY opened = nullptr;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &opened, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result =
        RegSetValueExA(opened, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(opened);
    return result == ERROR_SUCCESS;
}

std::vector<std::string> RegistryValueNames(HKEY root, const std::string& key) {
    std::vector<std::string> names;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return names;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD length = sizeof name;
        if (RegEnumValueA(opened, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(opened);
    return names;
}

bool DeleteRegistryTree(HKEY root, const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ | KEY_WRITE, &opened) != ERROR_SUCCESS)
        return true;
    for (;;) {
        char child[256];
        DWORD length = sizeof child;
        if (RegEnumKeyExA(opened, 0, child, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        if (!DeleteRegistryTree(opened, child)) break;
    }
    RegCloseKey(opened);
    return RegDeleteKeyA(root, key.c_str()) == ERROR_SUCCESS;
}

// --- shared memory and files --------------------------------------------------------------------

std::vector<uint8_t> ReadSharedMemory(const std::string& name, size_t size) {
    std::vector<uint8_t> bytes;
    HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
    if (!mapping) return bytes;
    const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view) {
        MEMORY_BASIC_INFORMATION info = {};
        VirtualQuery(view, &info, sizeof info);
        const size_t available = info.RegionSize < size ? info.RegionSize : size;
        const auto* begin = static_cast<const uint8_t*>(view);
        bytes.assign(begin, begin + available);
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return bytes;
}

SharedMemory::SharedMemory(const std::string& name, size_t size) : size_(size) {
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  static_cast<DWORD>(size), name.c_str());
    if (mapping_) view_ = MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, size);
}

SharedMemory::~SharedMemory() {
    if (view_) UnmapViewOfFile(view_);
    if (mapping_) CloseHandle(mapping_);
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    const DWORD size = GetFileSize(file, nullptr);
    if (size != INVALID_FILE_SIZE) {
        bytes.resize(size);
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), size, &read, nullptr)) read = 0;
        bytes.resize(read);
    }
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

// --- pixels
// ---------------------------------------------------------------------------------------

int Pixels::CountNear(uint32_t rgb, int tolerance, int left, int top, int right, int bottom) const {
    int count = 0;
    for (int y = top < 0 ? 0 : top; y < bottom && y < height; ++y) {
        for (int x = left < 0 ? 0 : left; x < right && x < width; ++x) {
            const uint32_t pixel = At(x, y);
            bool within = true;
            for (int shift = 0; shift <= 16; shift += 8) {
                const int a = int((pixel >> shift) & 0xFF);
                const int b = int((rgb >> shift) & 0xFF);
                if (a - b > tolerance || b - a > tolerance) within = false;
            }
            if (within) ++count;
        }
    }
    return count;
}

Pixels CaptureScreen(const RECT& area) {
    Pixels pixels;
    pixels.width = area.right - area.left;
    pixels.height = area.bottom - area.top;
    if (pixels.width <= 0 || pixels.height <= 0) return Pixels{};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = pixels.width;
    info.bmiHeader.biHeight = -pixels.height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, pixels.width, pixels.height, screen, area.left, area.top, SRCCOPY);
        SelectObject(memory, previous);
        GdiFlush();
        const auto* source = static_cast<const uint32_t*>(bits);
        pixels.argb.assign(source, source + size_t(pixels.width) * size_t(pixels.height));
        for (uint32_t& pixel : pixels.argb)
            pixel |= 0xFF000000u; // the screen has no alpha
    } else {
        pixels = Pixels{};
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

Pixels CaptureWindow(HWND window) {
    RECT area = {};
    if (!GetWindowRect(window, &area)) return Pixels{};
    return CaptureScreen(area);
}

bool SaveBmp(const Pixels& pixels, const std::string& path) {
    const int rowBytes = (pixels.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = pixels.width;
    header.biHeight = pixels.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = DWORD(rowBytes) * DWORD(pixels.height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::vector<uint8_t> bytes(file.bfSize, 0);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &header, sizeof header);
    for (int y = 0; y < pixels.height; ++y) {
        uint8_t* row = bytes.data() + file.bfOffBits + size_t(pixels.height - 1 - y) * rowBytes;
        for (int x = 0; x < pixels.width; ++x) {
            const uint32_t pixel = pixels.At(x, y);
            row[x * 3 + 0] = uint8_t(pixel);
            row[x * 3 + 1] = uint8_t(pixel >> 8);
            row[x * 3 + 2] = uint8_t(pixel >> 16);
        }
    }
    return WriteFileBytes(path, bytes);
}

bool UnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

} // namespace rig
