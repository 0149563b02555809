#include <windows.h>

#include "state/app_state.h"
#include "shell/program_win.h"
#include "sources/gps_feed_win.h"
#include "sources/location_sensor_win.h"
#include "state/nav_state.h"
#include "sources/system_time_win.h"
#include "trip/trail_store_win.h"
#include "trip/trip_log_win.h"

namespace {

bool gMainWindowRan = false;

// NavState with the work that has to happen when the process ends: after GDI+ is shut down and
// the settings were saved, the last trip log line and the trail store are written.
struct NavStateOwner {
    NavState nav;
    ~NavStateOwner() {
        // AppState was made before this object, so it is still there.
        WriteTripLine(nav, App().tripLogPath, LocalTimeNow16());
        // A second start never ran the window: it must not overwrite the running copy's trail.
        if (gMainWindowRan) {
            SaveTrailStore(nav.trail);
        }
        nav.trailRef = GeoPoint{};
        CloseGpsFeed(nav);
        ReleaseLocationSensor(nav);
        nav.snapshot = &nav.builtInSnapshot;
    }
};

} // namespace

NavState& Nav() {
    static NavStateOwner owner;
    return owner.nav;
}

void MarkMainWindowRan() {
    gMainWindowRan = true;
}
bool MainWindowRan() {
    return gMainWindowRan;
}
