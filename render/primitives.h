// The three drawing primitives of the cluster: a skin image turned about its centre, a
// triangular needle with a round hub, and a gauge's text in its own font, size and colour.
#pragma once

#include <cstdint>

#include "render/gauge_display.h"
#include "render/gdiplus.h"
#include "state/skin_record.h"

// A gauge record's font at emSize points, regular style; the generic sans-serif family when the
// named family is not installed or no font of it can be made. The record is left as it is.
gfx::Font RecordFont(const GaugeRecord& record, float emSize);

// RecordFont for a kind's scale, kept in the display until the record's font name or the size
// asked for changes, or the skin is reloaded: making a font family is the dearest call of a frame.
const gfx::Font& KindScaleFont(GaugeDisplay& display, int kind, const GaugeRecord& record,
                               float emSize);

// Corners of a polygon needle: the tip, then the two corners of its base.
struct NeedleTriangle {
    gfx::PointF tip;
    gfx::PointF base1;
    gfx::PointF base2;
};

// Geometry of a polygon needle about (x, y): angle in caller units, unitsPerHalfTurn of them
// make half a turn, 0 points up. Every needle drawn this way points 0.62 degrees clockwise of
// its angle: the offset is 1.56 rad, not a quarter turn, and the gauges have always drawn so.
NeedleTriangle PolygonNeedleCorners(int32_t x, int32_t y, float length, float halfWidth,
                                    float angle, float unitsPerHalfTurn);

// Draws `image` centred on (x, y), turned clockwise by angle degrees and scaled; records the
// hit rectangle of `kind` from the image's unscaled height. The world transform is the identity
// afterwards.
void DrawRotatedImage(GaugeDisplay& display, const gfx::Image& image, int32_t x, int32_t y,
                      float angle, float scale, int kind);

// Fills the needle triangle and its hub (a circle of radius halfWidth about the pivot) in
// `color`. Draws nothing when a number is not finite.
void DrawPolygonNeedle(gfx::Graphics& graphics, int32_t x, int32_t y, float length, float halfWidth,
                       float angle, float unitsPerHalfTurn, gfx::Argb color);

// Draws ANSI `text` at the kind's x, y, right-aligned to its measured width, in the kind's font
// (built on first use; an empty font name becomes "Arial" and a size of 0 becomes 20 in the
// record), and records the kind's hit rectangle from the measured box.
void DrawGaugeText(GaugeDisplay& display, SkinRecord& skin, int kind, const char* text);
