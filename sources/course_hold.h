// The course and speed hold of the frame tick, and the odometer and trip steps it drives.
//
// The hold keeps the shown speed and course still while the vehicle stands, so the course does
// not wander with the receiver's noise; on each new fix second while moving it advances the
// lifetime odometer, the trip distance and the trail ring.
#pragma once

#include "state/geo_point.h"
#include "state/nav_state.h"

// Below this many statute miles a step is neither counted nor moves the odometer reference, so
// small moves accumulate. At or above the glitch limit a step is a position glitch and is not
// counted, by the odometer and the trip alike; the next fix is measured from the last good
// position again. Only when a second fix in a row lands near the first far one (a log played
// back from elsewhere, a receiver moved while off) do both measure on from there, uncounted.
constexpr float kOdometerMinStep = 0.01f;
constexpr float kOdometerGlitchStep = 200.0f;
// The trip and the trail advance in steps of at least this many statute miles.
constexpr float kTripMinStep = 0.09f;

// The one gate of both steps: at least `minimum` and below the glitch limit; a distance that is
// not a number never passes.
bool CountableStep(float d, float minimum);
// True on the second fix in a row beyond the glitch limit from `reference` and near the first
// (kept in `jump`): the receiver is elsewhere now and `current` is the new reference.
bool Relocated(GeoPoint& jump, const GeoPoint& reference, const GeoPoint& current);

// The persisted settings the steps advance (fields of AppState, saved with the settings).
struct OdometerSettings {
    float& odometer;      // "Odometer", statute miles
    GeoPoint& odoLastPos; // "OdoLastPos", where the trip last advanced
};

// Adds the step from nav.odoRef to `current` to the odometer when it is at least 0.01 and
// below 200 miles; then starts the trip reference if it is unset.
void OdometerStep(NavState& nav, float& odometer, const GeoPoint& current);

// Adds the step from nav.trailRef to `current` to the trip when it is at least 0.09 and below
// 200 miles, moves the references there and appends the point to the trail ring.
void TripStep(NavState& nav, GeoPoint& odoLastPos, const GeoPoint& current);

// Step 3 of the frame tick: a fix after a tick without one breaks the trail, so the track
// driven before the gap is never joined to the one after it.
void BreakTrailOnRegainedFix(NavState& nav);

// Step 4 of the frame tick, on nav.snapshot: updates shownSpeed, shownCourse, stoppedHold,
// previousCourse and fixSeen, and runs OdometerStep and TripStep when they are due.
void HoldCourseAndSpeed(NavState& nav, OdometerSettings settings);
