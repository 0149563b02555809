#include "state/trail_ring.h"

#include <cstring>

namespace {

uint32_t NextSlot(uint32_t slot) {
    return slot + 1 >= kTrailPoints ? 0 : slot + 1;
}

} // namespace

void ClearTrail(TrailRing& ring) {
    ring = TrailRing{};
}

void AppendTrailPoint(TrailRing& ring, const GeoPoint& point) {
    ring.points[ring.index] = point;
    ring.index = NextSlot(ring.index);
    ring.points[ring.index].latitude = 0.0f;
    ring.points[NextSlot(ring.index)].latitude = 0.0f;
}

void InsertTrailBreak(TrailRing& ring) {
    uint32_t previous = ring.index == 0 ? kTrailPoints - 1 : ring.index - 1;
    if (ring.points[previous].latitude == 0.0f) return;
    ring.points[ring.index].latitude = 0.0f;
    ring.index = NextSlot(ring.index);
    ring.points[ring.index].latitude = 0.0f;
}

void TrailFromFileBytes(TrailRing& ring, const void* bytes, size_t size) {
    ClearTrail(ring);
    if (size > sizeof(TrailRing)) size = sizeof(TrailRing);
    if (size > 0) std::memcpy(&ring, bytes, size);
    static const TrailRing empty{};
    if (std::memcmp(ring.magic, empty.magic, sizeof ring.magic) != 0 || ring.index >= kTrailPoints)
        ClearTrail(ring);
    // A point off the globe (or not a number, which fails both tests) was written by something
    // else than this ring; it becomes a break so that the good points around it are kept.
    for (GeoPoint& point : ring.points)
        if (!(point.latitude >= -90.0f && point.latitude <= 90.0f && point.longitude >= -180.0f &&
              point.longitude <= 180.0f))
            point = GeoPoint{};
}
