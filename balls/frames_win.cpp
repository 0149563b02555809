#include "balls/frames_win.h"

#include "balls/zorbel_resources.h"

FrameSet::~FrameSet() {
    Release();
}

void FrameSet::Release() {
    for (int i = 0; i < kFrameCount; ++i) {
        if (dcs_[i]) {
            if (previous_[i]) SelectObject(dcs_[i], previous_[i]);
            DeleteDC(dcs_[i]);
        }
        if (bitmaps_[i]) DeleteObject(bitmaps_[i]);
        dcs_[i] = nullptr;
        bitmaps_[i] = nullptr;
        previous_[i] = nullptr;
    }
    shape_.clear();
}

void FrameSet::Load(HINSTANCE instance, HWND window) {
    Release();
    HDC windowDc = GetDC(window);
    for (int i = 0; i < kFrameCount; ++i) {
        bitmaps_[i] = static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(ZORBEL_BITMAP_FIRST_FRAME + i), IMAGE_BITMAP,
                       kBallWidth, kBallHeight, LR_DEFAULTCOLOR));
        if (i == 0 && bitmaps_[0]) {
            BITMAP info{};
            if (GetObjectA(bitmaps_[0], sizeof info, &info)) {
                width_ = info.bmWidth;
                height_ = info.bmHeight;
            }
            // Read while the bitmap is not yet selected into a DC.
            shape_ = ShapeRuns(BitmapPixels(bitmaps_[0], width_, height_), width_, height_);
        }
        dcs_[i] = CreateCompatibleDC(windowDc);
        if (dcs_[i] && bitmaps_[i]) previous_[i] = SelectObject(dcs_[i], bitmaps_[i]);
    }
    ReleaseDC(window, windowDc);
}

HDC FrameSet::Frame(int index) const {
    return index >= 0 && index < kFrameCount ? dcs_[index] : nullptr;
}

std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height) {
    std::vector<uint32_t> pixels;
    if (!bitmap || width <= 0 || height <= 0) return pixels;
    pixels.resize(size_t(width) * size_t(height));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    const int rows =
        GetDIBits(screen, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != height) return {};
    for (uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFF; // the fourth byte is unused in a 32-bit DIB
    return pixels;
}

HRGN ShapeRegion(const std::vector<ShapeRect>& shape) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    HRGN run = CreateRectRgn(0, 0, 0, 0);
    if (region && run) {
        for (const ShapeRect& rect : shape) {
            SetRectRgn(run, rect.left, rect.top, rect.right, rect.bottom);
            CombineRgn(region, region, run, RGN_OR);
        }
    }
    if (run) DeleteObject(run);
    return region;
}
