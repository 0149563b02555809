#include "sources/course_hold_app.h"

#include "sources/course_hold.h"

void HoldCourseAndSpeed(NavState& nav, AppState& app) {
    GeoPoint odoLastPos{app.odoLastPos.latitude, app.odoLastPos.longitude};
    HoldCourseAndSpeed(nav, OdometerSettings{app.odometer, odoLastPos});
    app.odoLastPos.latitude = odoLastPos.latitude;
    app.odoLastPos.longitude = odoLastPos.longitude;
}
