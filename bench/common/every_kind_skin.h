// A skin that shows all 59 gauge kinds at once, each in a place of its own, so a benchmark of it
// draws every renderer and every style: the text kinds in a grid of cells, the analog kinds
// spread over the dial styles (Type 0 to 3 and 8), the linear styles (4 to 7, 9, 10) and the
// history graphs (11, 12), and the heading tape, heading rose, signal bars, clock and map view.
// It has no images, so it is the "Skin.bin" of a folder alone and every needle is a polygon.
#pragma once

#include <cstdint>

#include "state/skin_record.h"

namespace every_kind {

// The folder the Windows-side benchmark reads it from, below the program folder.
constexpr const char kSkinFolder[] = "EveryKind";

// Without a Background image the frame is 100 + 2x by 100 + 2y of the heading rose's record,
// so the rose's centre is what sizes the frame.
constexpr int32_t kFrameWidth = 1000;
constexpr int32_t kFrameHeight = 720;
constexpr int32_t kRoseX = (kFrameWidth - 100) / 2;
constexpr int32_t kRoseY = (kFrameHeight - 100) / 2;

SkinRecord EveryKindSkinRecord();

} // namespace every_kind
