#include "render/skin_loader_win.h"

#include <windows.h>

#include "render/skin_drawing.h"
#include "skin/skin_caps.h"
#include "skin/skin_folder_win.h"
#include "skin/skin_image_win.h"

namespace {

constexpr uint32_t kOpaque = 255;

void PlaceWindow(const AppState& app, PixelSize window) {
    HWND insertAfter = HasOption(app, kOptionAlwaysOnTop) ? HWND_TOPMOST : HWND_TOP;
    UINT flags = 0;
    if (app.windowRect.left <= 0) flags |= SWP_NOMOVE;
    SetWindowPos(static_cast<HWND>(app.mainWindow), insertAfter, app.windowRect.left,
                 app.windowRect.top, window.width, window.height, flags);
}

void ShowLayered(const AppState& app) {
    HWND window = static_cast<HWND>(app.mainWindow);
    uint32_t alpha = app.skin.opacity & 0xFF;
    DWORD flags = alpha == kOpaque ? LWA_COLORKEY : (LWA_COLORKEY | LWA_ALPHA);
    // Attributes first: a layered window shown without them flashes its black background, and
    // anyone who sees it visible can rely on its colour key and alpha being in place.
    SetLayeredWindowAttributes(window, RGB(0, 0, 0), BYTE(alpha), flags);
    ShowWindow(window, SW_SHOW);
}

} // namespace

gfx::Image LoadSkinImageObject(const std::string& skinFolderPath, const char* fileName) {
    return gfx::Image::Adopt(LoadSkinImage(skinFolderPath, fileName));
}

void LoadSkin(AppState& app, GaugeDisplay& display) {
    const std::string folder = SkinFolderPath(app.skinFolder);
    ReloadSkinImages(display, folder, LoadSkinImageObject);

    SkinGeometry geometry = SkinGeometryOf(display, app.skin, HasOption(app, kOptionStretch));
    app.frameWidth = geometry.frame.width;
    app.frameHeight = geometry.frame.height;

    if (app.mainWindow) PlaceWindow(app, geometry.window);
    CreateBackBuffer(display, geometry.frame);
    ReadSkinFile(folder, app.skin);
    // Whichever record stands now, the registry's or the file's, is drawn within the caps.
    ApplySkinCaps(app.skin);
    FinishSkinLoad(display, app.skin, app.mainWindow);
    if (app.mainWindow) ShowLayered(app);
}
