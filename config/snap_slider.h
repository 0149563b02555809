// The snap slider: a square pad with a knob that the user drags like a joystick. While the knob is
// held off centre the control reports a small signed deflection to its parent every 100 ms; when
// the button comes up the knob snaps back to the centre and the report returns to (0, 0).
//
// This half is the control's arithmetic and its reaction to the mouse, without a window: the
// Windows half (snap_slider_win.h) decodes the messages, calls these and does what they return.
#pragma once

#include <cstdint>

#include "state/win_types.h"

// The message the configuration dialog receives the reports by (WM_USER + 1).
constexpr uint32_t kSnapSliderReportMessage = 0x0401;

// One control's state. Allocated and owned by the control's owner, handed over at creation and
// freed by the owner after the control is destroyed. The defaults are the configuration dialog's
// control: a 64 × 64 pad, a 14-pixel knob and outputs of at most ±2.
struct SnapSliderState {
    WindowHandle window = nullptr;                     // the control, once created
    WindowHandle parent = nullptr;                     // receives the reports
    uint32_t notifyMessage = kSnapSliderReportMessage; // 0: compute the outputs, post nothing
    int32_t width = 64;                                // size of the control
    int32_t height = 64;
    int32_t knobX = 0; // knob centre, client coordinates
    int32_t knobY = 0;
    int32_t knobSize = 14; // side of the square knob
    int32_t scale = 2;     // output at full deflection
    int16_t outX = 0;      // last outputs: positive left of / above the centre
    int16_t outY = 0;
    bool tracking = false; // the button went down on the pad and has not come up over it
};

// Half the knob, and the deflection that gives the full output on each axis.
int32_t KnobHalf(const SnapSliderState& slider);
int32_t RangeX(const SnapSliderState& slider);
int32_t RangeY(const SnapSliderState& slider);

// The knob's square in client coordinates (right = left + knobSize, likewise bottom).
RectI32 KnobRect(const SnapSliderState& slider);

// Whether a point is on the knob, its far edges included.
bool IsOnKnob(const SnapSliderState& slider, int32_t x, int32_t y);

// Puts the knob's centre at a point, kept a knob's half plus the 2-pixel edge inside the pad.
void PlaceKnob(SnapSliderState& slider, int32_t x, int32_t y);

// Puts the knob back at the centre of the pad.
void CentreKnob(SnapSliderState& slider);

// Recomputes outX and outY from the knob's place. An axis without range keeps its last output.
void UpdateOutputs(SnapSliderState& slider);

// The report's lParam: outX in the low word, outY in the high word, each as 16 bits.
uint32_t ReportParam(const SnapSliderState& slider);

// What the window must do after a mouse event. When `report` is set the outputs are already
// updated and the window posts them (if notifyMessage is not 0).
struct SliderResponse {
    bool repaint = false;      // invalidate the whole control, erasing the background
    bool report = false;       // post the report to the parent
    bool restartTimer = false; // start the 100 ms report period again from now
};

// Button down at a client point: on the knob it only starts tracking; elsewhere the knob jumps
// to the point at once and the report period restarts.
SliderResponse PressSlider(SnapSliderState& slider, int32_t x, int32_t y);

// Pointer moved over the pad: the knob follows while tracking.
SliderResponse MoveOverSlider(SnapSliderState& slider, int32_t x, int32_t y);

// Button up over the pad: tracking ends and the knob snaps back to the centre.
SliderResponse ReleaseSlider(SnapSliderState& slider);

// The periodic report: the outputs of the knob as it stands.
SliderResponse SliderTimerTick(SnapSliderState& slider);
