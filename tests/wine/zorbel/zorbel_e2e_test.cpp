// Zorbel end to end under the rig: the ball windows, the tray callback, the menu commands and
// balls landing on another program's window. There is no tray under Xvfb, so the tests send the
// icon's callback message to the controller as the shell would.
#include "zorbel_probe.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zorbel_probe;

namespace {

constexpr WPARAM kAddOne = 40001;
constexpr WPARAM kDeleteOne = 40002;
constexpr WPARAM kCollision = 40003;
constexpr WPARAM kExit = 2;
constexpr int kBallWidth = 53;
constexpr int kBallHeight = 52;

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// Samples the balls' rectangles every 20 ms for `ms`.
std::vector<RECT> SampleBalls(DWORD pid, DWORD ms) {
    std::vector<RECT> samples;
    rig::WaitUntil(
        [&] {
            for (HWND ball : BallWindows(pid))
                samples.push_back(WindowRect(ball));
            return false;
        },
        ms);
    return samples;
}

TEST(ZorbelE2E, ABallWindowIsALayeredShapedTopmostToolWindow) {
    RunningZorbel zorbel;
    ASSERT_TRUE(zorbel.Start());
    const auto balls = BallWindows(zorbel.process.Id());
    ASSERT_EQ(balls.size(), 1u);
    HWND ball = balls[0];

    const LONG style = GetWindowLongA(ball, GWL_STYLE);
    const LONG exStyle = GetWindowLongA(ball, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);

    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(ball, &key, &alpha, &flags));
    EXPECT_EQ(alpha, 200);
    EXPECT_EQ(flags, DWORD(LWA_ALPHA));

    const RECT rect = WindowRect(ball);
    EXPECT_EQ(rect.right - rect.left, kBallWidth);
    EXPECT_EQ(rect.bottom - rect.top, kBallHeight - 1); // one pixel shorter than the frame

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(ball, region);
    EXPECT_EQ(kind, COMPLEXREGION);
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_GT(box.right - box.left, 40);
    EXPECT_GT(box.bottom - box.top, 40);
    EXPECT_TRUE(PtInRegion(region, 26, 25)) << "the middle of the ball";
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "the green corner";
    EXPECT_FALSE(PtInRegion(region, 52, 50)) << "the opposite corner";
    DeleteObject(region);

    // The controller is hidden from the taskbar and from the mouse.
    EXPECT_TRUE(GetWindowLongA(zorbel.controller, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
}

TEST(ZorbelE2E, BallsMoveAndStayInsideTheVirtualScreen) {
    RunningZorbel zorbel;
    ASSERT_TRUE(zorbel.Start());
    // Two more balls without ending the automatic phase: clicks on the tray icon.
    PostTrayNotification(zorbel.controller, WM_LBUTTONDOWN);
    PostTrayNotification(zorbel.controller, WM_LBUTTONDOWN);
    ASSERT_TRUE(rig::WaitUntil([&] { return BallCount(zorbel.process.Id()) >= 3; }, 5000));

    const RECT screen = VirtualScreen();
    const auto samples = SampleBalls(zorbel.process.Id(), 3000);
    ASSERT_GT(samples.size(), 30u);
    std::vector<LONG> lefts, tops;
    for (const RECT& r : samples) {
        // Balls marked for removal fall out through the floor; none is marked this early.
        EXPECT_GE(r.left, screen.left);
        EXPECT_GE(r.top, screen.top);
        EXPECT_LE(r.left + kBallWidth, screen.right);
        EXPECT_LE(r.top + kBallHeight, screen.bottom);
        lefts.push_back(r.left);
        tops.push_back(r.top);
    }
    const auto [minLeft, maxLeft] = std::minmax_element(lefts.begin(), lefts.end());
    const auto [minTop, maxTop] = std::minmax_element(tops.begin(), tops.end());
    EXPECT_GT(*maxLeft - *minLeft, 50) << "the balls do not move sideways";
    EXPECT_GT(*maxTop - *minTop, 100) << "the balls do not fall";
}

TEST(ZorbelE2E, TrayLeftClickAddsABallUpToElevenAndAddOneHasNoLimit) {
    RunningZorbel zorbel;
    ASSERT_TRUE(zorbel.Start());
    const DWORD pid = zorbel.process.Id();
    // "Add 1" ends the automatic phase, so only the test changes the count from here on (the
    // command is sent, so its ball exists when it returns).
    SendCommand(zorbel.controller, kAddOne);
    const size_t taken = BallCount(pid);
    ASSERT_GE(taken, 2u);
    PostTrayNotification(zorbel.controller, WM_LBUTTONDOWN);
    ASSERT_TRUE(WaitForBallCount(pid, taken + 1, 3000));
    // Other notifications do nothing.
    PostTrayNotification(zorbel.controller, WM_LBUTTONUP);
    PostTrayNotification(zorbel.controller, WM_MOUSEMOVE);

    for (int i = 0; i < 20 && BallCount(pid) < 11; ++i)
        SendCommand(zorbel.controller, kAddOne);
    ASSERT_EQ(BallCount(pid), 11u);
    PostTrayNotification(zorbel.controller, WM_LBUTTONDOWN);
    Sleep(1000);
    EXPECT_EQ(BallCount(pid), 11u);
    SendCommand(zorbel.controller, kAddOne);
    EXPECT_EQ(BallCount(pid), 12u);
}

TEST(ZorbelE2E, DeleteOneLetsTheLastBallFallAwayButNeverTheFirst) {
    RunningZorbel zorbel;
    ASSERT_TRUE(zorbel.Start());
    const DWORD pid = zorbel.process.Id();
    HWND first = BallWindows(pid).at(0); // the only ball for the first 200 ticks
    SendCommand(zorbel.controller, kAddOne);
    SendCommand(zorbel.controller, kAddOne);
    const size_t added = BallCount(pid);
    ASSERT_GE(added, 3u);

    // One "Delete 1" per ball but the first, each removing its own ball.
    for (size_t i = 1; i < added; ++i)
        SendCommand(zorbel.controller, kDeleteOne);
    EXPECT_TRUE(WaitForBallCount(pid, 1, 15000)) << BallCount(pid) << " balls left";
    EXPECT_TRUE(IsWindow(first));
    SendCommand(zorbel.controller, kDeleteOne);
    Sleep(1500);
    EXPECT_EQ(BallCount(pid), 1u);
}

TEST(ZorbelE2E, BallsLandOnAnotherWindowUntilCollisionIsSwitchedOff) {
    RunningZorbel zorbel;
    ASSERT_TRUE(zorbel.Start());
    const DWORD pid = zorbel.process.Id();
    // Take over so that no ball is removed while the test watches.
    SendCommand(zorbel.controller, kAddOne);
    ASSERT_GE(BallCount(pid), 2u);

    // A shelf across the whole screen, well below where the balls start and above the floor.
    const RECT screen = VirtualScreen();
    const LONG shelfTop = screen.top + 500;
    Obstacle shelf({screen.left, shelfTop, screen.right, shelfTop + 120});
    ASSERT_NE(shelf.Window(), nullptr);

    // Let the balls settle, then watch them: they stay on the shelf.
    SampleBalls(pid, 4000);
    const auto onShelf = SampleBalls(pid, 2000);
    ASSERT_FALSE(onShelf.empty());
    LONG lowest = LONG_MIN;
    for (const RECT& r : onShelf)
        lowest = std::max(lowest, r.top);
    EXPECT_LT(lowest, shelfTop) << "a ball fell through the shelf";
    EXPECT_GT(lowest, shelfTop - kBallHeight - 40) << "no ball came down to the shelf";

    // Without collisions they fall through it to the floor.
    SendCommand(zorbel.controller, kCollision);
    const LONG floor = screen.bottom - kBallHeight;
    EXPECT_TRUE(rig::WaitUntil(
        [&] {
            for (HWND ball : BallWindows(pid))
                if (WindowRect(ball).top > floor - 60) return true;
            return false;
        },
        8000))
        << "no ball reached the floor with collisions off";
}

TEST(ZorbelE2E, TheTrayMenuOpensOnRightButtonUpAndItsExitEndsTheProgram) {
    RunningZorbel zorbel;
    ASSERT_TRUE(zorbel.Start());
    const DWORD pid = zorbel.process.Id();
    PostTrayNotification(zorbel.controller, WM_RBUTTONDOWN);
    Sleep(300);
    EXPECT_EQ(OpenMenu(pid), nullptr) << "the menu opens on the button's release";

    PostTrayNotification(zorbel.controller, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(rig::WaitUntil([&] { return (menu = OpenMenu(pid)) != nullptr; }, 5000));
    // Six rows: four items and two separators.
    const RECT menuRect = WindowRect(menu);
    EXPECT_GT(menuRect.bottom - menuRect.top, 4 * 12);

    // The menu's loop takes keys from its thread's queue: the last item is "Exit".
    PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(zorbel.process.WaitForExit(10000));
    EXPECT_EQ(zorbel.process.ExitCode(), 0u);
}

TEST(ZorbelE2E, TheMenusFirstItemAddsABall) {
    RunningZorbel zorbel;
    ASSERT_TRUE(zorbel.Start());
    const DWORD pid = zorbel.process.Id();
    const size_t before = BallCount(pid);
    PostTrayNotification(zorbel.controller, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(rig::WaitUntil([&] { return (menu = OpenMenu(pid)) != nullptr; }, 5000));
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(rig::WaitUntil([&] { return BallCount(pid) == before + 1; }, 5000));
    EXPECT_TRUE(rig::WaitUntil([&] { return OpenMenu(pid) == nullptr; }, 3000));
}

TEST(ZorbelE2E, ExitAndClosingEndTheProgram) {
    {
        RunningZorbel zorbel;
        ASSERT_TRUE(zorbel.Start());
        SendCommand(zorbel.controller, kExit);
        ASSERT_TRUE(zorbel.process.WaitForExit(10000));
        EXPECT_EQ(zorbel.process.ExitCode(), 0u);
    }
    {
        // A close request (as at log-off) ends it the same way.
        RunningZorbel zorbel;
        ASSERT_TRUE(zorbel.Start());
        PostMessageA(zorbel.controller, WM_CLOSE, 0, 0);
        ASSERT_TRUE(zorbel.process.WaitForExit(10000));
        EXPECT_EQ(zorbel.process.ExitCode(), 0u);
    }
}

} // namespace
