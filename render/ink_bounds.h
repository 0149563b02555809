// Where a surface's drawing calls may have put pixels: a conservative box that the frame uses to
// know what of the window a gauge covers, whatever its record or values ask for.
//
// The box follows the world transform and the clip (as far as their bounds go), widens lines by
// their pen and every call by a pixel of anti-aliasing, and estimates text generously from the
// font's em: a glyph is never wider than an em, a line never higher than one and a half.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gfx {

struct PointF;
struct RectF;
enum class MatrixOrder : int32_t;
enum class CombineMode : int32_t;
enum class StringAlignment : int32_t;
enum class Unit : int32_t;
class Pen;

class InkBounds {
  public:
    // Starts a new box; calls before this one are forgotten.
    void Begin();
    // Whether anything was drawn since Begin; the box in whole pixels, left/top inclusive and
    // right/bottom exclusive.
    bool End(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom);

    void Translate(float dx, float dy, MatrixOrder order);
    void Rotate(float degrees, MatrixOrder order);
    void Scale(float sx, float sy, MatrixOrder order);
    void ResetTransform();
    // The world transform in force: m11, m12, m21, m22, dx, dy.
    void Transform(double out[6]) const;

    // Clip bounds in device pixels; mode as GDI+ combines clips.
    void Clip(const RectF& bounds, CombineMode mode);
    void ResetClip();

    // A box in world coordinates, widened on every side by `grow`.
    void Box(const RectF& box, float grow);
    void Points(const PointF* points, int32_t count, float grow);
    // A text of `characters` drawn in `layout` (a box without width or height is a point the
    // text hangs from) with a font of `emPixels`.
    void Text(const RectF& layout, StringAlignment alignment, StringAlignment lineAlignment,
              float emPixels, int32_t characters);
    // The same with the text's measured size (GDI+ padding included) instead of an estimate.
    void MeasuredText(const RectF& layout, StringAlignment alignment, StringAlignment lineAlignment,
                      float emPixels, float width, float height);
    // The whole surface (a clear).
    void Everything();
    // Adds bytes to the digest of the calls since Begin; with them the transform and the clip in
    // force, so a call drawn elsewhere or cut elsewhere differs.
    void Mix(const void* bytes, std::size_t size);
    void MixState();
    uint64_t Digest() const { return digest_; }

  private:
    void AddDevice(double left, double top, double right, double bottom);

    double m11_ = 1, m12_ = 0, m21_ = 0, m22_ = 1, dx_ = 0, dy_ = 0;
    bool clipped_ = false;
    double clipLeft_ = 0, clipTop_ = 0, clipRight_ = 0, clipBottom_ = 0;
    bool any_ = false;
    bool everything_ = false;
    double left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;
    uint64_t digest_ = 0;
};

// What the drawing calls of both backends share to feed the box.
float EmPixelsOf(float emSize, Unit unit);
RectF BoundsOf(const PointF* points, int32_t count);
// How far a pen's mitred joins may reach past the points they join.
float JoinReach(const Pen& pen);
void InkLine(InkBounds& ink, const Pen& pen, const PointF* from, const PointF* to);
// Runs of lines one after another in `points`; returns how many points they hold.
int32_t InkRuns(InkBounds& ink, const Pen& pen, const PointF* points, const int32_t* counts,
                int32_t runs);

} // namespace gfx
