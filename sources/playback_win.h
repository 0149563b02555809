// The Windows side of log playback: reading the log file and delivering the server messages to
// the GPS server's window.
#pragma once

#include "sources/playback.h"

// The whole file at `path`, opened for shared reading. `opened` is false when it cannot be opened
// (or is too large to hold); a read that fails part way keeps what was read.
LogFile ReadLogFile(const char* path);

// One message to the window titled "TarvoxMsgWnd", looked up for every message (the server may
// come and go during a playback), sent with WM_COPYDATA and waited for; skipped when no such
// window exists.
void SendToGpsServer(const ServerMessage& message);
