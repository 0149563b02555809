// Proof that the Wine test rig works: GDI+ draws (fonts included), shared memory crosses
// processes, and a window found by its title answers a sent message.
#include "rig/rig.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class GdiplusSession {
  public:
    GdiplusSession() {
        Gdiplus::GdiplusStartupInput input;
        status_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr);
    }
    ~GdiplusSession() {
        if (status_ == Gdiplus::Ok) Gdiplus::GdiplusShutdown(token_);
    }
    bool Ok() const { return status_ == Gdiplus::Ok; }

  private:
    ULONG_PTR token_ = 0;
    Gdiplus::Status status_ = Gdiplus::GenericError;
};

uint32_t PixelAt(Gdiplus::Bitmap& bitmap, int x, int y) {
    Gdiplus::Color color;
    bitmap.GetPixel(x, y, &color);
    return color.GetValue();
}

bool IsWhite(uint32_t argb) {
    return (argb & 0xFFFFFF) == 0xFFFFFF;
}

// A pixel of the arc's edge: reddish but blended with the white background.
bool IsBlendedRed(uint32_t argb) {
    const int r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    return r > 200 && g > 20 && g < 235 && g == b;
}

} // namespace

TEST(GdiplusUnderWine, AntialiasedArcAndTextLandWhereDrawn) {
    GdiplusSession gdiplus;
    ASSERT_TRUE(gdiplus.Ok());
    Gdiplus::Bitmap bitmap(200, 120, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&bitmap);
        graphics.Clear(Gdiplus::Color(255, 255, 255, 255));
        ASSERT_EQ(graphics.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias), Gdiplus::Ok);
        EXPECT_EQ(graphics.GetSmoothingMode(), Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::Pen red(Gdiplus::Color(255, 255, 0, 0), 6.0f);
        // Upper half of a circle of radius 40 around (60, 60), from nine to three o'clock.
        ASSERT_EQ(graphics.DrawArc(&red, 20.0f, 20.0f, 80.0f, 80.0f, 180.0f, 180.0f), Gdiplus::Ok);

        Gdiplus::FontFamily family(L"Arial");
        ASSERT_EQ(family.GetLastStatus(), Gdiplus::Ok)
            << "no font family: font replacements missing";
        Gdiplus::Font font(&family, 28.0f, Gdiplus::FontStyleBold, Gdiplus::UnitPixel);
        Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
        ASSERT_EQ(graphics.DrawString(L"WINE", -1, &font, Gdiplus::PointF(110.0f, 80.0f), &black),
                  Gdiplus::Ok);
    }

    // The top of the arc is solid red; its centre and the far corner stay white.
    EXPECT_EQ(PixelAt(bitmap, 60, 20) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(PixelAt(bitmap, 22, 47) & 0xFFFFFF, 0xFF0000u); // at 200 degrees
    EXPECT_TRUE(IsWhite(PixelAt(bitmap, 60, 60)));
    EXPECT_TRUE(IsWhite(PixelAt(bitmap, 60, 100))) << "the lower half is not drawn";

    // Anti-aliasing leaves blended pixels along the curve's edges. Wine 8's GDI+ accepts the
    // smoothing mode but rasterises lines and fills without it, so there only the geometry counts.
    int blended = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 110; ++x)
            blended += IsBlendedRed(PixelAt(bitmap, x, y));
    if (rig::UnderWine())
        EXPECT_EQ(blended, 0) << "Wine anti-aliases now: tighten this test";
    else
        EXPECT_GT(blended, 20);

    // The text inks its box and nothing left of it.
    int dark = 0;
    for (int y = 80; y < 120; ++y)
        for (int x = 110; x < 200; ++x)
            dark += (PixelAt(bitmap, x, y) & 0xFFFFFF) < 0x404040;
    EXPECT_GT(dark, 100);
    for (int y = 80; y < 120; ++y)
        EXPECT_TRUE(IsWhite(PixelAt(bitmap, 105, y)));
}

TEST(PeerProcess, SharedMemoryAndMessagesCrossProcesses) {
    rig::Process peer;
    ASSERT_TRUE(peer.Start(rig::TestBinDir() + "\\rig_peer.exe", "RigProofMapping RigProofWindow"));
    HWND window = rig::WaitForWindow("RigProofWindow", 15000, peer.Id());
    ASSERT_NE(window, nullptr);

    const std::vector<uint8_t> bytes = rig::ReadSharedMemory("RigProofMapping", 64);
    ASSERT_EQ(bytes.size(), 64u);
    for (size_t i = 0; i < bytes.size(); ++i)
        EXPECT_EQ(bytes[i], uint8_t(i * 3 + 1)) << "byte " << i;

    EXPECT_EQ(SendMessageA(window, WM_USER + 5, 20, 2), 42);
    EXPECT_TRUE(rig::ReadSharedMemory("NoSuchMapping", 64).empty());

    peer.Stop();
    EXPECT_FALSE(peer.Running());
    EXPECT_EQ(rig::WaitForWindow("RigProofWindow", 200), nullptr);
}

TEST(PeerProcess, StopWithoutGraceTerminates) {
    rig::Process peer;
    ASSERT_TRUE(peer.Start(rig::TestBinDir() + "\\rig_peer.exe", "RigStopMapping RigStopWindow"));
    ASSERT_NE(rig::WaitForWindow("RigStopWindow", 15000, peer.Id()), nullptr);
    const DWORD pid = peer.Id();
    peer.Stop(0); // no grace: forced
    EXPECT_FALSE(peer.Running());
    HANDLE gone = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (gone) {
        EXPECT_EQ(WaitForSingleObject(gone, 0), WAIT_OBJECT_0);
        CloseHandle(gone);
    }
}

TEST(Registry, ValuesRoundTripAndTreesDelete) {
    const std::string key = "Software\\VantrelRigTest\\Inner";
    const DWORD number = 0x01020304;
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_CURRENT_USER, key, "Number", REG_DWORD, &number, 4));
    const rig::RegistryValue value = rig::ReadRegistryValue(HKEY_CURRENT_USER, key, "Number");
    ASSERT_TRUE(value.found);
    EXPECT_EQ(value.type, DWORD(REG_DWORD));
    EXPECT_EQ(value.data, (std::vector<uint8_t>{4, 3, 2, 1}));
    EXPECT_EQ(rig::RegistryValueNames(HKEY_CURRENT_USER, key), std::vector<std::string>{"Number"});
    EXPECT_TRUE(rig::DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\VantrelRigTest"));
    EXPECT_FALSE(rig::ReadRegistryValue(HKEY_CURRENT_USER, key, "Number").found);
}

TEST(ProgramFolder, IsAPrivateCopyRemovedAfterwards) {
    std::string path;
    {
        rig::ProgramFolder source(rig::TestBinDir());
        path = source.Path();
        EXPECT_TRUE(rig::FileExists(source.File("rig_peer.exe")));
        ASSERT_TRUE(rig::WriteFileBytes(source.File("scratch.bin"), {1, 2, 3}));
        EXPECT_EQ(rig::ReadFileBytes(source.File("scratch.bin")), (std::vector<uint8_t>{1, 2, 3}));
    }
    EXPECT_FALSE(rig::FileExists(path));
}
