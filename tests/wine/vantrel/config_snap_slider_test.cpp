// The snap slider's window on a real parent: its class, the state kept in its extra bytes, and
// the reports it posts for the mouse and its timer.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "config/snap_slider_win.h"
#include "rig/rig.h"

namespace {

std::vector<LPARAM> g_reports;

LRESULT CALLBACK ReportParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kSnapSliderReportMessage) g_reports.push_back(lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

class SnapSliderWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        g_reports.clear();
        WNDCLASSA type{};
        type.lpfnWndProc = ReportParentProc;
        type.hInstance = GetModuleHandleA(nullptr);
        type.lpszClassName = "SnapSliderParent";
        RegisterClassA(&type);
        // A hidden parent: the real pointer never reaches the slider, only the test's messages.
        parent = CreateWindowExA(0, "SnapSliderParent", "", WS_POPUP, 300, 200, 120, 140, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(parent != nullptr);
        control = CreateSnapSlider(parent, state, 8, 46, 64, 64);
        ASSERT_TRUE(control != nullptr);
    }
    void TearDown() override {
        if (parent) DestroyWindow(parent); // takes the slider with it
    }

    // The first report posted after a mouse message at a client point.
    LPARAM ReportAfter(UINT message, int x, int y) {
        g_reports.clear();
        SendMessageA(control, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
        if (!rig::WaitUntil([] { return !g_reports.empty(); }, 2000)) return -1;
        return g_reports.front();
    }

    SnapSliderState state;
    HWND parent = nullptr;
    HWND control = nullptr;
};

TEST_F(SnapSliderWindow, KeepsItsStateInTheExtraBytesOfItsClass) {
    EXPECT_EQ(GetClassLongPtrA(control, GCL_STYLE),
              ULONG_PTR(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(GetClassLongPtrA(control, GCL_CBWNDEXTRA), ULONG_PTR(16));
    EXPECT_EQ(GetClassLongPtrA(control, GCLP_HBRBACKGROUND),
              reinterpret_cast<ULONG_PTR>(GetStockObject(DKGRAY_BRUSH)));
    EXPECT_EQ(SnapSliderStateOf(control), &state);
    EXPECT_EQ(state.window, control);
    EXPECT_EQ(state.parent, parent);
    EXPECT_EQ(state.knobX, 32);
    EXPECT_TRUE(GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(SnapSliderWindow, PostsTheKnobsDeflectionAndZeroAfterTheRelease) {
    EXPECT_EQ(ReportAfter(WM_LBUTTONDOWN, 0, 0), MAKELPARAM(2, 2)); // clamped to (9, 9)
    EXPECT_EQ(ReportAfter(WM_MOUSEMOVE, 64, 32), MAKELPARAM(-2, 0));
    EXPECT_EQ(ReportAfter(WM_LBUTTONUP, 64, 32), MAKELPARAM(0, 0));
    // Idle, the timer goes on reporting the centre.
    g_reports.clear();
    ASSERT_TRUE(rig::WaitUntil([] { return g_reports.size() >= 2; }, 3000));
    for (LPARAM report : g_reports)
        EXPECT_EQ(report, MAKELPARAM(0, 0));
}

} // namespace
