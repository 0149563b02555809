// The pictures of the "Cluster" skin, drawn with the program's GDI+ wrappers.
#pragma once

#include "render/gdiplus.h"

// The frame: a dark rounded panel (black outside it is see-through on screen) with the heading
// rose's dial on the left, the clock face on the right and the labels of the text gauges between.
gfx::Bitmap DrawClusterBackground();
// The heading-rose needle: a compass needle pointing up, red to the north; turned about its centre.
gfx::Bitmap DrawClusterArrow();
// Clock hands pointing up from the image centre (the pivot).
gfx::Bitmap DrawClusterHourHand();
gfx::Bitmap DrawClusterMinuteHand();
gfx::Bitmap DrawClusterSecondHand();
