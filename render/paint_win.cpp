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

namespace {

// A GDI copy of the back buffer that the window is painted from with BitBlt: under Wine a GDI+
// copy onto the window converts the whole frame on every paint, where this copies only the
// rows that changed.
class PaintCopy {
  public:
    ~PaintCopy() { Release(); }
    // The copy's device context with a bitmap of at least width × height selected.
    HDC Sized(HDC like, int32_t width, int32_t height, void** bits, int32_t* stride) {
        if (!dc_ || width != width_ || height != height_) {
            Release();
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = width;
            info.bmiHeader.biHeight = -height; // top row first, as GDI+ keeps it
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            dc_ = CreateCompatibleDC(like);
            bitmap_ =
                dc_ ? CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0) : nullptr;
            if (!bitmap_) {
                Release();
                return nullptr;
            }
            previous_ = SelectObject(dc_, bitmap_);
            width_ = width;
            height_ = height;
        }
        *bits = bits_;
        *stride = width_ * 4;
        return dc_;
    }

  private:
    void Release() {
        if (dc_ && previous_) SelectObject(dc_, previous_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
        dc_ = nullptr;
        bitmap_ = nullptr;
        previous_ = nullptr;
        bits_ = nullptr;
        width_ = height_ = 0;
    }
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
    int32_t width_ = 0;
    int32_t height_ = 0;
};

// The part of the frame to copy: what was invalidated, within the frame.
bool FramePart(const RECT& paint, const PaintArea& area, RECT* part) {
    part->left = paint.left > 0 ? paint.left : 0;
    part->top = paint.top > 0 ? paint.top : 0;
    part->right = paint.right < area.frameWidth ? paint.right : area.frameWidth;
    part->bottom = paint.bottom < area.frameHeight ? paint.bottom : area.frameHeight;
    return part->left < part->right && part->top < part->bottom;
}

// Every pixel of a composed frame is opaque (it starts from opaque black), so a plain copy
// puts down what GDI+ blending it would. The stretched and older paths keep their own way.
bool PaintByCopy(HDC hdc, const RECT& paint, const GaugeDisplay& display, const PaintArea& area) {
    if (area.stretch || area.osMajorVersion < 6 || !display.frameBitmap.Valid()) return false;
    static PaintCopy copy; // the one window paints on the one thread
    void* bits = nullptr;
    int32_t stride = 0;
    HDC source = copy.Sized(hdc, area.frameWidth, area.frameHeight, &bits, &stride);
    if (!source) return false;
    RECT part;
    if (!FramePart(paint, area, &part)) return true;
    const int32_t width = part.right - part.left;
    const int32_t height = part.bottom - part.top;
    unsigned char* first = static_cast<unsigned char*>(bits) + part.top * stride + part.left * 4;
    if (display.frameBitmap.CopyPixels(part.left, part.top, width, height, first, stride) !=
        gfx::Status::Ok)
        return false;
    GdiFlush();
    return BitBlt(hdc, part.left, part.top, width, height, source, part.left, part.top, SRCCOPY) !=
           FALSE;
}

} // namespace

void PaintBackBuffer(WindowHandle window, const GaugeDisplay& display, const PaintArea& area) {
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(static_cast<HWND>(window), &paint);
    if (hdc && !PaintByCopy(hdc, paint.rcPaint, display, area)) PaintFrame(hdc, display, area);
    EndPaint(static_cast<HWND>(window), &paint);
}
