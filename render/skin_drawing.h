// The drawing side of a skin load: the nine images, the frame geometry they give, the back
// buffer and the reset of the per-kind drawing state. LoadSkin (skin_loader_win.h) runs these in
// its order around the window placement and the "Skin.bin" read.
#pragma once

#include <string>

#include "render/gauge_display.h"
#include "skin/skin_file.h"

// Loads one skin image (".png", else ".bmp") from a skin folder; absent when neither loads.
using SkinImageLoader = gfx::Image (*)(const std::string& skinFolderPath, const char* fileName);

// Releases the previous skin's graphics, back buffer and images, then loads the nine images in
// slot order: Arrow, Needle, Hour, Minute, Second, GaugeV, GaugeH, Needle2, Background.
void ReloadSkinImages(GaugeDisplay& display, const std::string& skinFolderPath,
                      SkinImageLoader load);

// Base, frame and window sizes from the loaded Arrow and Background images and the heading
// rose's record as it stands.
SkinGeometry SkinGeometryOf(const GaugeDisplay& display, const SkinRecord& skin, bool stretch);

// A new back buffer of the frame size (32 bpp ARGB) and its anti-aliased graphics.
void CreateBackBuffer(GaugeDisplay& display, PixelSize frame);

// The end of a load: fonts dropped and values reset for the new record, the window remembered,
// and the next frame's end repaints the whole window.
void FinishSkinLoad(GaugeDisplay& display, const SkinRecord& skin, WindowHandle window);
