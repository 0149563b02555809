#include "render/skin_drawing.h"

#include <optional>

namespace {

std::optional<PixelSize> SizeOf(const gfx::Image& image) {
    if (!image.Valid()) return std::nullopt;
    return PixelSize{int32_t(image.Width()), int32_t(image.Height())};
}

} // namespace

void ReloadSkinImages(GaugeDisplay& display, const std::string& skinFolderPath,
                      SkinImageLoader load) {
    ReleaseSkinDrawing(display);
    for (int slot = 0; slot < kSkinImageCount; ++slot)
        display.images[slot] = load(skinFolderPath, SkinImageFileName(slot));
}

SkinGeometry SkinGeometryOf(const GaugeDisplay& display, const SkinRecord& skin, bool stretch) {
    return ComputeSkinGeometry(SizeOf(display.images[kImageArrow]),
                               SizeOf(display.images[kImageBackground]),
                               KindRecord(skin, kKindVantrel), stretch);
}

void CreateBackBuffer(GaugeDisplay& display, PixelSize frame) {
    display.graphics = gfx::Graphics();
    display.frameBitmap = gfx::Bitmap(frame.width, frame.height);
    display.graphics = gfx::Graphics::FromImage(display.frameBitmap);
    display.graphics.SetSmoothingMode(gfx::SmoothingMode::AntiAlias);
}

void FinishSkinLoad(GaugeDisplay& display, const SkinRecord& skin, WindowHandle window) {
    ResetForSkin(display, skin);
    display.window = window;
    display.fullRepaint = true;
}
