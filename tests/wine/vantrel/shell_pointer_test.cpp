// Pointer hiding through the second tick, with the real cursor calls of this process.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "rig/rig.h"
#include "state/app_state.h"
#include "shell/main_window_win.h"

namespace {

// Moves the pointer as the mouse would and waits until the system reports it there.
bool MovePointer(int x, int y) {
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    if (SendInput(1, &move, sizeof(move)) != 1) {
        return false;
    }
    return rig::WaitUntil(
        [&] {
            POINT p{};
            return GetCursorPos(&p) && std::abs(p.x - x) <= 1 && std::abs(p.y - y) <= 1;
        },
        3000);
}

class PointerHidingTick : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = App();
        App().options = kOptionHideMouse;
        App().cursorHidden = false;
        App().stillSeconds = 0;
        App().savedArrowCursor = nullptr;
    }
    void TearDown() override {
        if (App().cursorHidden) {
            MovePointer(5, 5);
            SecondTick(nullptr); // moves: the arrow comes back
        }
        const AppState restored = saved_;
        App() = restored;
    }
    AppState saved_;
};

TEST_F(PointerHidingTick, HiddenAfterFiveStillSecondsAndBackOnMovement) {
    ASSERT_TRUE(MovePointer(300, 200));
    SecondTick(nullptr); // the first tick only notes where the pointer is
    for (int second = 1; second < 5; ++second) {
        SecondTick(nullptr);
        EXPECT_FALSE(App().cursorHidden) << "hidden after " << second << " s";
    }
    SecondTick(nullptr);
    EXPECT_TRUE(App().cursorHidden);
    EXPECT_NE(App().savedArrowCursor, nullptr) << "no copy of the arrow was kept";

    ASSERT_TRUE(MovePointer(310, 205));
    SecondTick(nullptr);
    EXPECT_FALSE(App().cursorHidden);
    EXPECT_EQ(App().savedArrowCursor, nullptr);
    EXPECT_EQ(App().stillSeconds, 0u);
}

TEST_F(PointerHidingTick, NothingHappensWithoutHideMouse) {
    App().options = 0;
    ASSERT_TRUE(MovePointer(300, 200));
    for (int second = 0; second < 8; ++second) {
        SecondTick(nullptr);
    }
    EXPECT_FALSE(App().cursorHidden);
    EXPECT_EQ(App().savedArrowCursor, nullptr);
}

} // namespace
