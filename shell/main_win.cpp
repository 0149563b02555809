// WinMain of Vantrel. The program-lifetime singletons are constructed here, before the entry
// point runs, in their order; they are destroyed after it returns, in reverse order: the drawing
// object (GDI+ shutdown) first, then the OBD-II connection, then NavState (last trip log line,
// trail store).
#include <windows.h>

#include "render/gauge_display_win.h"
#include "state/app_state.h"
#include "shell/program_win.h"
#include "sources/obd_feed_win.h"

namespace {

struct ProgramSingletons {
    ProgramSingletons() {
        // AppState first: NavState's teardown still reads it (the trip log path).
        App();
        Nav();
        Obd(); // attaches to the OBD-II reader's memory when the reader runs
        Display();
    }
};

ProgramSingletons singletons;

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int /*show*/) {
    return RunVantrel(instance, commandLine);
}
