#include "render/gauge_display.h"

#include <utility>

GaugeDisplay::GaugeDisplay(const SkinRecord& skin, const DisplayHooks& displayHooks)
    : hooks(displayHooks) {
    gdiplusStatus = gfx::Startup(&gdiplusToken);
    ResetGaugeValuesAtStart(values, skin);
}

GaugeDisplay::~GaugeDisplay() {
    // Everything that holds a GDI+ handle goes before GDI+ itself.
    for (auto& font : textFonts)
        font.reset();
    for (auto& font : scaleFonts)
        font.font.reset();
    ReleaseSkinDrawing(*this);
    if (gdiplusStatus == gfx::Status::Ok) gfx::Shutdown(gdiplusToken);
}

void ReleaseSkinDrawing(GaugeDisplay& display) {
    display.cache.valid = false;
    display.parts.valid = false;
    display.cache.graphics = gfx::Graphics();
    display.cache.bitmap = gfx::Bitmap();
    display.graphics = gfx::Graphics();
    display.frameBitmap = gfx::Bitmap();
    display.images[kImageBackground] = gfx::Image();
    for (int slot = 0; slot < kSkinImageCount; ++slot)
        display.images[slot] = gfx::Image();
}

void ResetForSkin(GaugeDisplay& display, const SkinRecord& skin) {
    display.cache.valid = false;
    display.parts.valid = false;
    for (bool& live : display.cache.live)
        live = false;
    for (auto& font : display.textFonts)
        font.reset();
    for (auto& font : display.scaleFonts)
        font.font.reset();
    ResetGaugeValuesForSkin(display.values, skin);
}

void DropKindFont(GaugeDisplay& display, int kind) {
    if (kind >= 0 && kind < kGaugeKindCount) display.textFonts[kind].reset();
}
