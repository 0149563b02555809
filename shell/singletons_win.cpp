#include <windows.h>

#include "shell/program_win.h"
#include "sources/nav_state.h"

namespace {

bool gMainWindowRan = false;

// NavState with the work that has to happen when the process ends: after GDI+ is shut down and
// the settings were saved, the last trip log line and the trail store are written.
struct NavStateOwner {
    NavState nav;
    ~NavStateOwner() {
        // INTEGRATION(trip): write the final trip log line, ending at the local time of now.
        if (gMainWindowRan) {
            // INTEGRATION(trip): save the trail store ("Trails.dat" in the program folder).
        }
        nav.trailRef = GeoPoint{};
        // INTEGRATION(nav): CloseGpsFeed(nav); release the location sensor when one is used.
        nav.sensor = nullptr;
        nav.sensorReport = nullptr;
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
