// Loading one image of a skin folder (Windows only, GDI+ flat interface).
#pragma once

#include <string>

namespace Gdiplus {
class GpImage;
}

// Loads fileName (e.g. "Arrow.png") from the skin folder without embedded colour management;
// when that fails, the file of the same name with the extension ".bmp". Returns an image the
// caller owns (release it with GdipDisposeImage) or nullptr. GDI+ must be started.
Gdiplus::GpImage* LoadSkinImage(const std::string& skinFolderPath, const char* fileName);
