// The recording implementation of the GDI+ wrapper family (render/gdiplus.h) for native tests.
//
// Every drawing call made through a Graphics is appended to the recording with its exact
// arguments, the colour of its brush or pen, its font and the world transform in force. Images
// come from a table of fake files the test declares; fonts exist for a list of installed family
// names; text is measured by a deterministic model (see MeasureText). Tests read the calls back
// and assert on the geometry.
#pragma once

#include "render/gdiplus.h"

#include <string>
#include <vector>

namespace rec {

// Row-vector affine transform as GDI+ keeps it: (x, y) -> (x*m11 + y*m21 + dx, x*m12 + y*m22 + dy).
struct Matrix {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
    gfx::PointF Map(gfx::PointF p) const;
    bool IsIdentity() const;
};

// One recorded call.
struct Call {
    std::string op;                  // the wrapper method: "FillPolygon", "DrawString", ...
    int surface = 0;                 // id of the Graphics it was made on
    std::vector<float> args;         // its numbers in argument order (rectangles as x, y, w, h)
    std::vector<gfx::PointF> points; // polygon and line points
    gfx::Argb color = 0;             // colour of the brush or pen used
    float penWidth = 0;
    int fillMode = -1;
    std::u16string text;       // text drawn or measured
    std::u16string fontFamily; // family of the font used
    float fontSize = 0;
    int fontUnit = -1;
    int alignment = -1; // horizontal alignment of the string format; -1 = no format
    int image = 0;      // id of the image drawn
    Matrix transform;   // world transform in force
};

struct Recording {
    std::vector<Call> calls;
    std::vector<std::u16string> installedFamilies;
    std::u16string genericSansSerif;
    int startups = 0;
    int shutdowns = 0;

    // The calls named `op`, in order.
    std::vector<Call> Of(const std::string& op) const;
    // The runs of every DrawLineRuns call as calls of their own, with their pen, in order.
    std::vector<Call> Runs() const;
    // The calls that put pixels on a surface (fills, draws, clears, strings, images).
    std::vector<Call> Drawing() const;
};

// The process-wide recording. Reset() clears the calls and restores the default installed fonts
// ("Arial", "Tahoma", "Microsoft Sans Serif"; generic sans-serif "Microsoft Sans Serif") and
// forgets the fake image files.
Recording& Current();
void Reset();

// Declares a loadable image file (path as the program builds it) of the given size.
void AddImageFile(const std::string& path, uint32_t width, uint32_t height);
// Number of wrapper objects alive (created and not yet released).
int LiveObjects();
// The id of the image behind a wrapper (0 when absent), to match DrawImage calls.
int ImageId(const gfx::Image& image);
// The file an image was loaded from (UTF-8), empty for a bitmap.
std::string ImagePath(const gfx::Image& image);

// The font model: every character is 0.55 em wide and a line is 1.2 em high, the em converted to
// pixels at 96 dots per inch for point sizes.
gfx::RectF MeasureText(const std::u16string& text, float emSize, gfx::Unit unit);

std::string Narrow(const std::u16string& text); // UTF-16 to UTF-8, for assertions

} // namespace rec
