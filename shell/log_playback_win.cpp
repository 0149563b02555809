#include "shell/log_playback_win.h"

#include <windows.h>

#include <commctrl.h>

#include "shell/program_win.h"
#include "sources/playback.h"
#include "sources/playback_win.h"
#include "state/app_state.h"
#include "state/nav_state.h"
#include "state/trail_ring.h"

namespace {

constexpr int kProgressBarId = 1003;

} // namespace

PlaybackState& Playback() {
    static PlaybackState state;
    return state;
}

bool StartPlayback(const char* path) {
    InsertTrailBreak(Nav().trail);
    return StartPlayback(Playback(), ReadLogFile(path), SendToGpsServer);
}

void StopPlayback() {
    StopPlayback(Playback(), SendToGpsServer);
}

bool PlaybackPlaying() {
    return PlaybackLoaded(Playback());
}

uint32_t PlaybackProgressPosition() {
    return PlaybackProgress(Playback());
}

uint32_t PlaybackProgressMaximum() {
    return PlaybackProgressRange(Playback());
}

void PlaybackFrameStep(const AppState& app) {
    PlaybackState& state = Playback();
    if (!PlaybackLoaded(state)) return;
    if (app.configDialog != nullptr) {
        SendDlgItemMessageA(static_cast<HWND>(app.configDialog), kProgressBarId, PBM_SETPOS,
                            PlaybackProgress(state), 0);
    }
    PlaybackTick(state, app.playSpeed, SendToGpsServer);
}

void ReleasePlayback() {
    if (PlaybackLoaded(Playback())) StopPlayback();
}
