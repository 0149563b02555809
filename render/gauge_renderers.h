// Where the style renderers, the heading tape, the circular map view and the layout editor plug
// into the frame composer. Each entry is filled by the file that implements it; an empty entry
// draws nothing (the kind then has no hit rectangle in that frame).
#pragma once

#include <cstdint>

struct AppState;
struct GaugeDisplay;
struct NavState;
struct SkinRecord;

// The style of an analog kind, from its "Type" (paramD).
enum class GaugeStyle { Dial, Linear, HistoryGraph, None };

// Styles 0 to 3 and 8 draw a dial, 4 to 7, 9 and 10 a linear gauge, 11 and 12 a history graph;
// anything above 12 draws nothing.
GaugeStyle GaugeStyleOf(uint16_t type);

// What the composer hands to a style renderer for one analog kind.
struct StyledGauge {
    int32_t kind = 0;
    float value = 0;              // the needle value (× 0.01 for "OBD2 RPM Gauge")
    int32_t defaultHalfSweep = 0; // 120 for the speedometers and the RPM gauge, 60 otherwise
    bool signedScale = false;     // timing advance and fuel trims
    float startValue = 0;         // the kind's own paramC ("Start") for the OBD-II dials
    uint16_t style = 0;           // the kind's paramD ("Type")
    uint16_t centreDirection = 0; // paramC ("Angle") of the kind just before it
};

using StyleRenderer = void (*)(GaugeDisplay& display, SkinRecord& skin, const StyledGauge& gauge);

struct GaugeRenderers {
    StyleRenderer dial = nullptr;
    StyleRenderer linear = nullptr;
    StyleRenderer historyGraph = nullptr;
    // "Horiz Vantrel" (kind 1) at the displayed heading.
    void (*headingTape)(GaugeDisplay& display, SkinRecord& skin, int32_t heading) = nullptr;
    // "Satellites", "Home Target" and "Trails" (kinds 14, 16, 17); tests their shown bits itself.
    void (*circularView)(GaugeDisplay& display, AppState& app, const NavState& nav,
                         int32_t heading) = nullptr;
    // The layout editor's step for one drawn kind at the frame's end.
    void (*editStep)(GaugeDisplay& display, int32_t kind) = nullptr;
};
