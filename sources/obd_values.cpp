#include "sources/obd_values.h"

#include <cmath>

#include "sources/peer_readings.h"
#include "state/skin_record.h"

namespace {

// Conversion factors (single precision, as the cluster has always used them).
constexpr float kPercentPerCount = 0.39215687f; // 100 / 255
constexpr float kRpmPerCount = 0.25f;
constexpr float kTimingDegreesPerCount = 0.5f;
constexpr float kTimingOffset = 64.0f;
constexpr float kCelsiusOffset = 40.0f;
constexpr float kGramsPerSecondPerCount = 0.01f;
constexpr float kInHgPerKpa = 0.29529983f;
constexpr float kTrimPercentPerCount = 0.7812f;
constexpr int kTrimZero = 128;
constexpr float kPsiPerKpa = 0.14503774f;
constexpr int kFuelKpaPerCount = 3;
constexpr float kHundredths = 0.01f;
constexpr float kThousandths = 0.001f;
constexpr float kTenths = 0.1f;
// No vehicle comes near this; a garbage speed factor from the reader is held to it so that
// needles, ranges and texts only ever see finite, printable numbers.
constexpr float kSpeedLimit = 1.0e6f;

float Celsius(uint16_t raw, bool metric) {
    float celsius = static_cast<float>(raw) - kCelsiusOffset;
    return metric ? celsius : celsius * 1.8f + 32.0f;
}

float Trim(uint16_t raw) {
    return kTrimPercentPerCount * static_cast<float>(int{raw} - kTrimZero);
}

float Speed(uint16_t raw, float factor, bool metric) {
    float speed = static_cast<float>(raw) * (metric ? 1.0f : UsableObdSpeedFactor(factor));
    if (std::isnan(speed)) return 0.0f;
    if (speed > kSpeedLimit) return kSpeedLimit;
    if (speed < -kSpeedLimit) return -kSpeedLimit;
    return speed;
}

void SetPair(float* value, int digitalKind, float v) {
    value[digitalKind] = v;
    value[digitalKind + 1] = v;
}

} // namespace

void FillObdValues(float* value, const ObdSnapshot& snapshot, bool metric, uint16_t mpgTime) {
    // The reader writes the record concurrently: every field is read once.
    auto pid = [&snapshot](int n) { return ObdRawPid(snapshot, n); };

    SetPair(value, kKindObd2Speed, Speed(pid(0x0D), snapshot.speedFactor, metric));

    const int figure = mpgTime == 0 ? 0 : mpgTime == 1 ? 1 : 2;
    SetPair(value, kKindObd2Mpg, kHundredths * static_cast<float>(snapshot.mpgHundredths[figure]));
    value[kKindObd2LtMpg] = kHundredths * static_cast<float>(snapshot.mpgHundredths[2]);

    SetPair(value, kKindObd2Rpm, kRpmPerCount * static_cast<float>(pid(0x0C)));
    SetPair(value, kKindObd2ConstLoad, kPercentPerCount * static_cast<float>(pid(0x04)));
    SetPair(value, kKindObd2TimingAdv,
            kTimingDegreesPerCount * static_cast<float>(pid(0x0E)) - kTimingOffset);
    SetPair(value, kKindObd2AirInTemp, Celsius(pid(0x0F), metric));
    SetPair(value, kKindObd2MafRate, kGramsPerSecondPerCount * static_cast<float>(pid(0x10)));
    SetPair(value, kKindObd2ThrottlePos, kPercentPerCount * static_cast<float>(pid(0x11)));
    SetPair(value, kKindObd2InManifPres, kInHgPerKpa * static_cast<float>(pid(0x0B)));
    SetPair(value, kKindObd2Stft1, Trim(pid(0x06)));
    SetPair(value, kKindObd2Stft2, Trim(pid(0x08)));
    SetPair(value, kKindObd2Ltft1, Trim(pid(0x07)));
    SetPair(value, kKindObd2Ltft2, Trim(pid(0x09)));
    SetPair(value, kKindObd2FuelPressure,
            kPsiPerKpa * static_cast<float>(kFuelKpaPerCount * int{pid(0x0A)}));
    SetPair(value, kKindObd2CoolantTemp, Celsius(pid(0x05), metric));
    value[kKindObd2Odometer] = kThousandths * static_cast<float>(snapshot.odometerMilli);
    value[kKindObd2Trip] = kThousandths * static_cast<float>(snapshot.tripMilli);
    SetPair(value, kKindObd2Volts, kTenths * static_cast<float>(snapshot.voltsTenths));
}
