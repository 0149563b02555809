#include "shell/pointer_hiding.h"

#include "state/app_state.h"

PointerAction PointerHidingStep(AppState& app, PointI32 position) {
    PointerAction action = PointerAction::None;
    if (position.x == app.lastCursorPos.x && position.y == app.lastCursorPos.y) {
        if (!app.cursorHidden) {
            app.stillSeconds += 1;
            if (app.stillSeconds == kStillSecondsBeforeHiding) {
                action = PointerAction::Hide;
                app.cursorHidden = true;
            }
        }
    } else {
        if (app.cursorHidden) {
            action = PointerAction::Restore;
            app.cursorHidden = false;
        }
        app.stillSeconds = 0;
    }
    app.lastCursorPos = position;
    return action;
}
