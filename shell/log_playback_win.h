// The program's one log playback: what the configuration dialog and the frame tick call.
#pragma once

#include <cstdint>

struct AppState;
struct PlaybackState;

PlaybackState& Playback();

// The dialog's log list: breaks the trail (the replayed track must not join the live one), then
// plays the log at `path`. Returns whether it plays; a missing, unreadable or too short file
// plays nothing (and ends a playback that was running).
bool StartPlayback(const char* path);

// The dialog's "Stop": ends the playback and tells the server.
void StopPlayback();

// Whether a recording is being played back.
bool PlaybackPlaying();

// The dialog's progress bar (control 1003): its position and its upper end, in 16-byte units.
// The upper end exceeds 16 bits for logs above 1 MiB, so the bar wants PBM_SETRANGE32.
uint32_t PlaybackProgressPosition();
uint32_t PlaybackProgressMaximum();

// The frame tick's last step while a recording is loaded: the dialog's progress bar, when the
// dialog is open, then playSpeed + 1 records to the server.
void PlaybackFrameStep(const AppState& app);

// At program exit: a playback still loaded is stopped, so the server goes back to its receiver.
void ReleasePlayback();
