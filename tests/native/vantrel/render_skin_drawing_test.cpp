// The drawing side of a skin load on the recording backend: images in slot order, frame
// geometry, the back buffer and the reset of the per-kind state.
#include <gtest/gtest.h>

#include <cstring>

#include "render/primitives.h"
#include "render/skin_drawing.h"
#include "vantrel/render_fixture.h"

namespace {

// Loads "<folder>\<name>" through the recording, falling back to the ".bmp" of the same name.
gfx::Image RecordedLoader(const std::string& folder, const char* fileName) {
    std::string path = JoinSkinPath(folder, fileName);
    gfx::Image image = gfx::Image::FromFile(gfx::AnsiToUtf16(path.c_str()));
    if (image.Valid()) return image;
    return gfx::Image::FromFile(gfx::AnsiToUtf16(BmpFallbackPath(path).c_str()));
}

class SkinDrawing : public RenderFixture {};

TEST_F(SkinDrawing, ImagesLoadInSlotOrderAndReplaceThePreviousSkin) {
    rec::AddImageFile("C:\\Cl\\Arrow.bmp", 40, 60);
    rec::AddImageFile("C:\\Cl\\Background.png", 320, 240);
    rec::AddImageFile("C:\\Cl\\Hour.png", 8, 50);
    ReloadSkinImages(*display, "C:\\Cl", RecordedLoader);
    // The previous back buffer and graphics are gone.
    EXPECT_FALSE(display->graphics.Valid());
    EXPECT_FALSE(display->frameBitmap.Valid());
    std::vector<std::string> tried;
    for (const auto& call : Recorded().Of("LoadImage"))
        tried.push_back(rec::Narrow(call.text));
    ASSERT_EQ(tried.size(), 2u * 9 - 2); // Arrow and Background found first or second time
    EXPECT_EQ(tried[0], "C:\\Cl\\Arrow.png");
    EXPECT_EQ(tried[1], "C:\\Cl\\Arrow.bmp");
    EXPECT_EQ(tried[2], "C:\\Cl\\Needle.png");
    EXPECT_EQ(tried.back(), "C:\\Cl\\Background.png");
    EXPECT_EQ(rec::ImagePath(display->images[kImageArrow]), "C:\\Cl\\Arrow.bmp");
    EXPECT_EQ(rec::ImagePath(display->images[kImageHour]), "C:\\Cl\\Hour.png");
    EXPECT_FALSE(display->images[kImageNeedle].Valid());

    SkinGeometry g = SkinGeometryOf(*display, app->skin, false);
    EXPECT_EQ(g.base.width, 40);
    EXPECT_EQ(g.frame.width, 320);
    EXPECT_EQ(g.frame.height, 240);
}

TEST_F(SkinDrawing, WithoutImagesTheFrameComesFromTheHeadingRose) {
    ReloadSkinImages(*display, "C:\\Empty", RecordedLoader);
    SkinGeometry g = SkinGeometryOf(*display, app->skin, true);
    EXPECT_EQ(g.frame.width, 102);
    EXPECT_EQ(g.frame.height, 102);
    EXPECT_EQ(g.window.height, 102 + 20);
}

TEST_F(SkinDrawing, BackBufferIsAnAntiAliasedBitmapOfTheFrameSize) {
    rec::Current().calls.clear();
    CreateBackBuffer(*display, PixelSize{200, 150});
    auto calls = Recorded().calls;
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].op, "CreateBitmap");
    EXPECT_EQ(calls[0].args, (std::vector<float>{200, 150}));
    EXPECT_EQ(calls[1].op, "GraphicsFromImage");
    EXPECT_EQ(calls[1].image, calls[0].image);
    EXPECT_EQ(calls[2].op, "SetSmoothingMode");
    EXPECT_EQ(calls[2].args[0], float(gfx::SmoothingMode::AntiAlias));
}

TEST_F(SkinDrawing, FinishingALoadResetsFontsValuesAndAsksForAFullRepaint) {
    DrawGaugeText(*display, app->skin, kKindCourse, "1.0");
    ASSERT_TRUE(display->textFonts[kKindCourse].has_value());
    display->values.value[kKindCourse] = 5;
    display->values.lastValue[kKindCourse] = 5;
    Record(kKindSpeedometer).paramB = 77;
    FinishSkinLoad(*display, app->skin, reinterpret_cast<WindowHandle>(0x99));
    EXPECT_FALSE(display->textFonts[kKindCourse].has_value());
    EXPECT_EQ(display->values.value[kKindCourse], 0);
    EXPECT_FLOAT_EQ(display->values.lastValue[kKindCourse], 20000.9f);
    EXPECT_EQ(display->values.needleValue[kKindSpeedometer], 77);
    EXPECT_TRUE(display->fullRepaint);
    EXPECT_EQ(display->window, reinterpret_cast<WindowHandle>(0x99));
}

TEST_F(SkinDrawing, WrapperObjectsMoveWithoutDoubleRelease) {
    int before = rec::LiveObjects();
    {
        gfx::SolidBrush a(0xFF010203);
        gfx::SolidBrush b(std::move(a));
        EXPECT_FALSE(a.Valid());
        EXPECT_TRUE(b.Valid());
        gfx::SolidBrush c(0xFF000000);
        c = std::move(b);
        EXPECT_EQ(rec::LiveObjects(), before + 1);
        gfx::Bitmap bitmap(4, 4);
        gfx::Image& asImage = bitmap;
        EXPECT_EQ(asImage.Width(), 4u);
        gfx::Bitmap other;
        other = std::move(bitmap);
        EXPECT_TRUE(other.Valid());
        EXPECT_EQ(rec::LiveObjects(), before + 2);
    }
    EXPECT_EQ(rec::LiveObjects(), before);
    gfx::Image missing = gfx::Image::FromFile(u"nope.png");
    EXPECT_FALSE(missing.Valid());
    EXPECT_EQ(missing.LastStatus(), gfx::Status::FileNotFound);
    EXPECT_EQ(missing.Width(), 0u);
}

} // namespace
