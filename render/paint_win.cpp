#include "render/paint_win.h"

#include "skin/skin_file.h"

#include <windows.h>

namespace {

constexpr gfx::Argb kOpaqueBlack = 0xFF000000;
constexpr COLORREF kColourKey = RGB(0, 0, 0);

// Before Windows 6 the GDI+ copy did not honour the colour key reliably, so the frame goes
// through a GDI bitmap and TransparentBlt.
void BlitTransparent(gfx::Graphics& graphics, const GaugeDisplay& display, const PaintArea& area,
                     int32_t height) {
    graphics.Clear(kOpaqueBlack);
    HDC target = static_cast<HDC>(graphics.GetHdc());
    if (!target) return;
    HDC memory = CreateCompatibleDC(target);
    HBITMAP bitmap = static_cast<HBITMAP>(display.frameBitmap.CreateGdiBitmap(0));
    if (memory && bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        TransparentBlt(target, 0, 0, area.frameWidth, height, memory, 0, 0, area.frameWidth,
                       area.frameHeight, kColourKey);
        SelectObject(memory, previous);
    }
    if (memory) DeleteDC(memory);
    if (bitmap) DeleteObject(bitmap);
    graphics.ReleaseHdc(target);
}

} // namespace

PaintArea PaintAreaOf(const AppState& app) {
    PaintArea area;
    area.frameWidth = app.frameWidth;
    area.frameHeight = app.frameHeight;
    area.stretch = HasOption(app, kOptionStretch);
    area.osMajorVersion = app.osMajorVersion;
    return area;
}

int32_t PaintHeight(const PaintArea& area) {
    return StretchedHeight(area.frameHeight, area.stretch);
}

void PaintFrame(void* hdc, const GaugeDisplay& display, const PaintArea& area) {
    if (!display.frameBitmap.Valid()) return;
    gfx::Graphics graphics = gfx::Graphics::FromHdc(hdc);
    int32_t height = PaintHeight(area);
    if (area.osMajorVersion >= 6) {
        graphics.DrawImage(display.frameBitmap, {0, 0, float(area.frameWidth), float(height)},
                           {0, 0, float(area.frameWidth), float(area.frameHeight)},
                           gfx::Unit::Pixel);
    } else {
        BlitTransparent(graphics, display, area, height);
    }
}

void PaintBackBuffer(WindowHandle window, const GaugeDisplay& display, const PaintArea& area) {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(static_cast<HWND>(window), &paint);
    if (hdc) PaintFrame(hdc, display, area);
    EndPaint(static_cast<HWND>(window), &paint);
}
