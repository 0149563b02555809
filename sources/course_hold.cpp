#include "sources/course_hold.h"

#include "sources/great_circle.h"

namespace {

// A course jump of more than this many degrees at a crawl means the receiver's course is noise.
constexpr float kCourseJump = 20.0f;
constexpr float kStandingSpeed = 1.3f; // knots
constexpr float kMovingSpeed = 2.5f;   // knots

} // namespace

bool CountableStep(float d, float minimum) {
    // Written as a positive test so that a distance that is not a number never counts.
    return d >= minimum && d < kOdometerGlitchStep;
}

bool Relocated(GeoPoint& jump, const GeoPoint& reference, const GeoPoint& current) {
    const float d = GreatCircleDistance(reference, current, kStatuteMilesPerNauticalMile);
    if (!(d >= kOdometerGlitchStep)) return false; // counted, too small, or not a number
    const bool again =
        IsSet(jump) &&
        GreatCircleDistance(jump, current, kStatuteMilesPerNauticalMile) < kOdometerGlitchStep;
    jump = again ? GeoPoint{} : current;
    return again;
}

void OdometerStep(NavState& nav, float& odometer, const GeoPoint& current) {
    if (IsSet(nav.odoRef)) {
        float d = GreatCircleDistance(nav.odoRef, current, kStatuteMilesPerNauticalMile);
        if (CountableStep(d, kOdometerMinStep)) {
            odometer += d;
            nav.odoRef = current;
            nav.odoJump = GeoPoint{};
        } else if (Relocated(nav.odoJump, nav.odoRef, current)) {
            nav.odoRef = current;
        }
    }
    if (!IsSet(nav.trailRef)) nav.trailRef = current;
}

void TripStep(NavState& nav, GeoPoint& odoLastPos, const GeoPoint& current) {
    if (Relocated(nav.trailJump, nav.trailRef, current)) {
        // Measured from here on, and the trail is not joined across the jump.
        nav.trailRef = current;
        InsertTrailBreak(nav.trail);
        return;
    }
    float d = GreatCircleDistance(nav.trailRef, current, kStatuteMilesPerNauticalMile);
    if (!CountableStep(d, kTripMinStep)) return;
    nav.trailJump = GeoPoint{};
    nav.tripDistance += d;
    nav.trailRef = current;
    odoLastPos = current;
    AppendTrailPoint(nav.trail, current);
}

void BreakTrailOnRegainedFix(NavState& nav) {
    if (nav.snapshot->fixValid != 0 && !nav.fixSeen) InsertTrailBreak(nav.trail);
}

void HoldCourseAndSpeed(NavState& nav, OdometerSettings settings) {
    const GpsSnapshot& s = *nav.snapshot;
    const float speed = s.speedKnots;
    const float course = s.course;

    // A plain difference: 359 to 1 is a jump of -358, which at a crawl engages the hold.
    float d = course - nav.previousCourse;
    if ((d > kCourseJump || d < -kCourseJump) && nav.fixSeen && speed < kStandingSpeed) {
        nav.shownSpeed = 0.0f;
        nav.stoppedHold = true;
    }
    if (speed > kMovingSpeed) nav.stoppedHold = false;

    if (s.fixValid != 0 && !nav.stoppedHold) {
        nav.shownSpeed = speed;
        nav.shownCourse = course;
        const GeoPoint current{s.latitude, s.longitude};
        if (nav.odoRef.latitude == 0.0f) nav.odoRef = current;
        // At most once per GPS second, and not while the latitude stands still. An unset
        // position is no place to measure to.
        if (IsSet(current) && s.utcTime.second != nav.lastFixSecond &&
            settings.odoLastPos.latitude != s.latitude) {
            nav.lastFixSecond = s.utcTime.second;
            OdometerStep(nav, settings.odometer, current);
            TripStep(nav, settings.odoLastPos, current);
        }
    }

    nav.previousCourse = course;
    nav.fixSeen = s.fixValid != 0;
}
