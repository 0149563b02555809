// The OBD-II reader's record, the PID requests of the shown kinds, the engine values in display
// units, and the second tick's attach and registration steps.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "state/skin_record.h"
#include "sources/gauge_values.h"
#include "sources/obd_link.h"
#include "sources/obd_requests.h"
#include "sources/obd_snapshot.h"
#include "sources/obd_values.h"

namespace {

SkinRecord SkinShowing(std::initializer_list<int> kinds) {
    SkinRecord skin = DefaultSkinRecord();
    skin.opacity = 255;
    skin.shownMask[0] = skin.shownMask[1] = 0;
    for (int k : kinds)
        SetKindShown(skin, k, true);
    return skin;
}

uint32_t Bits(std::initializer_list<int> bits) {
    uint32_t mask = 0;
    for (int b : bits)
        mask |= uint32_t{1} << b;
    return mask;
}

std::unique_ptr<ObdSnapshot> ZeroRecord() {
    auto record = std::make_unique<ObdSnapshot>();
    std::memset(record.get(), 0, sizeof(ObdSnapshot));
    return record;
}

} // namespace

TEST(ObdRecord, FieldsSitWhereTheReaderWritesThem) {
    auto record = ZeroRecord();
    auto* bytes = reinterpret_cast<uint8_t*>(record.get());
    bytes[2] = 7;
    bytes[88] = 0x34; // PID 0x04, little-endian: only the low 16 bits count
    bytes[89] = 0x12;
    bytes[90] = 0xFF;
    bytes[124] = 100; // PID 0x0D
    const float factor = 0.621371f;
    std::memcpy(bytes + 10268, &factor, 4);
    const uint16_t volts = 138;
    std::memcpy(bytes + 9744, &volts, 2);
    EXPECT_EQ(record->linkState, 7);
    EXPECT_EQ(ObdRawPid(*record, 0x04), 0x1234);
    EXPECT_EQ(ObdRawPid(*record, 0x0D), 100);
    EXPECT_EQ(ObdRawPid(*record, 32), 0) << "no slot beyond PID 31";
    EXPECT_EQ(ObdRawPid(*record, -1), 0);
    EXPECT_EQ(record->speedFactor, factor);
    EXPECT_EQ(record->voltsTenths, 138);

    EXPECT_STREQ(ObdStatusWord(nullptr), "N/C");
    const char* words[] = {"N/C", "Closed", "Open", "Working", "Init", "TO", "Busy", "Idle"};
    for (uint8_t s = 0; s < 8; ++s) {
        record->linkState = s;
        EXPECT_STREQ(ObdStatusWord(record.get()), words[s]);
    }
    record->linkState = 200; // a state the reader should never publish
    EXPECT_STREQ(ObdStatusWord(record.get()), "N/C");
}

TEST(ObdRequests, ShownKindsAskForTheirPids) {
    struct Case {
        std::initializer_list<int> kinds;
        uint32_t pids;
        uint8_t options;
    };
    const Case cases[] = {
        {{kKindObd2RpmGauge}, Bits({12}), 0},
        {{kKindObd2Ltft2}, Bits({9, 13}), 0},
        {{kKindObd2Volts}, 0, kObdOptionVolts},
        {{kKindObd2VoltsGauge}, 0, kObdOptionVolts},
        {{kKindObd2LtMpg}, Bits({7, 13, 16}), 0},
        {{kKindObd2MpgGauge}, Bits({7, 13, 16}), 0},
        {{kKindObd2Speedometer}, Bits({13}), 0},
        {{kKindObd2ClvGauge, kKindObd2TAdvGauge, kKindObd2AitGauge}, Bits({4, 14, 15}), 0},
        {{kKindObd2MafRate, kKindObd2TpsGauge, kKindObd2ImpGauge}, Bits({16, 17, 11}), 0},
        {{kKindObd2Stft1, kKindObd2Stft2Gauge, kKindObd2Ltft1Gauge}, Bits({6, 8, 7}), 0},
        {{kKindObd2FpGauge, kKindObd2CoolantTemp}, Bits({10, 5}), 0},
        {{kKindObd2Odometer, kKindObd2Trip, kKindSpeedometer, kKindDepth}, 0, 0},
    };
    for (const Case& c : cases) {
        const ObdRequests r = ObdRequestsForSkin(SkinShowing(c.kinds));
        EXPECT_EQ(r.pidMask, c.pids) << "first kind " << *c.kinds.begin();
        EXPECT_EQ(r.optionBits, c.options) << "first kind " << *c.kinds.begin();
    }
    // Every OBD-II kind but the reader's odometer and trip asks for something.
    for (int k = kKindObd2Speed; k <= kKindObd2VoltsGauge; ++k) {
        const ObdRequests r = ObdRequestsForSkin(SkinShowing({k}));
        const bool asks = r.pidMask != 0 || r.optionBits != 0;
        EXPECT_EQ(asks, k != kKindObd2Odometer && k != kKindObd2Trip) << "kind " << k;
    }
}

TEST(ObdRequests, BitsAreOnlyEverAddedAndMetricIsASwitch) {
    auto record = ZeroRecord();
    record->pidRequestMask = Bits({1, 31}); // set earlier by another program
    record->optionFlags = kObdOptionMetric;
    ApplyObdRequests(*record, ObdRequestsForSkin(SkinShowing({kKindObd2RpmGauge})));
    EXPECT_EQ(record->pidRequestMask, Bits({1, 12, 31}));
    EXPECT_EQ(record->optionFlags, kObdOptionMetric);
    ApplyObdRequests(*record, ObdRequestsForSkin(SkinShowing({kKindObd2Volts})));
    EXPECT_EQ(record->pidRequestMask, Bits({1, 12, 31}));
    EXPECT_EQ(record->optionFlags, kObdOptionMetric | kObdOptionVolts);
    ApplyObdRequests(*record, ObdRequests{});
    EXPECT_EQ(record->pidRequestMask, Bits({1, 12, 31}));

    SetObdMetricOption(*record, false);
    EXPECT_EQ(record->optionFlags, kObdOptionVolts);
    SetObdMetricOption(*record, true);
    EXPECT_EQ(record->optionFlags, kObdOptionVolts | kObdOptionMetric);
    EXPECT_EQ(record->pidRequestMask, Bits({1, 12, 31}));
}

TEST(ObdValues, RawValuesBecomeDisplayUnits) {
    auto record = ZeroRecord();
    ObdSnapshot& r = *record;
    r.pidSlot[0x0D] = 0xABCD0000u | 100; // only the low 16 bits are the value
    r.speedFactor = 0.621371f;
    r.pidSlot[0x0C] = 3 * 256 + 0xE8; // 1000 counts
    r.pidSlot[0x04] = 255;
    r.pidSlot[0x0E] = 148; // 10 degrees before top dead centre
    r.pidSlot[0x0F] = 40;
    r.pidSlot[0x10] = 1234;
    r.pidSlot[0x11] = 51;
    r.pidSlot[0x0B] = 100;
    r.pidSlot[0x06] = 128 + 10; // rich/lean signs: above 128 adds fuel
    r.pidSlot[0x08] = 128 - 10;
    r.pidSlot[0x07] = 255;
    r.pidSlot[0x09] = 0;
    r.pidSlot[0x0A] = 100;
    r.pidSlot[0x05] = 130;
    r.odometerMilli = 4294967295u;
    r.tripMilli = 12345;
    r.voltsTenths = 138;
    r.mpgHundredths[0] = 2512;
    r.mpgHundredths[1] = 3000;
    r.mpgHundredths[2] = 3141;

    float v[kGaugeKindCount] = {};
    FillObdValues(v, r, false, 0);
    auto pair = [&](int kind, float expected) {
        EXPECT_FLOAT_EQ(v[kind], expected) << "kind " << kind;
        EXPECT_EQ(v[kind + 1], v[kind]) << "dial of kind " << kind;
    };
    pair(kKindObd2Speed, 62.1371f);
    pair(kKindObd2Mpg, 25.12f);
    EXPECT_FLOAT_EQ(v[kKindObd2LtMpg], 31.41f);
    pair(kKindObd2Rpm, 250.0f);
    pair(kKindObd2ConstLoad, 100.0f);
    pair(kKindObd2TimingAdv, 10.0f);
    pair(kKindObd2AirInTemp, 32.0f); // 0 degrees Celsius in Fahrenheit
    pair(kKindObd2MafRate, 12.34f);
    pair(kKindObd2ThrottlePos, 20.0f);
    pair(kKindObd2InManifPres, 29.529983f);
    pair(kKindObd2Stft1, 7.812f);
    pair(kKindObd2Stft2, -7.812f);
    pair(kKindObd2Ltft1, 99.2124f);
    pair(kKindObd2Ltft2, -99.9936f);
    pair(kKindObd2FuelPressure, 43.511322f);
    pair(kKindObd2CoolantTemp, 194.0f);
    EXPECT_FLOAT_EQ(v[kKindObd2Odometer], 4294967.295f) << "unsigned, never negative";
    EXPECT_FLOAT_EQ(v[kKindObd2Trip], 12.345f);
    pair(kKindObd2Volts, 13.8f);
    EXPECT_EQ(v[kKindObd2Speed], static_cast<float>(100) * 0.621371f);

    // Metric: the reader's speed as it is, temperatures in Celsius; pressures keep their units.
    FillObdValues(v, r, true, 1);
    pair(kKindObd2Speed, 100.0f);
    pair(kKindObd2AirInTemp, 0.0f);
    pair(kKindObd2CoolantTemp, 90.0f);
    pair(kKindObd2InManifPres, 29.529983f);
    pair(kKindObd2Mpg, 30.0f);
    FillObdValues(v, r, true, 7);
    pair(kKindObd2Mpg, 31.41f);
    // A cold morning: raw 0 is 40 below, the same in both scales.
    r.pidSlot[0x05] = 0;
    FillObdValues(v, r, false, 0);
    pair(kKindObd2CoolantTemp, -40.0f);
    r.pidSlot[0x0E] = 0;
    FillObdValues(v, r, false, 0);
    pair(kKindObd2TimingAdv, -64.0f);
}

TEST(ObdValues, AnySpeedFactorGivesAFiniteSpeed) {
    auto record = ZeroRecord();
    record->pidSlot[0x0D] = 65535;
    const float factors[] = {std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::max(),
                             -3.0e38f,
                             1.0e-45f};
    for (float f : factors) {
        record->speedFactor = f;
        float v[kGaugeKindCount] = {};
        FillObdValues(v, *record, false, 0);
        EXPECT_TRUE(std::isfinite(v[kKindObd2Speed])) << f;
        EXPECT_LE(std::fabs(v[kKindObd2Speed]), 1.0e6f) << f;
    }
    record->speedFactor = std::numeric_limits<float>::quiet_NaN();
    float v[kGaugeKindCount] = {};
    FillObdValues(v, *record, true, 0);
    EXPECT_EQ(v[kKindObd2Speed], 65535.0f) << "metric never uses the factor";
}

TEST(ObdValues, ThePassFillsTheKindsOnlyWhileAttached) {
    SkinRecord skin = SkinShowing({kKindObd2RpmGauge, kKindObd2Speed, kKindAvgSpeed});
    auto values = std::make_unique<GaugeValues>();
    ResetGaugeValuesAtStart(*values, skin);
    GpsSnapshot gps{};
    auto record = ZeroRecord();
    record->pidSlot[0x0C] = 8000;
    record->pidSlot[0x0D] = 60;
    record->speedFactor = 0.5f;
    KindRecord(skin, kKindObd2Mpg).paramB = 1;
    record->mpgHundredths[1] = 2200;

    GaugeInputs in;
    in.snapshot = &gps;
    in.shownSpeed = 4.0f;
    in.obdAttached = true;
    in.obd = record.get();
    EXPECT_TRUE(ComputeGaugeValues(*values, skin, in, nullptr));
    EXPECT_EQ(values->value[kKindObd2RpmGauge], 2000.0f);
    EXPECT_EQ(values->value[kKindObd2Speed], 30.0f);
    EXPECT_FLOAT_EQ(values->value[kKindObd2Mpg], 22.0f) << "\"Time\" of OBD2 MPG picks the figure";
    EXPECT_EQ(values->speedRing[0], 30.0f) << "the average speed follows the reader's speed";
    EXPECT_TRUE(KindChanged(*values, kKindObd2RpmGauge));

    // The reader goes away: its speed pair falls back to the GPS knots, the rest stays.
    in.obdAttached = false;
    in.obd = nullptr;
    ComputeGaugeValues(*values, skin, in, nullptr);
    EXPECT_EQ(values->value[kKindObd2RpmGauge], 2000.0f);
    EXPECT_EQ(values->value[kKindObd2Speed], 4.0f);

    // Opacity 0 touches nothing, the reader's values included.
    skin.opacity = 0;
    in.obdAttached = true;
    in.obd = record.get();
    record->pidSlot[0x0C] = 400;
    EXPECT_FALSE(ComputeGaugeValues(*values, skin, in, nullptr));
    EXPECT_EQ(values->value[kKindObd2RpmGauge], 2000.0f);
}

namespace {

// Platform operations that record what the step did; `section` is what an attach finds.
struct FakeReader {
    ObdFeed feed;
    std::unique_ptr<ObdSnapshot> section;
    ReaderAnswer window = ReaderAnswer::Answered;
    std::vector<std::string> calls;

    ObdLinkOps Ops() {
        ObdLinkOps ops;
        ops.attach = [this] {
            calls.push_back("attach");
            if (section) feed.view = section.get();
        };
        ops.announce = [this] {
            calls.push_back(window == ReaderAnswer::Answered ? "announce"
                            : window == ReaderAnswer::Busy   ? "busy"
                                                             : "no window");
            return window;
        };
        ops.request = [this] { calls.push_back("request"); };
        return ops;
    }
    std::vector<std::string> Take() {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }
};

using Calls = std::vector<std::string>;

} // namespace

TEST(ObdLink, AttachRegisterAndRenewWithEveryLinkUp) {
    FakeReader r;
    ObdSecondStep(r.feed, r.Ops());
    EXPECT_EQ(r.Take(), Calls({"attach"})) << "retried every second while the reader is away";
    ObdSecondStep(r.feed, r.Ops());
    EXPECT_EQ(r.Take(), Calls({"attach"}));
    EXPECT_FALSE(r.feed.registered);

    r.section = ZeroRecord();
    r.window = ReaderAnswer::Absent;
    ObdSecondStep(r.feed, r.Ops());
    EXPECT_EQ(r.Take(), Calls({"attach"})) << "link down: nothing to announce to";
    r.section->linkState = 4;
    ObdSecondStep(r.feed, r.Ops());
    EXPECT_EQ(r.Take(), Calls({"no window"}));
    EXPECT_FALSE(r.feed.registered);
    // A reader too busy to answer still gets the requests, and the announcement again.
    r.window = ReaderAnswer::Busy;
    ObdSecondStep(r.feed, r.Ops());
    ObdSecondStep(r.feed, r.Ops());
    EXPECT_EQ(r.Take(), Calls({"busy", "request", "busy", "request"}));
    EXPECT_FALSE(r.feed.registered);
    r.window = ReaderAnswer::Answered;
    ObdSecondStep(r.feed, r.Ops());
    EXPECT_EQ(r.Take(), Calls({"announce", "request"}));
    EXPECT_TRUE(r.feed.registered);
    ObdSecondStep(r.feed, r.Ops());
    EXPECT_EQ(r.Take(), Calls{}) << "announced once per link-up";

    r.section->linkState = 0;
    ObdSecondStep(r.feed, r.Ops());
    EXPECT_FALSE(r.feed.registered);
    r.section->linkState = 3;
    ObdSecondStep(r.feed, r.Ops());
    ObdSecondStep(r.feed, r.Ops());
    EXPECT_EQ(r.Take(), Calls({"announce", "request"})) << "exactly one new announcement";
}

TEST(ObdLink, IdleReaderGetsTheRequestsAgain) {
    FakeReader r;
    ObdIdleStep(r.feed, r.Ops());
    EXPECT_EQ(r.Take(), Calls({"attach"}));
    r.section = ZeroRecord();
    r.section->linkState = kObdLinkIdle;
    ObdIdleStep(r.feed, r.Ops());
    EXPECT_EQ(r.Take(), Calls({"attach", "request"}));
    ObdIdleStep(r.feed, r.Ops());
    EXPECT_EQ(r.Take(), Calls({"request"}));
    r.section->linkState = 3;
    ObdIdleStep(r.feed, r.Ops());
    EXPECT_EQ(r.Take(), Calls{});
}
