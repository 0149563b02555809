// The trail ring: the last 2048 positions passed, kept in memory exactly as in "Trails.dat".
// A point with latitude exactly 0 is a break that ends a trail; after every append the slot at
// `index` and the one after it are breaks, so the newest and the oldest points never join.
#pragma once

#include <cstddef>
#include <cstdint>

#include "state/geo_point.h"

constexpr uint32_t kTrailPoints = 2048;
constexpr const char kTrailFileName[] = "Trails.dat";

struct TrailRing {
    char magic[4] = {'T', 'R', '0', '1'};
    uint32_t index = 0; // slot the next point goes to, 0..2047
    GeoPoint points[kTrailPoints] = {};
};
static_assert(sizeof(TrailRing) == 16392, "TrailRing is the 16392-byte file image");
static_assert(offsetof(TrailRing, magic) == 0, "TrailRing.magic");
static_assert(offsetof(TrailRing, index) == 4, "TrailRing.index");
static_assert(offsetof(TrailRing, points) == 8, "TrailRing.points");

// Back to the empty ring: "TR01", index 0, every point (0, 0).
void ClearTrail(TrailRing& ring);

// Writes the point at `index`, advances it (wrapping) and marks the two slots ahead as breaks.
void AppendTrailPoint(TrailRing& ring, const GeoPoint& point);

// Ends the current trail unless it already ends in a break (no double breaks).
void InsertTrailBreak(TrailRing& ring);

// Takes the ring from the first `size` bytes of a stored file: a short file replaces only the
// beginning of an empty ring. A file with another magic, or whose index is 2048 or more (which
// would let the next append write past the ring), gives the empty ring. A point whose latitude
// or longitude is not a number or lies beyond +-90 or +-180 degrees becomes a break (0, 0).
void TrailFromFileBytes(TrailRing& ring, const void* bytes, size_t size);
