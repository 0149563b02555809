// The navigation half of the frame tick: the trail break after a gap, the course and speed hold
// with its odometer and trip steps, and the heading smoothing. Everything here is plain state
// arithmetic; the Windows half of the tick (feeds, drawing, host window, playback) calls it.
#pragma once

#include <cstdint>

struct AppState;
struct NavState;

struct FrameTickContext {
    bool configDialogOpen = false; // the configuration dialog is open
    bool playbackActive = false;   // a recording is being played back
    int32_t dialogKind = -1;       // the gauge kind the configuration dialog edits
};

// Steps 3 to 7 of the frame tick on the current snapshot of `nav`: a fix after a tick without one
// breaks the trail; the hold decides the shown speed and course; the displayed heading moves one
// smoothing step towards the shown course (or the preview turn of the heading rose while the
// configuration dialog has it selected), when a kind that reads it is shown.
void AdvanceNavigation(AppState& app, NavState& nav, const FrameTickContext& context);
