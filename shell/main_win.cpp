// WinMain of Vantrel. The program-lifetime singletons are constructed here, before the entry
// point runs, in their order; they are destroyed after it returns, in reverse order: the drawing
// object (GDI+ shutdown) first, then the OBD-II connection, then NavState (last trip log line,
// trail store).
#include <windows.h>

#include "shell/program_win.h"

namespace {

struct ProgramSingletons {
    ProgramSingletons() {
        Nav();
        // INTEGRATION(nav): the OBD-II reader connection (OpenObdFeed), second.
        // INTEGRATION(render): GaugeDisplay (GDI+ start-up, per-kind caches), third.
    }
};

ProgramSingletons singletons;

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
    return RunVantrel(instance, commandLine);
}
