#include "render/paint_win.h"

#include "skin/skin_file.h"

#include <windows.h>

namespace {

constexpr gfx::Argb kOpaqueBlack = 0xFF000000;
constexpr COLORREF kColourKey = RGB(0, 0, 0);
// More rectangles than this in an update region are copied as their box.
constexpr int kMaxUpdateRects = 64;

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

// The rectangles of a window's update region, at most `limit` of them; none when the region
// is empty, cannot be read or has more rectangles than that (the caller then copies its box).
int UpdateRectangles(HWND window, RECT* rects, int limit) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    if (!region) return 0;
    int count = 0;
    const int kind = GetUpdateRgn(window, region, FALSE);
    if (kind == SIMPLEREGION || kind == COMPLEXREGION) {
        union {
            RGNDATA data;
            unsigned char bytes[sizeof(RGNDATAHEADER) + kMaxUpdateRects * sizeof(RECT)];
        } buffer;
        const DWORD size = GetRegionData(region, 0, nullptr);
        if (size > 0 && size <= sizeof buffer && GetRegionData(region, size, &buffer.data) != 0 &&
            int(buffer.data.rdh.nCount) <= limit) {
            count = int(buffer.data.rdh.nCount);
            const RECT* from = reinterpret_cast<const RECT*>(buffer.data.Buffer);
            for (int i = 0; i < count; ++i)
                rects[i] = from[i];
        }
    }
    DeleteObject(region);
    return count;
}

// Every pixel of a composed frame is opaque (it starts from opaque black), so a plain copy
// puts down what GDI+ blending it would. Only the invalidated rectangles are copied out of the
// frame; one blit of their box then shows them, the paint's clip keeping the rest of the window
// as it was. The stretched and older paths keep their own way.
bool PaintByCopy(HDC hdc, const RECT& paint, const RECT* rects, int count,
                 const GaugeDisplay& display, const PaintArea& area) {
    if (area.stretch || area.osMajorVersion < 6 || !display.frameBitmap.Valid()) return false;
    static PaintCopy copy; // the one window paints on the one thread
    void* bits = nullptr;
    int32_t stride = 0;
    HDC source = copy.Sized(hdc, area.frameWidth, area.frameHeight, &bits, &stride);
    if (!source) return false;
    RECT box;
    if (!FramePart(paint, area, &box)) return true;
    if (count == 0) {
        rects = &box;
        count = 1;
    }
    for (int i = 0; i < count; ++i) {
        RECT part;
        if (!FramePart(rects[i], area, &part)) continue;
        unsigned char* first =
            static_cast<unsigned char*>(bits) + part.top * stride + part.left * 4;
        if (display.frameBitmap.CopyPixels(part.left, part.top, part.right - part.left,
                                           part.bottom - part.top, first,
                                           stride) != gfx::Status::Ok)
            return false;
    }
    GdiFlush();
    return BitBlt(hdc, box.left, box.top, box.right - box.left, box.bottom - box.top, source,
                  box.left, box.top, SRCCOPY) != FALSE;
}

} // namespace

void PaintBackBuffer(WindowHandle window, const GaugeDisplay& display, const PaintArea& area) {
    // Read before BeginPaint, which validates the region.
    RECT rects[kMaxUpdateRects];
    const int count = UpdateRectangles(static_cast<HWND>(window), rects, kMaxUpdateRects);
    PAINTSTRUCT paint;
    HDC hdc = BeginPaint(static_cast<HWND>(window), &paint);
    if (hdc && !PaintByCopy(hdc, paint.rcPaint, rects, count, display, area))
        PaintFrame(hdc, display, area);
    EndPaint(static_cast<HWND>(window), &paint);
}
