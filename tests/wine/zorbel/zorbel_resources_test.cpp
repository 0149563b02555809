// The resources built into Zorbel.exe: the nine rendered frames, the icon, the menu and the two
// dialogs.
#include "rig/rig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ZorbelResources : public ::testing::Test {
  protected:
    void SetUp() override {
        module = LoadLibraryExA((rig::DistDir() + "\\Zorbel.exe").c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    HMODULE module = nullptr;
};

struct Frame {
    int width = 0;
    int height = 0;
    int bits = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, rows from the top
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// A frame bitmap as stored, read through a DIB section so nothing depends on the screen.
Frame LoadFrame(HMODULE module, int id) {
    Frame frame;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) return frame;
    DIBSECTION section{};
    GetObjectA(bitmap, sizeof section, &section);
    frame.width = section.dsBm.bmWidth;
    frame.height = section.dsBm.bmHeight;
    frame.bits = section.dsBm.bmBitsPixel;
    frame.pixels.resize(size_t(frame.width) * size_t(frame.height));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = frame.width;
    info.bmiHeader.biHeight = -frame.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, UINT(frame.height), frame.pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    for (uint32_t& pixel : frame.pixels)
        pixel &= 0xFFFFFF;
    DeleteObject(bitmap);
    return frame;
}

int Red(uint32_t c) {
    return int((c >> 16) & 0xFF);
}
int Green(uint32_t c) {
    return int((c >> 8) & 0xFF);
}
int Blue(uint32_t c) {
    return int(c & 0xFF);
}

TEST_F(ZorbelResources, NineShadedCheckeredFramesOfASpinningBall) {
    std::vector<Frame> frames;
    for (int id = 103; id <= 111; ++id) {
        frames.push_back(LoadFrame(module, id));
        const Frame& frame = frames.back();
        ASSERT_EQ(frame.width, 53) << "bitmap " << id;
        ASSERT_EQ(frame.height, 52) << "bitmap " << id;
        EXPECT_EQ(frame.bits, 24) << "bitmap " << id;
        // Frame 0's background is the key green, the others' white.
        const uint32_t background = id == 103 ? 0x01EF07u : 0xFFFFFFu;
        for (auto [x, y] : {std::pair{0, 0}, {52, 0}, {0, 51}, {52, 51}})
            EXPECT_EQ(frame.At(x, y), background) << "bitmap " << id << " at " << x << "," << y;

        // The ball: red and white squares, shaded (many different tones).
        int red = 0, light = 0, key = 0;
        std::vector<uint32_t> tones;
        for (int y = 0; y < 52; ++y) {
            for (int x = 0; x < 53; ++x) {
                const uint32_t c = frame.At(x, y);
                const int dx = x - 26, dy = y - 25;
                if (dx * dx + dy * dy > 22 * 22) continue;
                key += c == 0x01EF07u;
                red += Red(c) > 2 * Green(c) + 30 && Red(c) > 2 * Blue(c) + 30;
                light += Red(c) > 150 && Green(c) > 150 && Blue(c) > 150;
                tones.push_back(c);
            }
        }
        std::sort(tones.begin(), tones.end());
        const size_t distinct = size_t(std::unique(tones.begin(), tones.end()) - tones.begin());
        EXPECT_EQ(key, 0) << "bitmap " << id;
        EXPECT_GT(red, 300) << "bitmap " << id;
        EXPECT_GT(light, 300) << "bitmap " << id;
        EXPECT_GT(distinct, 200u) << "bitmap " << id << " looks flat";
    }
    // It turns: every frame differs from the next, and the ball's outline does not move.
    for (size_t i = 0; i + 1 < frames.size(); ++i) {
        int changed = 0;
        for (int y = 10; y < 42; ++y)
            for (int x = 10; x < 43; ++x)
                changed += frames[i].At(x, y) != frames[i + 1].At(x, y);
        EXPECT_GT(changed, 100) << "frames " << i << " and " << i + 1;
    }
    for (int y = 0; y < 52; ++y) {
        for (int x = 0; x < 53; ++x) {
            const bool onBall0 = frames[0].At(x, y) != 0x01EF07u;
            const bool onBall5 = frames[5].At(x, y) != 0xFFFFFFu;
            EXPECT_EQ(onBall0, onBall5) << x << "," << y;
        }
    }
}

TEST_F(ZorbelResources, IconMenuAndDialogs) {
    HICON icon =
        static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(113), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(5)), nullptr);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(102), MAKEINTRESOURCEA(5)), nullptr);

    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(114));
    ASSERT_NE(menu, nullptr);
    char text[64] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Zorbel");
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 6);
    const struct {
        UINT id;
        const char* text;
    } expected[] = {{40001, "Add 1"},     {40002, "Delete 1"}, {0, nullptr},
                    {40003, "Collision"}, {0, nullptr},        {2, "Exit"}};
    for (int i = 0; i < 6; ++i) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID;
        ASSERT_TRUE(GetMenuItemInfoA(popup, UINT(i), TRUE, &item));
        if (!expected[i].text) {
            EXPECT_TRUE(item.fType & MFT_SEPARATOR) << "item " << i;
            continue;
        }
        EXPECT_EQ(item.wID, expected[i].id) << "item " << i;
        GetMenuStringA(popup, UINT(i), text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, expected[i].text);
    }
    DestroyMenu(menu);
}

} // namespace
