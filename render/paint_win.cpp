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

// Puts the frame's pixels of `part` at the same place of the window, straight from the back
// buffer's rows.
bool BlitPart(HDC hdc, const RECT& part, const GaugeDisplay& display) {
    const int32_t width = part.right - part.left;
    const int32_t height = part.bottom - part.top;
    return display.frameBitmap.ReadPixels(
               part.left, part.top, width, height, [&](const void* rows, int32_t stride) {
                   if (stride <= 0 || stride % 4 != 0) return false;
                   BITMAPINFO info{};
                   info.bmiHeader.biSize = sizeof info.bmiHeader;
                   info.bmiHeader.biWidth = stride / 4;
                   info.bmiHeader.biHeight = -height; // top row first, as GDI+ keeps it
                   info.bmiHeader.biPlanes = 1;
                   info.bmiHeader.biBitCount = 32;
                   info.bmiHeader.biCompression = BI_RGB;
                   // Scan lines copied, or 0 or GDI_ERROR (-1) on failure.
                   return StretchDIBits(hdc, part.left, part.top, width, height, 0, 0, width,
                                        height, rows, &info, DIB_RGB_COLORS, SRCCOPY) > 0;
               }) == gfx::Status::Ok;
}

// Every pixel of a composed frame is opaque (it starts from opaque black), so a plain copy
// puts down what GDI+ blending it would. Under Wine a GDI+ copy onto the window converts the
// whole frame on every paint; this copies only the invalidated rectangles, from the back
// buffer's own rows. The stretched and older paths keep their own way.
bool PaintByCopy(HDC hdc, const RECT& paint, const RECT* rects, int count,
                 const GaugeDisplay& display, const PaintArea& area) {
    if (area.stretch || area.osMajorVersion < 6 || !display.frameBitmap.Valid()) return false;
    RECT box;
    if (!FramePart(paint, area, &box)) return true;
    if (count == 0) {
        rects = &box;
        count = 1;
    }
    for (int i = 0; i < count; ++i) {
        RECT part;
        if (FramePart(rects[i], area, &part) && !BlitPart(hdc, part, display)) return false;
    }
    return true;
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
