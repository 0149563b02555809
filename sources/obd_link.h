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

// How the reader's window took the registration message.
enum class ReaderAnswer {
    Absent,   // no such window: the reader has not started or has gone
    Answered, // it handled the message
    Busy,     // it is there but did not answer in time: slow or hung, not gone
};

struct ObdLinkOps {
    std::function<void()> attach;           // one attach attempt (OpenObdFeed)
    std::function<ReaderAnswer()> announce; // registration with the reader's window
    std::function<void()> request;          // RequestObdPids
};

// The OBD-II step of the second tick: attach while detached; a reader whose link is down is
// announced to again when it comes back; otherwise announce once and send the PID requests. A
// busy reader still gets the requests (they go through its memory, not its window) and is
// announced to again the next second, since the registration may not have reached it.
void ObdSecondStep(ObdFeed& feed, const ObdLinkOps& ops);

// The idle re-request later in the second tick (run only while "Hide Mouse" is on): attach if
// detached, then send the PID requests again while the reader reports "Idle".
void ObdIdleStep(ObdFeed& feed, const ObdLinkOps& ops);
