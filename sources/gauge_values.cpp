#include "sources/gauge_values.h"

#include <cmath>
#include <cstdint>

#include "sources/obd_values.h"

namespace {

// Unit factors of the value table (single precision, as the program has always used them).
constexpr float kFeetPerMetre = 3.281f;
constexpr float kKmhPerKnot = 1.852f;
constexpr float kMphPerKnot = 1.151f;
constexpr float kOneTwelfth = 0.083333336f;
constexpr float kOneThird = 0.33333334f;
// A needle within this many units of its value snaps onto it.
constexpr float kNeedleSnap = 3.0f;
// Range growth applies to dial styles below this "Type".
constexpr uint16_t kFixedRangeStyle = 8;

constexpr int kDialKinds[] = {kKindSpeedometer,    kKindObd2Speedometer, kKindObd2MpgGauge,
                              kKindObd2RpmGauge,   kKindObd2ClvGauge,    kKindObd2TAdvGauge,
                              kKindObd2AitGauge,   kKindObd2MafGauge,    kKindObd2TpsGauge,
                              kKindObd2ImpGauge,   kKindObd2Stft1Gauge,  kKindObd2Stft2Gauge,
                              kKindObd2Ltft1Gauge, kKindObd2Ltft2Gauge,  kKindObd2FpGauge,
                              kKindObd2CtGauge,    kKindObd2VoltsGauge,  kKindDepthGauge};

void SetChanged(GaugeValues& values, int kind) {
    values.changedMask[kind / 32] |= uint32_t{1} << (kind % 32);
}

void FillGpsAndTimeValues(float* value, const GaugeInputs& in) {
    const GpsSnapshot& s = *in.snapshot;
    const float heading = static_cast<float>(in.displayedHeading);
    const float second = static_cast<float>(in.localTime.second);
    const float speed = in.shownSpeed * (in.metric ? kKmhPerKnot : kMphPerKnot);

    value[kKindCourse] = in.shownCourse;
    value[kKindHorizVantrel] = heading;
    value[kKindVantrel] = heading;
    value[kKindKnots] = in.shownSpeed;
    value[kKindAltitude] = s.altitude * (in.metric ? 1.0f : kFeetPerMetre);
    value[kKindOdometer] = in.odometer;
    value[kKindLongitude] = s.longitude;
    value[kKindLatitude] = s.latitude;
    // Change keys: these pictures depend on more than one number, and the key moves exactly
    // when the picture must be redrawn (the composer formats the time and the distance home).
    value[kKindTime] = second;
    value[kKindShortDate] = second;
    value[kKindLongDate] = second;
    value[kKindTrip] = in.tripDistance;
    value[kKindDistHome] = s.longitude;
    value[kKindSatellites] = heading;
    value[kKindClock] = second;
    value[kKindHomeTarget] = s.longitude;
    value[kKindTrails] = heading + s.longitude;
    value[kKindSpeed] = speed;
    value[kKindSpeedometer] = speed;
    value[kKindDepth] = in.metric ? s.depthMeters : s.depthFeet;
    value[kKindDepthGauge] = value[kKindDepth];
    if (!in.obdAttached) {
        // Without the reader the OBD-II speed pair shows the held GPS speed, unconverted.
        value[kKindObd2Speed] = in.shownSpeed;
        value[kKindObd2Speedometer] = in.shownSpeed;
    }
}

// A dial whose value passed its "Range" gets the next multiple of 5 above the value.
void GrowRange(GaugeRecord& record, float value) {
    // Compared as floats so huge or NaN values never reach an integer conversion.
    if (!(value >= static_cast<float>(record.paramA) + 1.0f)) return;
    int32_t v = value >= 65535.0f ? 65535 : static_cast<int32_t>(value);
    int32_t range = (v + 5) / 5 * 5;
    record.paramA = static_cast<uint16_t>(range > 65535 ? 65535 : range);
}

} // namespace

bool IsDialKind(int kind) {
    for (int k : kDialKinds)
        if (k == kind) return true;
    return false;
}

bool KindChanged(const GaugeValues& values, int kind) {
    if (kind < 0 || kind >= kGaugeKindCount) return false;
    return (values.changedMask[kind / 32] >> (kind % 32)) & 1u;
}

void ResetGaugeValuesAtStart(GaugeValues& values, const SkinRecord& skin) {
    values = GaugeValues{};
    ResetGaugeValuesForSkin(values, skin);
}

void ResetGaugeValuesForSkin(GaugeValues& values, const SkinRecord& skin) {
    for (int k = 0; k < kGaugeKindCount; ++k) {
        values.lastValue[k] = kNoLastValue;
        values.value[k] = 0.0f;
        values.needleValue[k] = static_cast<float>(KindRecord(skin, k).paramB);
    }
}

bool ComputeGaugeValues(GaugeValues& values, SkinRecord& skin, const GaugeInputs& in,
                        RectI32* hitRects) {
    if ((skin.opacity & 0xFF) == 0) return false;

    if (hitRects != nullptr)
        for (int k = 0; k < kGaugeKindCount; ++k)
            hitRects[k] = RectI32{};

    float* value = values.value;
    FillGpsAndTimeValues(value, in);
    if (in.obdAttached && in.obd != nullptr)
        FillObdValues(value, *in.obd, in.metric, KindRecord(skin, kKindObd2Mpg).paramB);

    values.speedRing[values.speedRingIndex] =
        in.obdAttached ? value[kKindObd2Speed] : value[kKindSpeed];
    values.speedRingIndex =
        values.speedRingIndex >= kSpeedRingSamples - 1 ? 0 : values.speedRingIndex + 1;
    float ringSum = 0.0f;
    for (float sample : values.speedRing)
        ringSum += sample;
    value[kKindAvgSpeed] = ringSum * kOneTwelfth;

    uint32_t signal = 0;
    for (const SatelliteEntry& satellite : in.snapshot->satellites)
        signal += satellite.snr;
    value[kKindSignal] = static_cast<float>(signal);

    for (uint32_t& word : values.changedMask)
        word = 0;
    bool changed = false;
    for (int k = 0; k < kGaugeKindCount; ++k) {
        if (!IsKindShown(skin, k)) continue;
        values.history[k][values.historyIndex[k]] = value[k];
        values.historyIndex[k] =
            values.historyIndex[k] + 1 >= kHistorySamples ? 0 : values.historyIndex[k] + 1;
        if (values.lastValue[k] != value[k]) {
            changed = true;
            values.lastValue[k] = value[k];
            SetChanged(values, k);
        }
        if (!IsDialKind(k)) continue;
        GaugeRecord& record = KindRecord(skin, k);
        if (record.paramD < kFixedRangeStyle && k != kKindObd2RpmGauge) GrowRange(record, value[k]);
        float& needle = values.needleValue[k];
        // A needle that took a NaN would never come back: NaN minus a third of NaN is NaN.
        if (!std::isfinite(needle)) needle = value[k];
        if (needle != value[k]) {
            float d = needle - value[k];
            if (d >= -kNeedleSnap && d <= kNeedleSnap)
                needle = value[k];
            else
                needle = needle - d * kOneThird;
            changed = true;
            SetChanged(values, k);
        }
    }
    return changed;
}
