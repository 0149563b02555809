// The one distance rule between two positions: spherical law of cosines on a sphere of
// 3437.2861 nautical miles per radian (one minute of arc per nautical mile).
#pragma once

#include "state/geo_point.h"

// Degree-to-radian factor used throughout the program (single precision, not exactly pi/180).
constexpr float kDegreesToRadians = 0.01745566f;
constexpr double kNauticalMilesPerRadian = 3437.2861;
// Unit factors from nautical miles.
constexpr float kStatuteMilesPerNauticalMile = 1.151f;
constexpr float kKilometresPerNauticalMile = 1.852f;

// Distance from a to b in nautical miles times `unitFactor` (1.151: statute miles, 1.852: km).
// Equal positions give 0, never NaN.
float GreatCircleDistance(const GeoPoint& a, const GeoPoint& b, float unitFactor);
