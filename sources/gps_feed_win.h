// Attaching to the GPS server's shared section "TarvoxGPS" as a reader.
#pragma once

#include "state/nav_state.h"

// At window start and at the start of every frame tick, before anything reads nav.snapshot.
// Does nothing in sensor mode (nav.sensor set) or while attached; otherwise one attach attempt:
// open the section, map it, count this reader in `clientCount`. Every attempt, successful or
// not, sets nav.tripStart to the local time, so the trip starts when the server is found.
void OpenGpsFeed(NavState& nav);

// At every frame tick after OpenGpsFeed, before anything reads nav.snapshot: while attached,
// takes this tick's reading of the server's record (ReadGpsSnapshot, sources/peer_readings.h);
// otherwise passes the built-in record, which the location sensor fills, through the same gate.
void ReadGpsFeed(NavState& nav);

// At program exit: counts this reader out (never below 0), unmaps the view and points
// nav.snapshot back at the built-in record.
void CloseGpsFeed(NavState& nav);
