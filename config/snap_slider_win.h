// The snap slider's window: class "SnapSlider", its window procedure and its creation. The
// control posts its reports (snap_slider.h) to the state's parent.
#pragma once

#include <windows.h>

#include "config/snap_slider.h"

// Registers the window class with this module; a second registration fails harmlessly.
void RegisterSnapSliderClass();

// Creates a shown slider child of `parent` at (x, y), w × h pixels, for `state` (which must
// outlive the window): registers the class when needed, fills the state's window, parent, width
// and height, and starts the 100 ms report timer. Returns the control, or null on failure.
HWND CreateSnapSlider(HWND parent, SnapSliderState& state, int x, int y, int w, int h);

// The state a slider window was created for; null before WM_CREATE and after WM_DESTROY.
SnapSliderState* SnapSliderStateOf(HWND control);
