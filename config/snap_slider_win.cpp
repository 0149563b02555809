#include "config/snap_slider_win.h"

namespace {

constexpr char kClassName[] = "SnapSlider";
constexpr UINT_PTR kReportTimer = 0;
constexpr UINT kReportPeriodMs = 100;
constexpr int kExtraBytes = 16;
constexpr int kStateIndex = 8;

// The state pointer lives at byte 8 of the window's extra bytes. A 32-bit build keeps it in the
// LONG there (SetWindowLongPtrA is SetWindowLongA); a 64-bit pointer does not fit a LONG, so there
// it takes bytes 8 to 15, still within the 16 extra bytes.
void StoreState(HWND control, SnapSliderState* state) {
    SetWindowLongPtrA(control, kStateIndex, reinterpret_cast<LONG_PTR>(state));
}

SnapSliderState* LoadState(HWND control) {
    return reinterpret_cast<SnapSliderState*>(GetWindowLongPtrA(control, kStateIndex));
}

void Report(const SnapSliderState& state) {
    if (state.notifyMessage == 0) return;
    PostMessageA(static_cast<HWND>(state.parent), state.notifyMessage, 0,
                 static_cast<LPARAM>(ReportParam(state)));
}

void Respond(HWND control, const SnapSliderState& state, const SliderResponse& response) {
    if (response.repaint) InvalidateRect(control, nullptr, TRUE);
    if (response.report) Report(state);
    if (response.restartTimer) SetTimer(control, kReportTimer, kReportPeriodMs, nullptr);
}

void Paint(HWND control, const SnapSliderState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    RECT client;
    GetClientRect(control, &client);
    DrawEdge(dc, &client, EDGE_SUNKEN, BF_RECT);
    const RectI32 knob = KnobRect(state);
    RECT square{knob.left, knob.top, knob.right, knob.bottom};
    FillRect(dc, &square, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
    DrawEdge(dc, &square, EDGE_RAISED, BF_RECT);
    EndPaint(control, &paint);
}

// Mouse positions arrive as two unsigned 16-bit client coordinates.
int PointX(LPARAM lParam) {
    return LOWORD(lParam);
}
int PointY(LPARAM lParam) {
    return HIWORD(lParam);
}

LRESULT CALLBACK SnapSliderProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* state = static_cast<SnapSliderState*>(
            reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (state == nullptr) return -1; // a slider without state cannot work: no window
        StoreState(control, state);
        CentreKnob(*state);
        return 0;
    }
    SnapSliderState* state = LoadState(control);
    if (state == nullptr) return DefWindowProcA(control, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        Paint(control, *state);
        break;
    case WM_LBUTTONDOWN:
        Respond(control, *state, PressSlider(*state, PointX(lParam), PointY(lParam)));
        break;
    case WM_MOUSEMOVE:
        Respond(control, *state, MoveOverSlider(*state, PointX(lParam), PointY(lParam)));
        break;
    case WM_LBUTTONUP:
        Respond(control, *state, ReleaseSlider(*state));
        break;
    case WM_TIMER:
        Respond(control, *state, SliderTimerTick(*state));
        break;
    case WM_DESTROY:
        KillTimer(control, kReportTimer);
        // The owner frees the state once the control is gone; nothing here may reach it then.
        StoreState(control, nullptr);
        break;
    default:
        break;
    }
    return DefWindowProcA(control, message, wParam, lParam);
}

} // namespace

void RegisterSnapSliderClass() {
    WNDCLASSEXA type{};
    type.cbSize = sizeof type;
    type.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    type.lpfnWndProc = SnapSliderProc;
    type.cbClsExtra = 0;
    type.cbWndExtra = kExtraBytes;
    type.hInstance = GetModuleHandleA(nullptr);
    type.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    type.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    type.hbrBackground = static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH));
    type.lpszClassName = kClassName;
    RegisterClassExA(&type);
}

HWND CreateSnapSlider(HWND parent, SnapSliderState& state, int x, int y, int w, int h) {
    RegisterSnapSliderClass();
    state.parent = parent;
    state.width = w;
    state.height = h;
    HWND control = CreateWindowExA(0, kClassName, nullptr, WS_CHILD, x, y, w, h, parent, nullptr,
                                   GetModuleHandleA(nullptr), &state);
    state.window = control;
    if (control == nullptr) return nullptr;
    ShowWindow(control, SW_SHOWNORMAL);
    SetTimer(control, kReportTimer, kReportPeriodMs, nullptr);
    return control;
}

SnapSliderState* SnapSliderStateOf(HWND control) {
    return LoadState(control);
}
