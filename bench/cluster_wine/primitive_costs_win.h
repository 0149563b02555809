// What single GDI+ calls of a frame cost here, measured on the loaded skin's back buffer: the
// figures that tell which of a frame's calls (counted by the native benchmark) weigh the most.
#pragma once

#include "render/gauge_display.h"
#include "state/app_state.h"

// Times each call many times over and prints its mean. Draws into the back buffer, so a frame
// composed afterwards starts from a spoiled picture; run it on its own.
void PrintPrimitiveCosts(GaugeDisplay& display, const AppState& app);
