#include "sources/obd_requests.h"

namespace {

constexpr uint32_t Pid(int n) {
    return uint32_t{1} << n;
}

// Kind pairs (digital kind and its dial) and the PIDs each needs.
struct KindRequest {
    int kinds[3];
    int kindCount;
    uint32_t pids;
    uint8_t options;
};

constexpr KindRequest kKindRequests[] = {
    // Vehicle speed; the bank 2 long-term trim gauges ask for it as well.
    {{kKindObd2Speed, kKindObd2Speedometer}, 2, Pid(0x0D), 0},
    {{kKindObd2Ltft2, kKindObd2Ltft2Gauge}, 2, Pid(0x0D) | Pid(0x09), 0},
    {{kKindObd2Mpg, kKindObd2MpgGauge, kKindObd2LtMpg}, 3, Pid(0x07) | Pid(0x0D) | Pid(0x10), 0},
    {{kKindObd2Rpm, kKindObd2RpmGauge}, 2, Pid(0x0C), 0},
    {{kKindObd2ConstLoad, kKindObd2ClvGauge}, 2, Pid(0x04), 0},
    {{kKindObd2TimingAdv, kKindObd2TAdvGauge}, 2, Pid(0x0E), 0},
    {{kKindObd2AirInTemp, kKindObd2AitGauge}, 2, Pid(0x0F), 0},
    {{kKindObd2MafRate, kKindObd2MafGauge}, 2, Pid(0x10), 0},
    {{kKindObd2ThrottlePos, kKindObd2TpsGauge}, 2, Pid(0x11), 0},
    {{kKindObd2InManifPres, kKindObd2ImpGauge}, 2, Pid(0x0B), 0},
    {{kKindObd2Stft1, kKindObd2Stft1Gauge}, 2, Pid(0x06), 0},
    {{kKindObd2Stft2, kKindObd2Stft2Gauge}, 2, Pid(0x08), 0},
    {{kKindObd2Ltft1, kKindObd2Ltft1Gauge}, 2, Pid(0x07), 0},
    {{kKindObd2FuelPressure, kKindObd2FpGauge}, 2, Pid(0x0A), 0},
    {{kKindObd2CoolantTemp, kKindObd2CtGauge}, 2, Pid(0x05), 0},
    {{kKindObd2Volts, kKindObd2VoltsGauge}, 2, 0, kObdOptionVolts},
};

} // namespace

ObdRequests ObdRequestsForSkin(const SkinRecord& skin) {
    ObdRequests requests;
    for (const KindRequest& row : kKindRequests) {
        for (int i = 0; i < row.kindCount; ++i) {
            if (IsKindShown(skin, row.kinds[i])) {
                requests.pidMask |= row.pids;
                requests.optionBits |= row.options;
                break;
            }
        }
    }
    return requests;
}

void ApplyObdRequests(ObdSnapshot& snapshot, const ObdRequests& requests) {
    if ((snapshot.pidRequestMask & requests.pidMask) != requests.pidMask)
        snapshot.pidRequestMask |= requests.pidMask;
    if ((snapshot.optionFlags & requests.optionBits) != requests.optionBits)
        snapshot.optionFlags = static_cast<uint8_t>(snapshot.optionFlags | requests.optionBits);
}

void SetObdMetricOption(ObdSnapshot& snapshot, bool metric) {
    if (metric)
        snapshot.optionFlags = static_cast<uint8_t>(snapshot.optionFlags | kObdOptionMetric);
    else
        snapshot.optionFlags = static_cast<uint8_t>(snapshot.optionFlags & ~kObdOptionMetric);
}
