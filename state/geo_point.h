// A position as the program keeps it: latitude then longitude, degrees, single precision, with
// the signs of the GPS server's record (longitude positive to the west). A latitude of exactly 0
// means "unset" (and, in the trail ring, a break).
#pragma once

#include <cstddef>

struct GeoPoint {
    float latitude = 0.0f;
    float longitude = 0.0f;
};
static_assert(sizeof(GeoPoint) == 8, "GeoPoint is stored as 8 bytes");
static_assert(offsetof(GeoPoint, longitude) == 4, "GeoPoint.longitude");

inline bool IsSet(const GeoPoint& p) {
    return p.latitude != 0.0f;
}
