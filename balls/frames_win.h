// The ball's animation frames, decoded once into memory DCs, and the window shape cut from
// frame 0.
#pragma once

#include "balls/ball_shape.h"
#include "balls/ball_world.h"

#include <windows.h>

#include <array>
#include <vector>

class FrameSet {
  public:
    FrameSet() = default;
    ~FrameSet();
    FrameSet(const FrameSet&) = delete;
    FrameSet& operator=(const FrameSet&) = delete;

    // Loads the nine frame bitmaps from the module's resources, each into its own memory DC
    // compatible with `window`'s DC, and cuts the shape from frame 0. A frame that fails to
    // load leaves its DC without a picture.
    void Load(HINSTANCE instance, HWND window);

    HDC Frame(int index) const;
    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<ShapeRect>& Shape() const { return shape_; }

  private:
    void Release();

    std::array<HBITMAP, kFrameCount> bitmaps_{};
    std::array<HDC, kFrameCount> dcs_{};
    std::array<HGDIOBJ, kFrameCount> previous_{};
    int width_ = 0;
    int height_ = 0;
    std::vector<ShapeRect> shape_;
};

// The pixels of a bitmap (not selected into any DC) as 0x00RRGGBB, rows from the top.
std::vector<uint32_t> BitmapPixels(HBITMAP bitmap, int width, int height);

// A window region made of the shape's rectangles; the caller owns it.
HRGN ShapeRegion(const std::vector<ShapeRect>& shape);
