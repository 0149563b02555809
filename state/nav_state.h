// NavState: the navigation and trip singleton. It holds the GPS server feed (the snapshot every
// reader uses), the course and speed hold of the frame tick, the odometer and trip references,
// the trip log flag and the trail ring.
#pragma once

#include <cstdint>

#include "state/win_types.h"
#include "state/geo_point.h"
#include "state/gps_snapshot.h"
#include "state/trail_ring.h"

struct NavState {
    NavState() = default;
    // `snapshot` may point into the object itself, so it is never copied.
    NavState(const NavState&) = delete;
    NavState& operator=(const NavState&) = delete;

    // --- GPS server feed ---
    // Mapping handle of "TarvoxGPS" (a HANDLE); null while not attached.
    void* gpsMapping = nullptr;
    // The built-in record: all zeros (no fix) while detached; the location sensor fills it in
    // sensor mode.
    GpsSnapshot builtInSnapshot{};
    // The mapped view of the server's section while attached; only the feed reads it.
    GpsSnapshot* gpsView = nullptr;
    // This tick's reading of the view, with what no receiver can report taken out.
    GpsSnapshot reading{};
    // What every reader uses: the built-in record, or `reading` while attached.
    GpsSnapshot* snapshot = &builtInSnapshot;
    // Trip start, local time: refreshed by every attach attempt until the feed attaches.
    SystemTime16 tripStart{};

    // --- location sensor feed (an ISensor and the current ISensorDataReport; the sensor's
    // presence is what sensor mode means) ---
    void* sensor = nullptr;
    void* sensorReport = nullptr;

    // --- course and speed hold of the frame tick ---
    float shownSpeed = 0.0f;  // knots
    float shownCourse = 0.0f; // degrees
    bool stoppedHold = true;  // nothing is shown until a fix above 2.5 knots
    bool fixSeen = false;     // the previous tick had a valid fix
    float previousCourse = 0.0f;
    uint16_t lastFixSecond = 0; // utcTime seconds when the odometer and trip steps last ran

    // --- odometer and trip ---
    GeoPoint odoRef{};   // where the odometer last advanced; unset at start
    GeoPoint trailRef{}; // where the trip last advanced; unset at start and after a trip
    // Where the last fix too far from the reference to count landed; a second fix near it means
    // the receiver really is elsewhere now. Unset while the fixes count.
    GeoPoint odoJump{};
    GeoPoint trailJump{};
    float tripDistance = 0.0f; // statute miles

    // --- trip log ---
    uint8_t tripLogging = 0; // 0 or 1, mirrors AppState's tripLogOn

    // --- trail store ---
    TrailRing trail{};
};

// True while the feed is attached to the GPS server's section.
inline bool GpsFeedAttached(const NavState& nav) {
    return nav.gpsMapping != nullptr;
}
