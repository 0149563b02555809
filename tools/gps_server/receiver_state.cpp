#include "tools/gps_server/receiver_state.h"

#include <algorithm>
#include <iterator>

namespace {

constexpr uint8_t kStatusNoFix = 1;
constexpr uint8_t kStatus2D = 2;
constexpr uint8_t kStatus3D = 3;

} // namespace

GpsSnapshot NoFixRecord() {
    GpsSnapshot record{};
    record.serverStatus = kStatusNoFix;
    return record;
}

void ResetReceiver(ReceiverState& state) {
    state = ReceiverState{};
}

void SetFixValid(ReceiverState& state, bool valid) {
    state.record.fixValid = valid ? 1 : 0;
    if (!valid) {
        state.record.serverStatus = kStatusNoFix;
    } else {
        state.record.serverStatus = state.fixMode == kFixMode2D ? kStatus2D : kStatus3D;
    }
}

void ShowSatellites(ReceiverState& state) {
    GpsSnapshot& record = state.record;
    int slot = 0;
    int usedSlot = 0;
    int inView = 0;
    std::fill(std::begin(record.satellites), std::end(record.satellites), SatelliteEntry{});
    std::fill(std::begin(record.usedPrns), std::end(record.usedPrns), uint8_t{0});
    for (const SatelliteGroup& group : state.groups) {
        inView += group.inView;
        for (int i = 0; i < group.shownCount && slot < kSatelliteSlots; ++i)
            record.satellites[slot++] = group.shown[i];
        // The record keeps used satellites in bytes: numbers above 255 cannot be listed.
        for (int i = 0; i < group.usedCount && usedSlot < kSatelliteSlots; ++i)
            if (group.used[i] <= 255)
                record.usedPrns[usedSlot++] = static_cast<uint8_t>(group.used[i]);
    }
    record.satsInView = static_cast<uint8_t>(std::min(inView, 255));
}
