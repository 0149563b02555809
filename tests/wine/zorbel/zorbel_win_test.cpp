// The Win32 glue on its own: the window walk and the shape region.
#include "balls/ball_shape.h"
#include "balls/desktop_win.h"
#include "balls/frames_win.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

HWND MakeWindow(const RECT& r, bool visible) {
    return CreateWindowExA(0, "STATIC", "walk", WS_POPUP | (visible ? WS_VISIBLE : 0), r.left,
                           r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

bool Contains(const std::vector<ScreenRect>& rects, const RECT& r) {
    return std::any_of(rects.begin(), rects.end(), [&](const ScreenRect& s) {
        return s.left == r.left && s.top == r.top && s.right == r.right && s.bottom == r.bottom;
    });
}

TEST(WindowWalk, VisibleWindowsOfOtherThreadsBelowTheTopmostOne) {
    const RECT lower{100, 300, 400, 377};
    const RECT upper{500, 300, 811, 388};
    const RECT hidden{200, 600, 300, 700};
    HWND lowerWindow = MakeWindow(lower, true);
    HWND upperWindow = MakeWindow(upper, true);
    HWND hiddenWindow = MakeWindow(hidden, false);
    // Put a third visible window on top: the walk leaves out whatever is topmost.
    const RECT top{10, 10, 20, 20};
    HWND topWindow = MakeWindow(top, true);
    SetWindowPos(topWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(GetTopWindow(nullptr), topWindow);

    // As seen from another program (thread id 1 owns nothing here).
    const auto seen = VisibleWindowsBelowTop(1);
    EXPECT_TRUE(Contains(seen, lower));
    EXPECT_TRUE(Contains(seen, upper));
    EXPECT_FALSE(Contains(seen, hidden));
    EXPECT_FALSE(Contains(seen, top));
    // Z-order: the window created later is above the earlier one.
    const auto upperAt = std::find_if(seen.begin(), seen.end(),
                                      [&](const ScreenRect& s) { return s.left == upper.left; });
    const auto lowerAt = std::find_if(seen.begin(), seen.end(),
                                      [&](const ScreenRect& s) { return s.left == lower.left; });
    EXPECT_LT(upperAt, lowerAt);

    // The program's own windows are never obstacles.
    const auto own = VisibleWindowsBelowTop(GetCurrentThreadId());
    EXPECT_FALSE(Contains(own, lower));
    EXPECT_FALSE(Contains(own, upper));

    for (HWND w : {lowerWindow, upperWindow, hiddenWindow, topWindow})
        DestroyWindow(w);
}

TEST(ShapeRegion, ABitmapsRunsBecomeTheWindowRegion) {
    // A 9 × 4 picture on a key colour, drawn into a bitmap and read back.
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 9, 4);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x)
            SetPixel(dc, x, y, RGB(1, 239, 7));
    for (int x = 2; x <= 5; ++x)
        SetPixel(dc, x, 1, RGB(200, 20, 20)); // a run inside: columns 2..4 kept
    for (int x = 6; x <= 8; ++x)
        SetPixel(dc, x, 2, RGB(240, 240, 240)); // a run to the edge: all kept
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);

    const auto pixels = BitmapPixels(bitmap, 9, 4);
    ASSERT_EQ(pixels.size(), 36u);
    EXPECT_EQ(pixels[0], 0x01EF07u);
    HRGN region = ShapeRegion(ShapeRuns(pixels, 9, 4));
    DeleteObject(bitmap);
    ASSERT_NE(region, nullptr);
    EXPECT_TRUE(PtInRegion(region, 2, 1));
    EXPECT_TRUE(PtInRegion(region, 4, 1));
    EXPECT_FALSE(PtInRegion(region, 5, 1));
    EXPECT_TRUE(PtInRegion(region, 6, 2));
    EXPECT_TRUE(PtInRegion(region, 8, 2));
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 3, 3));
    DeleteObject(region);
}

} // namespace
