// Skin images from real files: ".png" first, then the ".bmp" of the same name; and a whole skin
// load onto a layered window.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <cstring>
#include <memory>
#include <string>

#include "render/display_hooks_win.h"
#include "render/skin_loader_win.h"
#include "skin/skin_caps.h"
#include "skin/skin_folder_win.h"

namespace {

// GDI+ encoders of the two formats.
const CLSID kPngEncoder = {
    0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
const CLSID kBmpEncoder = {
    0x557cf400, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

class SkinImages : public ::testing::Test {
  protected:
    void SetUp() override {
        display = std::make_unique<GaugeDisplay>(DefaultSkinRecord(), WindowsDisplayHooks());
        folderName = "render_skin_" + std::to_string(GetCurrentProcessId());
        folder = SkinFolderPath(folderName.c_str());
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override {
        display.reset();
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(folder.c_str());
    }

    // Writes a width × height image of one colour in the encoder's format.
    void WriteImage(const char* name, int width, int height, gfx::Argb color,
                    const CLSID& encoder) {
        gfx::Bitmap bitmap(width, height);
        {
            gfx::Graphics g = gfx::Graphics::FromImage(bitmap);
            g.Clear(color);
        }
        std::u16string path = gfx::AnsiToUtf16((folder + "\\" + name).c_str());
        ASSERT_EQ(Gdiplus::DllExports::GdipSaveImageToFile(
                      static_cast<Gdiplus::GpImage*>(bitmap.Handle()),
                      reinterpret_cast<const WCHAR*>(path.c_str()), &encoder, nullptr),
                  Gdiplus::Ok);
    }
    void WriteBytes(const char* name, const void* data, DWORD size) {
        HANDLE file = CreateFileA((folder + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, data, size, &written, nullptr);
        CloseHandle(file);
    }

    std::unique_ptr<GaugeDisplay> display;
    std::string folderName;
    std::string folder;
};

TEST_F(SkinImages, PngFirstThenBmpOfTheSameName) {
    WriteImage("Arrow.bmp", 12, 34, 0xFF00FF00, kBmpEncoder);
    WriteImage("Hour.png", 30, 31, 0xFFFF0000, kPngEncoder);
    WriteImage("Hour.bmp", 5, 5, 0xFF0000FF, kBmpEncoder);
    const char garbage[] = "this is not an image at all";
    WriteBytes("Needle.png", garbage, sizeof garbage);
    WriteImage("Needle.bmp", 7, 9, 0xFF0000FF, kBmpEncoder);

    gfx::Image arrow = LoadSkinImageObject(folder, "Arrow.png");
    ASSERT_TRUE(arrow.Valid());
    EXPECT_EQ(arrow.Width(), 12u);
    EXPECT_EQ(arrow.Height(), 34u);
    gfx::Image hour = LoadSkinImageObject(folder, "Hour.png");
    EXPECT_EQ(hour.Width(), 30u); // the ".png" wins
    gfx::Image needle = LoadSkinImageObject(folder, "Needle.png");
    EXPECT_EQ(needle.Width(), 7u); // an unreadable ".png" falls back too
    EXPECT_FALSE(LoadSkinImageObject(folder, "Second.png").Valid());
}

TEST_F(SkinImages, LoadSkinSizesTheFrameAndShowsTheLayeredWindow) {
    WriteImage("Background.png", 64, 48, 0xFF102030, kPngEncoder);
    WriteImage("Arrow.png", 80, 20, 0xFFFFFFFF, kPngEncoder);
    SkinRecord stored = DefaultSkinRecord();
    stored.opacity = 200;
    KindRecord(stored, kKindCourse).paramA = 33;
    WriteBytes("Skin.bin", &stored, sizeof stored);

    HWND window = CreateWindowExA(WS_EX_LAYERED | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0,
                                  10, 10, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(window != nullptr);
    auto app = std::make_unique<AppState>();
    std::strcpy(app->skinFolder, folderName.c_str());
    app->mainWindow = window;
    app->windowRect = RectI32{40, 50, 0, 0};
    LoadSkin(*app, *display);

    EXPECT_EQ(app->frameWidth, 64);
    EXPECT_EQ(app->frameHeight, 48);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 80); // the wider Arrow
    EXPECT_EQ(r.bottom - r.top, 48);
    EXPECT_TRUE(IsWindowVisible(window));
    COLORREF key = 1;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, &key, &alpha, &flags));
    EXPECT_EQ(key, RGB(0, 0, 0));
    EXPECT_EQ(alpha, 200);
    EXPECT_EQ(flags, DWORD(LWA_COLORKEY | LWA_ALPHA));

    EXPECT_EQ(KindRecord(app->skin, kKindCourse).paramA, 33); // "Skin.bin" was read
    EXPECT_EQ(display->frameBitmap.Width(), 64u);
    EXPECT_TRUE(display->graphics.Valid());
    EXPECT_TRUE(display->images[kImageArrow].Valid());
    EXPECT_FALSE(display->images[kImageNeedle].Valid());
    EXPECT_TRUE(display->fullRepaint);
    EXPECT_EQ(display->window, window);
    DestroyWindow(window);
}

TEST_F(SkinImages, LoadingAHostileSkinAppliesTheCaps) {
    // "Skin.bin" asks for a tape, bars and a dial far beyond any screen; the registry's record
    // (the live one when the load begins) puts the rose where the frame would be 131170 wide.
    SkinRecord stored = DefaultSkinRecord();
    KindRecord(stored, kKindHorizVantrel).paramA = 65535;
    KindRecord(stored, kKindSignal).paramB = 65535;
    KindRecord(stored, kKindSpeedometer).paramB = 65535;
    KindRecord(stored, kKindCourse).paramA = 33;
    stored.gauges[60].paramB = 65535; // spare records are nobody's business
    WriteBytes("Skin.bin", &stored, sizeof stored);

    auto app = std::make_unique<AppState>();
    std::strcpy(app->skinFolder, folderName.c_str());
    KindRecord(app->skin, kKindVantrel).x = 65535;
    KindRecord(app->skin, kKindVantrel).y = 65535;
    LoadSkin(*app, *display);

    EXPECT_EQ(app->frameWidth, MaxFrameSide());
    EXPECT_EQ(app->frameHeight, MaxFrameSide());
    EXPECT_EQ(display->frameBitmap.Width(), uint32_t(MaxFrameSide()));
    EXPECT_EQ(KindRecord(app->skin, kKindHorizVantrel).paramA, 1440);
    EXPECT_EQ(KindRecord(app->skin, kKindSignal).paramB, 1024);
    EXPECT_EQ(KindRecord(app->skin, kKindSpeedometer).paramB, 4096);
    EXPECT_EQ(KindRecord(app->skin, kKindCourse).paramA, 33);
    EXPECT_EQ(app->skin.gauges[60].paramB, 65535);
}

} // namespace
