// The program's one GaugeDisplay.
#pragma once

#include "render/gauge_display.h"

// Made on first use with the compiled-in skin and the Windows services; the entry point's
// singletons make it third (after NavState and the OBD-II connection), so it is destroyed
// first at exit and GDI+ is shut down before the trip log and trail store are written.
GaugeDisplay& Display();
