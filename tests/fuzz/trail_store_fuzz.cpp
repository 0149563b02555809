// Any "Trails.dat": the ring taken from it is always one the program can append to and draw
// (magic "TR01", index below 2048, every point on the globe), a well-formed file keeps every
// point that is on the globe, and appends and breaks keep the two breaks ahead of the newest
// point.
#include <cstring>
#include <memory>

#include "fuzz_input.h"
#include "state/trail_ring.h"

namespace {

bool OnTheGlobe(const GeoPoint& p) {
    return p.latitude >= -90.0f && p.latitude <= 90.0f && p.longitude >= -180.0f &&
           p.longitude <= 180.0f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto ring = std::make_unique<TrailRing>();
    TrailFromFileBytes(*ring, data, size);
    Require(std::memcmp(ring->magic, "TR01", 4) == 0 && ring->index < kTrailPoints);
    for (const GeoPoint& p : ring->points)
        Require(OnTheGlobe(p));

    // What a well-formed file holds is what the ring holds, but for the points off the globe.
    auto file = std::make_unique<TrailRing>();
    std::memset(file->magic, 0, sizeof file->magic);
    std::memcpy(file.get(), data, size < sizeof *file ? size : sizeof *file);
    // A short file is the beginning of an empty ring, its index bytes included.
    const bool wellFormed = std::memcmp(file->magic, "TR01", 4) == 0 && file->index < kTrailPoints;
    if (wellFormed) {
        Require(ring->index == file->index);
        for (uint32_t i = 0; i < kTrailPoints; ++i) {
            const GeoPoint& stored = file->points[i];
            if (OnTheGlobe(stored))
                Require(std::memcmp(&ring->points[i], &stored, sizeof stored) == 0);
            else
                Require(ring->points[i].latitude == 0.0f && ring->points[i].longitude == 0.0f);
        }
    } else {
        for (const GeoPoint& p : ring->points)
            Require(p.latitude == 0.0f && p.longitude == 0.0f);
        Require(ring->index == 0);
    }

    // The last bytes, read as points, go on the loaded ring.
    FuzzInput tail{data + (size > 64 ? size - 64 : 0), size > 64 ? 64 : size};
    while (tail.size > 0) {
        const uint8_t op = tail.Take<uint8_t>();
        if (op & 1) {
            InsertTrailBreak(*ring);
            const uint32_t previous = ring->index == 0 ? kTrailPoints - 1 : ring->index - 1;
            Require(ring->points[previous].latitude == 0.0f);
        } else {
            GeoPoint p{};
            p.latitude = float(tail.Take<int16_t>()) / 400.0f; // within +-82 degrees
            p.longitude = float(tail.Take<int16_t>()) / 200.0f;
            const uint32_t at = ring->index;
            AppendTrailPoint(*ring, p);
            Require(std::memcmp(&ring->points[at], &p, sizeof p) == 0);
            Require(ring->points[ring->index].latitude == 0.0f);
            Require(ring->points[(ring->index + 1) % kTrailPoints].latitude == 0.0f);
        }
        Require(ring->index < kTrailPoints);
    }
    return 0;
}
