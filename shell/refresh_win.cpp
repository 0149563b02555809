// The two timers of the main window: the frame tick (timer 0), the program's main loop, and the
// second tick (timer 1).
#include <windows.h>

#include "config/dialog_ids.h"

#include "state/app_state.h"
#include "shell/desktop_win.h"
#include "shell/frame_tick.h"
#include "shell/host_follow.h"
#include "shell/log_playback_win.h"
#include "shell/main_window_win.h"
#include "shell/pointer_hiding.h"
#include "shell/program_win.h"
#include "render/compose.h"
#include "render/gauge_display_win.h"
#include "sources/gauge_clock_win.h"
#include "sources/gauge_inputs_app.h"
#include "sources/gauge_values.h"
#include "sources/gps_feed_win.h"
#include "sources/location_sensor_win.h"
#include "state/nav_state.h"
#include "sources/obd_feed_win.h"

namespace {

// Keeps the gauge window at its offsets from the host window, and closes the program when the
// host is gone. Returns false when the main window was destroyed.
bool FollowHostWindow(HWND window) {
    AppState& app = App();
    HWND host = static_cast<HWND>(app.hostWindow);
    if (host == nullptr) {
        return true;
    }
    if (!IsWindow(host)) {
        DestroyWindow(window);
        return false;
    }
    RECT r;
    if (!GetWindowRect(host, &r)) {
        return true;
    }
    const RectI32 hostRect{r.left, r.top, r.right, r.bottom};
    const HostPlacement placement = PlaceOnHost(hostRect, app.lastHostRect, app.hostOffsetX,
                                                app.hostOffsetY, app.frameWidth, app.frameHeight);
    if (placement.move) {
        SetWindowPos(window, HWND_TOP, placement.x, placement.y, 0, 0, SWP_NOSIZE);
    }
    app.lastHostRect = hostRect;
    return true;
}

} // namespace

void FrameTick(HWND window) {
    AppState& app = App();
    NavState& nav = Nav();
    GaugeDisplay& display = Display();

    // 1-2. Position source.
    if (nav.sensor != nullptr) {
        ReadLocationSensor(nav);
    }
    OpenGpsFeed(nav); // attaches while not attached and not in sensor mode
    ReadGpsFeed(nav);

    // 3-7. Trail break, course and speed hold, heading smoothing.
    FrameTickContext context;
    context.configDialogOpen = app.configDialog != nullptr;
    context.playbackActive = PlaybackPlaying();
    context.dialogKind = app.dialogKind;
    AdvanceNavigation(app, nav, context);
    if (context.configDialogOpen) {
        char status[64];
        wsprintfA(status, "Tarvox %s\r\nOBD-II %s",
                  GpsStatusWord(*nav.snapshot, GpsFeedAttached(nav)), ObdStatusWord(Obd().view));
        SetDlgItemTextA(static_cast<HWND>(app.configDialog), IDC_STATUS, status);
    }

    // 8. Values and frame.
    const ObdFeed& obd = Obd();
    GaugeInputs inputs =
        MakeGaugeInputs(nav, app, GaugeLocalTime(*nav.snapshot), ObdFeedAttached(obd));
    inputs.obd = obd.view;
    const bool changed = ComputeGaugeValues(display.values, app.skin, inputs, display.hitRects);
    if (changed || context.configDialogOpen) {
        Compose(display, app, nav, app.frameWidth, app.frameHeight, app.displayedHeading);
    }

    // 9. Host window.
    FollowHostWindow(window);

    // 10. Playback: the records go to the server now and show on the next tick.
    PlaybackFrameStep(app);
}

void SecondTick(HWND window) {
    AppState& app = App();
    ObdSecondTick(Obd(), app.skin, window);
    if (!HasOption(app, kOptionHideMouse)) {
        return;
    }
    POINT p{};
    GetCursorPos(&p);
    switch (PointerHidingStep(app, PointI32{p.x, p.y})) {
    case PointerAction::Hide:
        HidePointer();
        break;
    case PointerAction::Restore:
        RestorePointer();
        break;
    case PointerAction::None:
        break;
    }
    ObdIdleTick(Obd(), app.skin, window);
}
