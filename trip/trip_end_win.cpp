#include "trip/trip_end_win.h"

#include "trip/trail_store_win.h"
#include "trip/trip_log_win.h"

void EndTrip(NavState& nav, const char* tripLogPath, const SystemTime16& endTime) {
    WriteTripLine(nav, tripLogPath, endTime);
    SaveTrailStore(nav.trail);
    nav.trailRef = GeoPoint{};
}
