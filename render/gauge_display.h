// GaugeDisplay: the program-lifetime drawing object of the cluster. It owns GDI+ (started when it
// is made, shut down when it goes), the skin images, the back buffer and its graphics, the
// per-kind fonts and hit rectangles, the gauge values and the layout-editing state. Every
// renderer draws through `graphics` and records the frame area of what it drew in `hitRects`.
//
// What the drawing needs from Windows besides GDI+ (invalidating the window, the beep, the clock,
// the locale's time and date texts, and for layout editing the active window, the pointer and the
// focus rectangle) comes through DisplayHooks, so the composer is portable and its tests run on a
// recording of the drawing calls.
#pragma once

#include <cstdint>
#include <optional>

#include "render/gauge_renderers.h"
#include "render/gdiplus.h"
#include "state/win_types.h"
#include "skin/skin_file.h"
#include "state/skin_record.h"
#include "sources/gauge_values.h"

// Windows services of the drawing code; WindowsDisplayHooks() (display_hooks_win.h) gives the
// real ones. Every member must be set.
struct DisplayHooks {
    // Invalidates a rectangle of the window's client area (all of it when rect is null) without
    // erasing.
    void (*invalidate)(WindowHandle window, const RectI32* rect);
    // The system exclamation sound (home arrival).
    void (*beep)();
    // The local time of a UTC time (current time-zone information); when utc is null, of the
    // system clock.
    SystemTime16 (*localTime)(const SystemTime16* utc);
    // The local time or date as the user's locale writes it (default format), zero-terminated
    // within `size` bytes; empty on failure.
    void (*formatTime)(const SystemTime16& local, char* buffer, int size);
    void (*formatDate)(const SystemTime16& local, bool longDate, char* buffer, int size);
    // Whether the window is the active window of this thread.
    bool (*isActiveWindow)(WindowHandle window);
    // The pointer's position in screen coordinates.
    PointI32 (*cursorPosition)();
    // Draws the system's dotted focus rectangle on the window's own device context, not into the
    // back buffer. It inverts, so drawing it twice on unchanged pixels removes it.
    void (*drawFocusRect)(WindowHandle window, const RectI32& rect);
};

// Layout-editing state (the editor itself works on it on the frame's end and on mouse input).
struct EditState {
    int32_t selectedKind = -1;
    int32_t highlightTicks = 0;
    int32_t dragAnchorX = -1;
    int32_t dragAnchorY = 0;
    int32_t pickedKind = -1;
    bool dragging = false;
};

// Which parts of the gauges a drawing pass puts down: all of them, only what the frame cache
// holds (the background and the scales that do not move), or what moves over the cache.
enum class DrawLayer : uint8_t { Everything, StaticParts, MovingParts };

// The frame without what moves: black, the background and the scales of the dials and linear
// gauges whose scales stand still. A frame starts as a copy of it. It is drawn again whenever
// the record it was drawn from differs in any byte (colours, fonts, positions, a range that grew),
// the frame size changes or a skin is loaded. A scale found under something drawn before it in
// the frame's order is drawn live from then on, so the cache never changes a pixel.
struct FrameCache {
    bool enabled = true; // off: every frame is drawn whole, the way the cache must match
    bool valid = false;
    gfx::Bitmap bitmap;
    gfx::Graphics graphics;
    int32_t width = 0;
    int32_t height = 0;
    SkinRecord skin{};                       // the record as it stood when the cache was drawn
    bool cached[kGaugeKindCount] = {};       // the kind's scale lies in the cache
    bool live[kGaugeKindCount] = {};         // the kind's scale overlapped earlier drawing
    RectI32 staticInk[kGaugeKindCount] = {}; // where the cached scale's pixels lie
};

// What each part of the last frame drawn over the cache drew, in the frame's order: the map view,
// the kinds 0 to 58, the heading rose. A frame whose parts draw the same calls as before redraws
// only the rectangles of the parts that changed.
constexpr int kFrameParts = kGaugeKindCount + 2;
constexpr int kViewPart = 0;
constexpr int kRosePart = kGaugeKindCount + 1;
inline int KindPart(int kind) {
    return kind + 1;
}
struct FrameParts {
    bool valid = false; // the back buffer holds the frame these describe
    uint64_t digest[kFrameParts] = {};
    RectI32 ink[kFrameParts] = {};
};

struct GaugeDisplay {
    // Starts GDI+ and resets the values for `skin` (the compiled-in record at program start).
    GaugeDisplay(const SkinRecord& skin, const DisplayHooks& hooks);
    // Deletes the fonts, releases the images, the back buffer and its graphics, shuts GDI+ down.
    ~GaugeDisplay();
    GaugeDisplay(const GaugeDisplay&) = delete;
    GaugeDisplay& operator=(const GaugeDisplay&) = delete;

    // When set, the next frame's end invalidates the whole window; set by every skin load.
    bool fullRepaint = false;
    WindowHandle window = nullptr;      // the main window, set at skin load
    gfx::Graphics graphics;             // on frameBitmap, anti-aliased
    gfx::Image images[kSkinImageCount]; // SkinImageSlot order; each possibly absent
    gfx::Bitmap frameBitmap;            // the back buffer, 32 bpp ARGB, frame size
    // Per kind, the frame area drawn in this frame; a right edge of 0 = not drawn.
    RectI32 hitRects[kGaugeKindCount] = {};
    // Per kind, where its pixels may lie in the last composed frame (empty when it drew none),
    // and where they lay when the window was last told to repaint it: the two together are what
    // a change of the kind has to repaint, however far its drawing strays from its hit rectangle.
    RectI32 inkAreas[kGaugeKindCount] = {};
    RectI32 shownAreas[kGaugeKindCount] = {};
    // Per kind, its text font: absent until built; built but not Valid when building failed (the
    // kind then draws no text until the font is dropped).
    std::optional<gfx::Font> textFonts[kGaugeKindCount];
    // Per kind, the font of its scale numbers, labels or satellite numbers, kept with the name
    // and size it was made from: made again only when either changes or the skin is reloaded.
    struct ScaleFont {
        std::optional<gfx::Font> font;
        float emSize = 0;
        char name[kFontNameSize] = {};
    };
    ScaleFont scaleFonts[kGaugeKindCount];
    GaugeValues values; // changedMask, values, needles, history

    uintptr_t gdiplusToken = 0;
    gfx::Status gdiplusStatus = gfx::Status::GdiplusNotInitialized;

    EditState edit;

    DrawLayer layer = DrawLayer::Everything; // the pass being drawn
    FrameCache cache;
    FrameParts parts;
    // While only some rectangles of the frame are drawn again: the one being drawn. Whoever
    // clips on its own clips within it and restores it.
    std::optional<gfx::RectF> frameClip;

    // Program-lifetime values of single gauges: the home-arrival beep of "Dist Home" and the
    // strongest signal seen by "Signal".
    bool homeArmed = false;
    bool homeBeeped = false;
    int32_t signalPeak = 45;

    DisplayHooks hooks;
    GaugeRenderers renderers;
};

// After every skin load: every kind's font is dropped (rebuilt with the new record on its next
// text), every value counts as changed on the next pass and the needles restart at paramB.
void ResetForSkin(GaugeDisplay& display, const SkinRecord& skin);

// Drops one kind's font (the configuration dialog calls this when it changes the kind's font
// name, size or paramB).
void DropKindFont(GaugeDisplay& display, int kind);

// Releases the images, the back buffer and its graphics (start of every skin load).
void ReleaseSkinDrawing(GaugeDisplay& display);
