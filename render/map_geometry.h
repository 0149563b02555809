// The arithmetic of the circular map view, kept apart from the drawing: the view's radius, the
// distance and bearing from the vehicle to a point, where a bearing and a pixel distance land on
// the frame, and the colour and direction of a satellite in the sky plot.
#pragma once

#include <cstdint>

#include "render/gdiplus.h"
#include "state/geo_point.h"
#include "state/gps_snapshot.h"

// The view's radius in pixels for its "Size" (percent of 90 pixels): 80 gives 71, 100 gives 89.
int32_t MapViewRadius(uint16_t size);

// Statute miles from the vehicle at `from` to `to` (the program's one distance rule).
float MapDistanceMiles(const GeoPoint& from, const GeoPoint& to);

// Degrees clockwise from up of `to` seen from `from`, turned back by `rotation` so that the
// heading is up (with a negative rotation, by `shownCourse` instead); 0 when both are the same
// position. North is up and a smaller longitude (further east) is to the right. Not finite when
// a position or the course is not.
double MapBearing(const GeoPoint& from, const GeoPoint& to, int32_t rotation, float shownCourse);

// The screen angle (radians, 0 = right, clockwise) of a bearing in degrees clockwise from up.
// Like every needle of the cluster, the view turns 1.56 rad rather than a quarter turn.
double MapScreenAngle(double bearing);

// The frame point at `bearing` degrees and `distance` pixels from (cx, cy).
gfx::PointF MapPointAt(int32_t cx, int32_t cy, double bearing, double distance);

// Whether any part of the segment from a to b lies within `reach` pixels of (cx, cy).
bool SegmentReachesCircle(const gfx::PointF& a, const gfx::PointF& b, int32_t cx, int32_t cy,
                          double reach);

// The strongest signal among the twelve entries, at least 45.
int32_t StrongestSignal(const SatelliteEntry (&satellites)[kSatelliteSlots]);

// The satellite's number colour: every channel of `color` scaled by snr / strongest (integer
// arithmetic), always opaque.
gfx::Argb SatelliteColor(gfx::Argb color, int32_t snr, int32_t strongest);

// The satellite's direction on the plot: its azimuth, turned by the heading unless north is
// fixed up.
int32_t SatelliteDirection(uint16_t azimuth, int32_t heading, bool fixedNorth);
