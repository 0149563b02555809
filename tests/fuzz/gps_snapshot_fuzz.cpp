// Any bytes the GPS server may publish, one record after another, as the cluster reads them
// tick by tick: the reading holds only values a receiver can report, and the course hold, the
// odometer, the trip, the trail and the gauge values built on it stay finite and in range.
#include <cmath>
#include <memory>

#include "fuzz_input.h"
#include "shell/frame_tick.h"
#include "sources/course_hold.h"
#include "sources/gauge_values.h"
#include "sources/peer_readings.h"
#include "state/app_state.h"
#include "state/nav_state.h"

namespace {

bool Between(float v, float low, float high) {
    return v >= low && v <= high;
}

void RequireReceivable(const GpsSnapshot& r) {
    Require(Between(r.latitude, -90.0f, 90.0f) && Between(r.longitude, -180.0f, 180.0f));
    Require(Between(r.speedKnots, 0.0f, 1000.0f) && Between(r.course, 0.0f, 360.0f));
    Require(Between(r.altitude, -2000.0f, 60000.0f));
    Require(Between(r.depthFeet, 0.0f, 36500.0f) && Between(r.depthMeters, 0.0f, 11100.0f));
    Require(std::isfinite(r.geoidSeparation) && std::isfinite(r.pdop) && std::isfinite(r.hdop) &&
            std::isfinite(r.vdop));
    const SystemTime16& t = r.utcTime;
    const bool none = t.year == 0 && t.month == 0 && t.day == 0 && t.hour == 0 && t.minute == 0 &&
                      t.second == 0 && t.milliseconds == 0;
    Require(none || (t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour < 24 &&
                     t.minute < 60 && t.second < 60 && t.milliseconds < 1000));
    // A fix always has a position on the globe.
    Require(r.fixValid == 0 || (std::isfinite(r.latitude) && std::isfinite(r.longitude)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto app = std::make_unique<AppState>();
    const auto nav = std::make_unique<NavState>();
    const auto values = std::make_unique<GaugeValues>();
    app->skin.opacity = 255;
    app->skin.shownMask[0] = app->skin.shownMask[1] = ~uint32_t{0};
    ResetGaugeValuesAtStart(*values, app->skin);

    FuzzInput in{data, size};
    const bool metric = (in.Take<uint8_t>() & 1) != 0;
    // Eight ticks at most: enough for a fix, a glitch and a return.
    for (int tick = 0; tick < 8 && in.size > 0; ++tick) {
        GpsSnapshot shared{};
        in.TakeBytes(&shared, sizeof shared);
        const GpsSnapshot before = shared;
        nav->builtInSnapshot = ReadGpsSnapshot(shared);
        Require(std::memcmp(&shared, &before, sizeof shared) == 0);
        RequireReceivable(*nav->snapshot);
        Require(std::memcmp(nav->snapshot->reserved204, shared.reserved204,
                            sizeof shared.reserved204) == 0);

        const float odometer = app->odometer;
        const float trip = nav->tripDistance;
        AdvanceNavigation(*app, *nav, FrameTickContext{});
        Require(app->odometer >= odometer && app->odometer - odometer < kOdometerGlitchStep);
        Require(nav->tripDistance >= trip && nav->tripDistance - trip < kOdometerGlitchStep);
        Require(Between(nav->shownSpeed, 0.0f, 1000.0f) && Between(nav->shownCourse, 0.0f, 360.0f));
        Require(app->displayedHeading >= 0 && app->displayedHeading < 360);
        Require(nav->trail.index < kTrailPoints);

        GaugeInputs gauges;
        gauges.snapshot = nav->snapshot;
        gauges.shownSpeed = nav->shownSpeed;
        gauges.shownCourse = nav->shownCourse;
        gauges.displayedHeading = app->displayedHeading;
        gauges.metric = metric;
        gauges.odometer = app->odometer;
        gauges.tripDistance = nav->tripDistance;
        ComputeGaugeValues(*values, app->skin, gauges, nullptr);
        for (int k = 0; k < kGaugeKindCount; ++k)
            Require(std::isfinite(values->value[k]) && std::isfinite(values->needleValue[k]));
    }
    for (const GeoPoint& p : nav->trail.points)
        Require(Between(p.latitude, -90.0f, 90.0f) && Between(p.longitude, -180.0f, 180.0f));
    return 0;
}
