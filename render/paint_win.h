// Painting the back buffer onto the cluster window (WM_PAINT). Black pixels of the frame are
// see-through on screen because the window's colour key is black.
#pragma once

#include <cstdint>

#include "render/gauge_display.h"
#include "state/app_state.h"

struct PaintArea {
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;
    bool stretch = false;        // show the frame one fifth taller (h + h / 5)
    uint32_t osMajorVersion = 0; // Windows major version: 6 and later copy through GDI+
};

// The cluster's paint area: its frame size, the one-fifth stretch option and the Windows version.
PaintArea PaintAreaOf(const AppState& app);

// The painted height: the frame height, or with stretch that plus a fifth (integer division).
int32_t PaintHeight(const PaintArea& area);

// Copies the back buffer onto a device context (HDC) at (0, 0), stretched only vertically.
// Windows 6 and later draw it with GDI+; earlier versions blit it with TransparentBlt, black
// being transparent.
void PaintFrame(void* hdc, const GaugeDisplay& display, const PaintArea& area);

// The whole WM_PAINT of the main window: BeginPaint, PaintFrame, EndPaint.
void PaintBackBuffer(WindowHandle window, const GaugeDisplay& display, const PaintArea& area);
