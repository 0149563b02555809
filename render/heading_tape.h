// The heading tape ("Horiz Vantrel", kind 1): a strip of degree marks and labels, two pixels per
// degree, that slides so the current heading is always at its horizontal centre.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/gauge_display.h"
#include "state/skin_record.h"

// The degree at the tape's left edge for a heading and a tape `width` pixels wide, 0 to 359.
int32_t FirstTapeDegree(int32_t heading, int32_t width);

// The label of a multiple of 15 degrees: the compass name of a multiple of 45 ("N", "NE", ...),
// otherwise three digits ("015"). Degree is 0 to 359.
void TapeLabel(int32_t degree, char* text, std::size_t size);

// Draws the tape of record 1 at `heading` (whole degrees) and records the hit rectangle of
// kind 1, widened by half the last label's width on each side.
void DrawHeadingTape(GaugeDisplay& display, const SkinRecord& skin, int32_t heading);

// The renderer table's entry.
void DrawHeadingTapeEntry(GaugeDisplay& display, SkinRecord& skin, int32_t heading);
