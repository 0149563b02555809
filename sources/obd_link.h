// The cluster's connection to the OBD-II reader: attach state, registration with the reader's
// window, and the once-a-second upkeep. The steps are portable; the Windows side supplies the
// three platform operations (sources/obd_feed_win.h).
#pragma once

#include <functional>

#include "sources/obd_snapshot.h"

struct ObdFeed {
    void* mapping = nullptr;     // HANDLE of "KELBO2"; held exactly while `view` is
    ObdSnapshot* view = nullptr; // the reader's record; null while not attached
    bool registered = false;     // the reader knows the main window since its link came up
};

inline bool ObdFeedAttached(const ObdFeed& feed) {
    return feed.view != nullptr;
}

struct ObdLinkOps {
    std::function<void()> attach;   // one attach attempt (OpenObdFeed)
    std::function<bool()> announce; // registration with the reader's window; false: not found
    std::function<void()> request;  // RequestObdPids
};

// The OBD-II step of the second tick: attach while detached; a reader whose link is down is
// announced to again when it comes back; otherwise announce once and send the PID requests.
void ObdSecondStep(ObdFeed& feed, const ObdLinkOps& ops);

// The idle re-request later in the second tick (run only while "Hide Mouse" is on): attach if
// detached, then send the PID requests again while the reader reports "Idle".
void ObdIdleStep(ObdFeed& feed, const ObdLinkOps& ops);
