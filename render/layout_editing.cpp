#include "render/layout_editing.h"

#include <algorithm>

#include "render/circular_view.h"

namespace {

// A nudge stops this far short of the frame's right and bottom edges, so that some of the gauge
// always stays on the frame to be seen and picked again.
constexpr int32_t kNudgeMarginX = 20;
constexpr int32_t kNudgeMarginY = 10;

bool IsEditableKind(int32_t kind) {
    return kind >= 0 && kind < kGaugeKindCount;
}

// The circular view is placed by "Satellites" but hit as "Trails", so its three kinds only ever
// move as one; otherwise dragging or nudging the view would change a record nobody sees.
void PlaceGauge(SkinRecord& skin, int32_t kind, uint16_t x, uint16_t y) {
    auto place = [&](int32_t moved) {
        KindRecord(skin, moved).x = x;
        KindRecord(skin, moved).y = y;
    };
    if (!IsCircularViewKind(kind)) {
        place(kind);
        return;
    }
    for (int32_t moved : {kKindSatellites, kKindHomeTarget, kKindTrails})
        place(moved);
}

bool Contains(const RectI32& r, const PointI32& p) {
    return r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom;
}

// One nudged coordinate: never below 0, and not past the limit when the frame allows it.
int32_t Nudged(int32_t position, int32_t delta, int32_t limit) {
    return std::max(std::min(position + delta, limit), 0);
}

} // namespace

void EditStep(GaugeDisplay& display, int32_t kind) {
    AppState& app = App();
    EditState& edit = display.edit;
    if (!IsEditableKind(kind)) return;
    // The user works in the dialog and on the cluster by turns: either being active will do.
    if (app.configDialog == nullptr || !(display.hooks.isActiveWindow(display.window) ||
                                         display.hooks.isActiveWindow(app.configDialog)))
        return;

    const PointI32 screen = display.hooks.cursorPosition();
    const PointI32 p{screen.x - app.windowRect.left, screen.y - app.windowRect.top};
    const RectI32& r = display.hitRects[kind];

    // Kinds come in increasing order, so under overlapping gauges the lowest kind is picked.
    if (edit.pickedKind == -1 && !edit.dragging && p.x >= 0 && Contains(r, p))
        edit.pickedKind = kind;

    if (kind != edit.selectedKind) return;

    if (edit.dragAnchorX != -1) {
        if (edit.dragging) {
            // No limits: a gauge dragged off the left or top wraps round in 16 bits.
            PlaceGauge(app.skin, kind, uint16_t(p.x - edit.dragAnchorX),
                       uint16_t(p.y - edit.dragAnchorY));
        } else {
            edit.selectedKind = -1;
            edit.dragAnchorX = -1;
        }
    }

    if (!edit.dragging && edit.highlightTicks > 0) --edit.highlightTicks;
    if (edit.highlightTicks <= 0) edit.selectedKind = -1;

    // Drawn even when the selection just ended: the rectangle inverts and the back buffer does
    // not hold it, so it appears and vanishes on alternate frames while the window is not
    // repainted there; that is the blink.
    display.hooks.drawFocusRect(display.window, r);
}

void BeginDrag(GaugeDisplay& display, const SkinRecord& skin, int32_t clientX, int32_t clientY) {
    EditState& edit = display.edit;
    if (!IsEditableKind(edit.selectedKind)) return;
    const GaugeRecord& gauge = KindRecord(skin, edit.selectedKind);
    edit.dragging = true;
    edit.dragAnchorX = clientX - gauge.x;
    edit.dragAnchorY = clientY - gauge.y;
}

void EndDrag(GaugeDisplay& display) {
    display.edit.dragging = false;
}

void Highlight(GaugeDisplay& display, int32_t kind) {
    display.edit.selectedKind = kind;
    display.edit.highlightTicks = kHighlightFrames;
}

void ChooseInList(GaugeDisplay& display, int32_t kind) {
    Highlight(display, kind);
    display.edit.pickedKind = kind;
}

SliderOutcome SliderReport(GaugeDisplay& display, AppState& app, int16_t outX, int16_t outY) {
    EditState& edit = display.edit;
    SliderOutcome outcome;
    const int32_t current = app.dialogKind;
    const bool editable = IsEditableKind(current);

    // The slider's outputs are positive towards its top left; the gauge moves with the knob.
    const int32_t dx = -int32_t(outX);
    const int32_t dy = -int32_t(outY);
    const bool nudge = editable && (dx != 0 || dy != 0);
    if (nudge) {
        const GaugeRecord& gauge = KindRecord(app.skin, current);
        const int32_t x = Nudged(gauge.x, dx, app.frameWidth - kNudgeMarginX);
        const int32_t y = Nudged(gauge.y, dy, app.frameHeight - kNudgeMarginY);
        PlaceGauge(app.skin, current, uint16_t(x), uint16_t(y));
        Highlight(display, current);
    }
    // While a mouse drag moves the gauge, the fields follow it.
    if (nudge || (editable && edit.dragging)) {
        outcome.showPosition = true;
        outcome.x = KindRecord(app.skin, current).x;
        outcome.y = KindRecord(app.skin, current).y;
    }

    display.fullRepaint = false;
    display.hooks.invalidate(display.window, nullptr);

    if (edit.pickedKind >= 0) {
        if (edit.pickedKind != current) {
            app.dialogKind = edit.pickedKind;
            edit.selectedKind = edit.pickedKind;
            outcome.takeOverKind = edit.pickedKind;
        }
        edit.highlightTicks = kHighlightFrames;
        edit.pickedKind = -1;
    }
    return outcome;
}
