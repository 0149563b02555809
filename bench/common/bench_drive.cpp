#include "bench/common/bench_drive.h"

#include "shell/frame_tick.h"
#include "sources/obd_requests.h"

namespace {

constexpr double kStartLatitude = 47.6205;
constexpr double kStartLongitude = 122.3493; // positive to the west
constexpr float kHomeNorth = 0.02f;          // degrees of latitude
constexpr uint8_t kLinkWorking = 3;
// Seconds of driving at most while filling the trail: the loop's stops make it slow.
constexpr uint32_t kTrailFillLimit = 200000;

SystemTime16 UtcAt(uint32_t second) {
    SystemTime16 t;
    t.year = 2026;
    t.month = 6;
    t.day = 1;
    t.dayOfWeek = 1;
    t.hour = uint16_t((10 + second / 3600) % 24);
    t.minute = uint16_t(second / 60 % 60);
    t.second = uint16_t(second % 60);
    return t;
}

} // namespace

BenchDrive StartBenchDrive(const SkinRecord& skin) {
    BenchDrive drive;
    drive.car = StartDrive(kStartLatitude, kStartLongitude);
    ApplyObdRequests(drive.obd, ObdRequestsForSkin(skin));
    drive.obd.linkState = kLinkWorking;
    return drive;
}

GeoPoint BenchHome() {
    return {float(kStartLatitude) + kHomeNorth, float(kStartLongitude)};
}

void NextBenchSecond(BenchDrive& drive, GpsSnapshot& gps) {
    AdvanceDrive(drive.car);
    DriveSnapshot(drive.car, UtcAt(drive.car.second), gps);
    AdvanceEngine(drive.engine, 1.0);
    ReaderValues values;
    EngineValues(drive.engine, values);
    values.linkState = kLinkWorking;
    PublishReaderValues(values, drive.obd);
}

uint32_t DriveUntilTrailIsFull(BenchDrive& drive, AppState& app, NavState& nav) {
    uint32_t seconds = 0;
    uint32_t appended = 0;
    uint32_t lastIndex = nav.trail.index;
    while (appended < kTrailPoints && seconds < kTrailFillLimit) {
        NextBenchSecond(drive, *nav.snapshot);
        AdvanceNavigation(app, nav, FrameTickContext{});
        if (nav.trail.index != lastIndex) {
            appended += (nav.trail.index + kTrailPoints - lastIndex) % kTrailPoints;
            lastIndex = nav.trail.index;
        }
        ++seconds;
    }
    return seconds;
}
