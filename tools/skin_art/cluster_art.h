// The pictures of the "Cluster" skin, drawn with the program's GDI+ wrappers.
#pragma once

#include "render/gdiplus.h"

// The frame: a dark rounded panel (black outside it is see-through on screen) with the faces of
// the speed and engine dials at the sides, the heading tape's window and the map view's ground in
// the middle, and the labels of the readouts.
gfx::Bitmap DrawClusterBackground();
// The dials' needle, pointing up from the image centre (the pivot); as tall as the dials.
gfx::Bitmap DrawClusterNeedle();
