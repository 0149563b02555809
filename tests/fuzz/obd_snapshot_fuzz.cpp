// Any values the OBD-II reader may publish, as the cluster reads them: every OBD-II kind gets a
// finite value within what its 16-bit raw figure converts to, the status word is one of the
// reader's words, and the cluster's requests only ever add bits to the reader's words.
#include <cmath>
#include <cstring>
#include <memory>

#include "fuzz_input.h"
#include "sources/gauge_values.h"
#include "sources/obd_requests.h"
#include "sources/obd_snapshot.h"
#include "sources/obd_values.h"
#include "sources/peer_readings.h"

namespace {

constexpr float kRaw = 65535.0f;

struct Range {
    int kind;
    float low, high;
};

// What each kind can show: its conversion applied to raw 0 and raw 65535, in either unit.
const Range kRanges[] = {
    {kKindObd2Speed, 0.0f, kRaw* kMaxObdSpeedFactor},
    {kKindObd2Mpg, 0.0f, kRaw * 0.01f},
    {kKindObd2LtMpg, 0.0f, kRaw * 0.01f},
    {kKindObd2Rpm, 0.0f, kRaw * 0.25f},
    {kKindObd2ConstLoad, 0.0f, kRaw * 0.39215687f},
    {kKindObd2TimingAdv, -64.0f, kRaw * 0.5f - 64.0f},
    {kKindObd2AirInTemp, -40.0f, (kRaw - 40.0f) * 1.8f + 32.0f},
    {kKindObd2MafRate, 0.0f, kRaw * 0.01f},
    {kKindObd2ThrottlePos, 0.0f, kRaw * 0.39215687f},
    {kKindObd2InManifPres, 0.0f, kRaw * 0.29529983f},
    {kKindObd2Stft1, -128.0f * 0.7812f, (kRaw - 128.0f) * 0.7812f},
    {kKindObd2Stft2, -128.0f * 0.7812f, (kRaw - 128.0f) * 0.7812f},
    {kKindObd2Ltft1, -128.0f * 0.7812f, (kRaw - 128.0f) * 0.7812f},
    {kKindObd2Ltft2, -128.0f * 0.7812f, (kRaw - 128.0f) * 0.7812f},
    {kKindObd2FuelPressure, 0.0f, 3.0f * kRaw * 0.14503774f},
    {kKindObd2CoolantTemp, -40.0f, (kRaw - 40.0f) * 1.8f + 32.0f},
    {kKindObd2Volts, 0.0f, kRaw * 0.1f},
};

bool Near(float v, float low, float high) {
    // One part in a million for the rounding of single precision.
    const float slack = 1e-6f * (std::fabs(low) + std::fabs(high)) + 1e-6f;
    return v >= low - slack && v <= high + slack;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto record = std::make_unique<ObdSnapshot>();
    std::memset(record.get(), 0, sizeof *record);
    FuzzInput in{data, size};
    const uint8_t options = in.Take<uint8_t>();
    const uint16_t mpgTime = in.Take<uint16_t>();
    const uint64_t shown = in.Take<uint64_t>();
    // The bytes the cluster reads: the head with the link and the PID slots, then the tail with
    // the reader's figures and the speed factor.
    in.TakeBytes(record.get(), offsetof(ObdSnapshot, reserved200));
    in.TakeBytes(&record->odometerMilli, sizeof *record - offsetof(ObdSnapshot, odometerMilli));

    const bool metric = (options & 1) != 0;
    float value[kGaugeKindCount] = {};
    FillObdValues(value, *record, metric, mpgTime);
    for (const Range& r : kRanges) {
        Require(Near(value[r.kind], r.low, r.high));
        if (r.kind != kKindObd2LtMpg) Require(value[r.kind + 1] == value[r.kind]);
    }
    Require(Near(value[kKindObd2Odometer], 0.0f, 4294967295.0f * 0.001f));
    Require(Near(value[kKindObd2Trip], 0.0f, 4294967295.0f * 0.001f));
    if (metric) Require(value[kKindObd2Speed] == float(ObdRawPid(*record, 0x0D)));

    const char* word = ObdStatusWord(record.get());
    bool known = false;
    for (const char* w : kObdStateWords)
        known = known || word == w;
    Require(known);

    // The cluster's writes into the reader's record add bits and change no other byte.
    SkinRecord skin = DefaultSkinRecord();
    std::memcpy(skin.shownMask, &shown, sizeof skin.shownMask);
    const auto before = std::make_unique<ObdSnapshot>(*record);
    const ObdRequests requests = ObdRequestsForSkin(skin);
    ApplyObdRequests(*record, requests);
    Require((record->pidRequestMask & before->pidRequestMask) == before->pidRequestMask);
    Require((record->pidRequestMask & requests.pidMask) == requests.pidMask);
    Require((record->optionFlags & before->optionFlags) == before->optionFlags);
    record->pidRequestMask = before->pidRequestMask;
    record->optionFlags = before->optionFlags;
    Require(std::memcmp(record.get(), before.get(), sizeof *record) == 0);
    return 0;
}
