// Loading the images of a skin folder (Windows only, GDI+ flat interface).
#pragma once

#include <optional>
#include <string>

#include "skin/skin_file.h"

namespace Gdiplus {
class GpImage;
}

// Loads fileName (e.g. "Arrow.png") from the skin folder without embedded colour management;
// when that fails, the file of the same name with the extension ".bmp". Returns an image the
// caller owns (release it with GdipDisposeImage) or nullptr. GDI+ must be started.
Gdiplus::GpImage* LoadSkinImage(const std::string& skinFolderPath, const char* fileName);

// An image's size in pixels; nothing for nullptr or when GDI+ cannot tell. Feeds
// ComputeSkinGeometry with the Arrow and Background slots.
std::optional<PixelSize> SkinImageSize(Gdiplus::GpImage* image);
