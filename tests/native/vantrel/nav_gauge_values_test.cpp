// The per-tick gauge value pass: the value table, change detection, history, needles and range.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "state/skin_record.h"
#include "sources/gauge_values.h"

namespace {

struct Pass {
    SkinRecord skin = DefaultSkinRecord();
    std::unique_ptr<GaugeValues> values = std::make_unique<GaugeValues>();
    GpsSnapshot snapshot{};
    GaugeInputs in;
    RectI32 hitRects[kGaugeKindCount];

    explicit Pass(std::initializer_list<int> shown) {
        skin.opacity = 255;
        skin.shownMask[0] = skin.shownMask[1] = 0;
        for (int k : shown)
            SetKindShown(skin, k, true);
        ResetGaugeValuesAtStart(*values, skin);
        in.snapshot = &snapshot;
        for (RectI32& r : hitRects)
            r = RectI32{1, 2, 3, 4};
    }
    bool Run() { return ComputeGaugeValues(*values, skin, in, hitRects); }
    float Value(int kind) const { return values->value[kind]; }
};

} // namespace

TEST(NavGaugeValues, ValueTableInBothUnitSystems) {
    Pass p({});
    p.snapshot.altitude = 100.0f;
    p.snapshot.depthFeet = 32.8f;
    p.snapshot.depthMeters = 10.0f;
    p.snapshot.latitude = 47.5f;
    p.snapshot.longitude = 122.25f;
    p.snapshot.satellites[0].snr = 40;
    p.snapshot.satellites[5].snr = 35;
    p.snapshot.satellites[11].snr = 7;
    p.in.shownSpeed = 10.0f;
    p.in.shownCourse = 271.5f;
    p.in.displayedHeading = 270;
    p.in.odometer = 1234.5f;
    p.in.tripDistance = 12.25f;
    p.in.localTime.second = 42;

    p.Run();
    EXPECT_NEAR(p.Value(kKindAltitude), 328.1f, 1e-3);
    EXPECT_NEAR(p.Value(kKindSpeed), 11.51f, 1e-4);
    EXPECT_NEAR(p.Value(kKindSpeedometer), 11.51f, 1e-4);
    EXPECT_EQ(p.Value(kKindDepth), 32.8f);
    EXPECT_EQ(p.Value(kKindDepthGauge), 32.8f);
    EXPECT_EQ(p.Value(kKindCourse), 271.5f);
    EXPECT_EQ(p.Value(kKindKnots), 10.0f);
    EXPECT_EQ(p.Value(kKindVantrel), 270.0f);
    EXPECT_EQ(p.Value(kKindHorizVantrel), 270.0f);
    EXPECT_EQ(p.Value(kKindSatellites), 270.0f);
    EXPECT_EQ(p.Value(kKindLatitude), 47.5f);
    EXPECT_EQ(p.Value(kKindLongitude), 122.25f);
    EXPECT_EQ(p.Value(kKindDistHome), 122.25f);
    EXPECT_EQ(p.Value(kKindHomeTarget), 122.25f);
    EXPECT_EQ(p.Value(kKindTrails), 392.25f);
    EXPECT_EQ(p.Value(kKindTime), 42.0f);
    EXPECT_EQ(p.Value(kKindShortDate), 42.0f);
    EXPECT_EQ(p.Value(kKindLongDate), 42.0f);
    EXPECT_EQ(p.Value(kKindClock), 42.0f);
    EXPECT_EQ(p.Value(kKindSignal), 82.0f);
    EXPECT_EQ(p.Value(kKindOdometer), 1234.5f);
    EXPECT_EQ(p.Value(kKindTrip), 12.25f);
    // Without the OBD-II reader its speed pair shows the held GPS speed in knots.
    EXPECT_EQ(p.Value(kKindObd2Speed), 10.0f);
    EXPECT_EQ(p.Value(kKindObd2Speedometer), 10.0f);

    p.in.metric = true;
    p.Run();
    EXPECT_EQ(p.Value(kKindAltitude), 100.0f);
    EXPECT_NEAR(p.Value(kKindSpeed), 18.52f, 1e-4);
    EXPECT_EQ(p.Value(kKindDepth), 10.0f);
    EXPECT_EQ(p.Value(kKindOdometer), 1234.5f) << "the odometer stays in statute miles";
    EXPECT_EQ(p.Value(kKindObd2Speed), 10.0f);
}

TEST(NavGaugeValues, ObdKindsKeepTheirValuesWithoutTheReader) {
    Pass p({kKindObd2Rpm, kKindObd2Speed});
    p.values->value[kKindObd2Rpm] = 2500.0f;
    p.values->value[kKindObd2Speed] = 88.0f;
    p.in.shownSpeed = 5.0f;
    p.in.obdAttached = true; // written by the OBD-II step: left alone, and fed to the ring
    p.Run();
    EXPECT_EQ(p.Value(kKindObd2Speed), 88.0f);
    EXPECT_EQ(p.values->speedRing[0], 88.0f);
    p.in.obdAttached = false;
    p.Run();
    EXPECT_EQ(p.Value(kKindObd2Rpm), 2500.0f);
    EXPECT_EQ(p.Value(kKindObd2Speed), 5.0f);
    EXPECT_NEAR(p.values->speedRing[1], 5.755f, 1e-4);
}

TEST(NavGaugeValues, SpeedRingAveragesTheLastTwelveSamples) {
    Pass p({kKindAvgSpeed});
    p.in.shownSpeed = 10.0f;
    p.Run();
    EXPECT_NEAR(p.Value(kKindAvgSpeed), 11.51f / 12.0f, 1e-5);
    for (int i = 1; i < 12; ++i)
        p.Run();
    EXPECT_EQ(p.values->speedRingIndex, 0);
    EXPECT_NEAR(p.Value(kKindAvgSpeed), 11.51f, 1e-4);
    p.in.shownSpeed = 0.0f;
    for (int i = 0; i < 6; ++i)
        p.Run();
    EXPECT_NEAR(p.Value(kKindAvgSpeed), 11.51f / 2.0f, 1e-4);
    EXPECT_EQ(p.values->speedRingIndex, 6);
}

TEST(NavGaugeValues, OnlyShownKindsDetectChangesAndKeepHistory) {
    Pass p({kKindKnots, kKindSpeedometer});
    p.in.shownSpeed = 4.0f;
    EXPECT_TRUE(p.Run()) << "the first pass after a reset reports every shown kind";
    EXPECT_TRUE(KindChanged(*p.values, kKindKnots));
    EXPECT_FALSE(KindChanged(*p.values, kKindCourse));
    EXPECT_FALSE(KindChanged(*p.values, kKindSpeed)) << "computed but not shown";
    EXPECT_NEAR(p.Value(kKindSpeed), 4.604f, 1e-4);
    EXPECT_EQ(p.values->historyIndex[kKindKnots], 1);
    EXPECT_EQ(p.values->history[kKindKnots][0], 4.0f);
    EXPECT_EQ(p.values->historyIndex[kKindSpeed], 0);
    EXPECT_EQ(p.values->needleValue[kKindObd2Speedometer],
              KindRecord(p.skin, kKindObd2Speedometer).paramB)
        << "an unshown needle stays where the skin load put it";
    for (const RectI32& r : p.hitRects)
        EXPECT_EQ(r.right, 0);

    // Settle the speedometer's needle, then an unchanged pass reports nothing.
    while (p.values->needleValue[kKindSpeedometer] != p.Value(kKindSpeedometer))
        p.Run();
    EXPECT_FALSE(p.Run());
    EXPECT_EQ(p.values->changedMask[0], 0u);
    p.in.shownCourse = 10.0f; // course is not shown
    EXPECT_FALSE(p.Run());

    // History wraps after 512 samples; a skin load keeps it but forgets the last values.
    for (int i = 0; i < 600; ++i)
        p.Run();
    EXPECT_GE(p.values->historyIndex[kKindKnots], 0);
    EXPECT_LT(p.values->historyIndex[kKindKnots], 512);
    int32_t index = p.values->historyIndex[kKindKnots];
    ResetGaugeValuesForSkin(*p.values, p.skin);
    EXPECT_EQ(p.values->historyIndex[kKindKnots], index);
    EXPECT_EQ(p.values->lastValue[kKindKnots], 20000.9f);
    EXPECT_TRUE(p.Run());
}

TEST(NavGaugeValues, NeedleSwingsAThirdOfTheWayAndSnapsWithinThree) {
    Pass p({kKindSpeedometer});
    KindRecord(p.skin, kKindSpeedometer).paramA = 200;
    KindRecord(p.skin, kKindSpeedometer).paramB = 0;
    ResetGaugeValuesAtStart(*p.values, p.skin);
    p.in.metric = true;
    p.in.shownSpeed = 100.0f / 1.852f;
    p.Run();
    const float target = p.Value(kKindSpeedometer);
    ASSERT_NEAR(target, 100.0f, 1e-4);
    const float expected[] = {55.56f, 70.37f, 80.25f, 86.83f, 91.22f, 94.15f, 96.10f, 97.40f};
    EXPECT_NEAR(p.values->needleValue[kKindSpeedometer], 33.33f, 0.01);
    for (float e : expected) {
        EXPECT_TRUE(p.Run());
        EXPECT_TRUE(KindChanged(*p.values, kKindSpeedometer));
        EXPECT_NEAR(p.values->needleValue[kKindSpeedometer], e, 0.01);
    }
    EXPECT_TRUE(p.Run());
    EXPECT_EQ(p.values->needleValue[kKindSpeedometer], target);
    EXPECT_FALSE(p.Run());

    // A needle starts from its kind's paramB after a skin load.
    KindRecord(p.skin, kKindSpeedometer).paramB = 40;
    ResetGaugeValuesForSkin(*p.values, p.skin);
    EXPECT_EQ(p.values->needleValue[kKindSpeedometer], 40.0f);
}

TEST(NavGaugeValues, RangeGrowsToTheNextMultipleOfFive) {
    auto rangeAfter = [](int kind, uint16_t type, float value) {
        Pass p({kind});
        GaugeRecord& r = KindRecord(p.skin, kind);
        r.paramA = 100;
        r.paramD = type;
        p.in.metric = true;
        p.in.shownSpeed = value / 1.852f;
        p.snapshot.depthMeters = value;
        p.Run();
        return KindRecord(p.skin, kind).paramA;
    };
    EXPECT_EQ(rangeAfter(kKindSpeedometer, 0, 101.4f), 105);
    EXPECT_EQ(rangeAfter(kKindSpeedometer, 0, 100.0f), 100);
    EXPECT_EQ(rangeAfter(kKindSpeedometer, 7, 104.99f), 105);
    EXPECT_EQ(rangeAfter(kKindSpeedometer, 0, 105.0f), 110);
    EXPECT_EQ(rangeAfter(kKindSpeedometer, 8, 150.0f), 100);
    EXPECT_EQ(rangeAfter(kKindDepthGauge, 2, 250.0f), 255);
    EXPECT_EQ(rangeAfter(kKindSpeed, 0, 150.0f), 100) << "not a dial";
    // A value beyond the 16-bit field stops at its top instead of wrapping.
    EXPECT_EQ(rangeAfter(kKindDepthGauge, 0, 1.0e9f), 65535);

    Pass rpm({kKindObd2RpmGauge});
    KindRecord(rpm.skin, kKindObd2RpmGauge).paramA = 100;
    rpm.values->value[kKindObd2RpmGauge] = 6000.0f;
    rpm.in.obdAttached = true;
    rpm.Run();
    EXPECT_EQ(KindRecord(rpm.skin, kKindObd2RpmGauge).paramA, 100);
}

TEST(NavGaugeValues, OpacityZeroTouchesNothing) {
    Pass p({kKindKnots, kKindSpeedometer});
    p.skin.opacity = 0xFF00; // only the low byte counts
    p.in.shownSpeed = 50.0f;
    auto before = std::make_unique<GaugeValues>(*p.values);
    SkinRecord skinBefore = p.skin;
    EXPECT_FALSE(p.Run());
    EXPECT_EQ(std::memcmp(before.get(), p.values.get(), sizeof(GaugeValues)), 0);
    EXPECT_FALSE(SkinRecordsDiffer(skinBefore, p.skin));
    EXPECT_EQ(p.hitRects[5].right, 3) << "hit rectangles are left as they are";
}
