#include "sources/great_circle.h"

#include <cmath>

float GreatCircleDistance(const GeoPoint& a, const GeoPoint& b, float unitFactor) {
    // sin^2 + cos^2 need not come out as exactly 1, so equal positions are answered directly.
    if (a.latitude == b.latitude && a.longitude == b.longitude) return 0.0f;
    const double k = kDegreesToRadians;
    // The latitudes in radians are rounded to single precision; the rest is done in double, as
    // the original x87 code did in its extended registers. In single precision the cosine of a
    // central angle of a few metres rounds to exactly 1 and short steps would vanish.
    const double phi1 = static_cast<float>(a.latitude * k);
    const double phi2 = static_cast<float>(b.latitude * k);
    const double deltaLambda = (static_cast<double>(b.longitude) - a.longitude) * k;
    double c =
        std::sin(phi1) * std::sin(phi2) + std::cos(phi1) * std::cos(phi2) * std::cos(deltaLambda);
    // Equal positions can round c just above 1 (and antipodes just below -1): acos would be NaN.
    if (c > 1.0) c = 1.0;
    if (c < -1.0) c = -1.0;
    return static_cast<float>(std::acos(c) * kNauticalMilesPerRadian * unitFactor);
}
