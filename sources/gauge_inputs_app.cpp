#include "sources/gauge_inputs_app.h"

GaugeInputs MakeGaugeInputs(const NavState& nav, const AppState& app, const SystemTime16& localTime,
                            bool obdAttached) {
    GaugeInputs in;
    in.snapshot = nav.snapshot;
    in.shownSpeed = nav.shownSpeed;
    in.shownCourse = nav.shownCourse;
    in.displayedHeading = app.displayedHeading;
    in.metric = HasOption(app, kOptionMetric);
    in.odometer = app.odometer;
    in.tripDistance = nav.tripDistance;
    in.localTime = localTime;
    in.obdAttached = obdAttached;
    return in;
}
