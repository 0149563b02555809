// A tiny peer program for the rig's own tests: it holds a named file mapping filled with a known
// pattern and shows a window that answers a message, like the GPS server and the OBD-II reader do.
//   rig_peer.exe MAPPING-NAME WINDOW-TITLE
#include <windows.h>

#include <cstring>
#include <string>

namespace {

constexpr UINT kAddMessage = WM_USER + 5; // answers wParam * 2 + lParam
constexpr DWORD kMappingSize = 64;

LRESULT CALLBACK PeerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kAddMessage:
        return LRESULT(wParam * 2 + lParam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const std::string line = commandLine;
    const size_t space = line.find(' ');
    const std::string mappingName = line.substr(0, space);
    const std::string title = space == std::string::npos ? "RigPeer" : line.substr(space + 1);

    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        kMappingSize, mappingName.c_str());
    if (!mapping) return 2;
    auto* view = static_cast<unsigned char*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!view) return 3;
    for (DWORD i = 0; i < kMappingSize; ++i)
        view[i] = static_cast<unsigned char>(i * 3 + 1);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PeerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "RigPeerWindow";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("RigPeerWindow", title.c_str(), WS_OVERLAPPED, 0, 0, 100, 50,
                                nullptr, nullptr, instance, nullptr);
    if (!window) return 4;

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    return 0;
}
