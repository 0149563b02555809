// One skin image from its ".png" file or, failing that, from the ".bmp" file of the same name.
#include "skin/skin_image_win.h"

#include <windows.h>
// WIN32_LEAN_AND_MEAN leaves out the COM declarations GDI+ needs.
#include <objidl.h>
#include <gdiplus.h>

#include "skin/skin_file.h"

namespace {

Gdiplus::GpImage* LoadImageFile(const std::string& path) {
    const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 0) return nullptr;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], n);
    Gdiplus::GpImage* image = nullptr;
    const Gdiplus::GpStatus status =
        Gdiplus::DllExports::GdipLoadImageFromFile(wide.c_str(), &image);
    if (status == Gdiplus::Ok && image != nullptr) return image;
    if (image != nullptr) Gdiplus::DllExports::GdipDisposeImage(image);
    return nullptr;
}

} // namespace

Gdiplus::GpImage* LoadSkinImage(const std::string& skinFolderPath, const char* fileName) {
    const std::string path = JoinSkinPath(skinFolderPath, fileName ? fileName : "");
    if (Gdiplus::GpImage* image = LoadImageFile(path)) return image;
    return LoadImageFile(BmpFallbackPath(path));
}

std::optional<PixelSize> SkinImageSize(Gdiplus::GpImage* image) {
    if (image == nullptr) return std::nullopt;
    UINT width = 0;
    UINT height = 0;
    if (Gdiplus::DllExports::GdipGetImageWidth(image, &width) != Gdiplus::Ok ||
        Gdiplus::DllExports::GdipGetImageHeight(image, &height) != Gdiplus::Ok) {
        return std::nullopt;
    }
    return PixelSize{static_cast<int32_t>(width), static_cast<int32_t>(height)};
}
