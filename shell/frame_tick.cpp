#include "shell/frame_tick.h"

#include "state/app_state.h"
#include "shell/heading.h"
#include "state/skin_record.h"
#include "sources/course_hold.h"
#include "state/nav_state.h"

void AdvanceNavigation(AppState& app, NavState& nav, const FrameTickContext& context) {
    BreakTrailOnRegainedFix(nav);
    HoldCourseAndSpeed(nav, OdometerSettings{app.odometer, app.odoLastPos});

    int32_t target = HeadingFromCourse(nav.shownCourse);
    if (context.configDialogOpen && !context.playbackActive && context.dialogKind == kKindVantrel) {
        target = PreviewHeading(app.displayedHeading);
    }
    if (HeadingSmoothingWanted(app.skin.shownMask[0]) && target != app.displayedHeading) {
        app.displayedHeading = SmoothHeading(app.displayedHeading, target);
    }
}
