// Layout editing: while the configuration dialog is open the user places gauges on the cluster
// itself. A gauge the dialog selects is outlined by a blinking focus rectangle for a few frames;
// pointing at a gauge makes the dialog take it over; a left-button drag moves the selected gauge
// without limits; the dialog's snap slider nudges it within the frame.
//
// Everything works on GaugeDisplay::edit and the live skin, on the main window's thread only. The
// main window calls BeginDrag and EndDrag, the dialog Highlight, ChooseInList and SliderReport,
// and the frame's end EditStep.
#pragma once

#include <cstdint>

#include "render/gauge_display.h"
#include "state/app_state.h"
#include "state/skin_record.h"

// Frames an outline lasts after a selecting action.
constexpr int32_t kHighlightFrames = 10;

// The editing half of the frame's end for one drawn kind (FinishFrame runs it for every kind
// with a hit rectangle, in increasing order). Only while App()'s configuration dialog is open
// and the main window is active: picks the kind under the pointer for the dialog, moves or drops
// the dragged gauge, counts the outline down and draws the focus rectangle on the window.
void EditStep(GaugeDisplay& display, int32_t kind);

// The main window's left button went down at a client point while the dialog is open: with a
// gauge selected, a drag of it begins. Without one nothing happens.
void BeginDrag(GaugeDisplay& display, const SkinRecord& skin, int32_t clientX, int32_t clientY);

// The left button came up (or the dialog closed): the next editing step drops the selection.
void EndDrag(GaugeDisplay& display);

// Outlines a kind for kHighlightFrames frames (the dialog changed something of it).
void Highlight(GaugeDisplay& display, int32_t kind);

// The dialog's gauge list chose a kind: outlined, and counted as picked so that the next slider
// report confirms it.
void ChooseInList(GaugeDisplay& display, int32_t kind);

// What the dialog must do after a slider report.
struct SliderOutcome {
    bool showPosition = false; // write x and y into the dialog's X and Y fields
    int32_t x = 0;
    int32_t y = 0;
    // A kind picked on the cluster that is now the dialog's kind (app.dialogKind already holds
    // it): select it in the gauge list and refill the dialog's fields. -1: none.
    int32_t takeOverKind = -1;
};

// The dialog's handler of a snap slider report, with the slider's last outputs: nudges the
// dialog's kind (app.dialogKind) the other way round from the outputs, within 0 to frame width
// − 20 and 0 to frame height − 10 (the three kinds of the circular view move together), repaints
// the whole main window, and takes over a kind picked on the cluster.
SliderOutcome SliderReport(GaugeDisplay& display, AppState& app, int16_t outX, int16_t outY);
