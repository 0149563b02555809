// Loading a skin folder into the running cluster: images, frame and window size, back buffer,
// "Skin.bin", per-kind reset, and the window's layered attributes.
#pragma once

#include "render/gauge_display.h"
#include "state/app_state.h"

// Loads the skin folder app.skinFolder (below the program folder) for app.mainWindow:
//  1-2. releases the previous drawing objects and loads the nine images;
//  3.   sizes the frame (app.frameWidth, app.frameHeight) from the images and the heading rose;
//  4.   places the window (topmost with the always-on-top option; at app.windowRect's top-left
//       unless its left edge is 0 or less) at the window size;
//  5.   creates the back buffer;
//  6.   reads "Skin.bin" over app.skin (versions 3 and 4);
//  7.   resets the per-kind fonts and values;
//  8.   shows the window with black as its colour key and the skin's opacity;
//  9.   remembers the window and asks for a full repaint.
// GDI+ must be running (the display started it).
void LoadSkin(AppState& app, GaugeDisplay& display);

// One skin image as a wrapper object: fileName (e.g. "Arrow.png") from the folder, else the
// ".bmp" of the same name; absent when neither loads.
gfx::Image LoadSkinImageObject(const std::string& skinFolderPath, const char* fileName);
