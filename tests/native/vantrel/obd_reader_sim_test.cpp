// The OBD-II reader stand-in's simulated engine, its scripts, and how it publishes (the tool's
// portable sources are compiled into this test directly: the stand-in is not part of the
// cluster's library).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "state/skin_record.h"
#include "sources/obd_values.h"
#include "tools/obd_reader/engine_sim.cpp"
#include "tools/obd_reader/reader_script.cpp"

TEST(ObdReaderStandIn, PublishesOnlyWhatTheClusterAskedFor) {
    EngineSim engine;
    for (int i = 0; i < 40 * 4; ++i)
        AdvanceEngine(engine, 0.25); // 40 s: pulled away and cruising
    ReaderValues values;
    EngineValues(engine, values);
    values.linkState = 3;

    auto shared = std::make_unique<ObdSnapshot>();
    std::memset(shared.get(), 0, sizeof(ObdSnapshot));
    shared->clientCount = 2;
    shared->pidSlot[0x0C] = 77; // left from an earlier poll
    shared->pidRequestMask = (1u << 0x0D) | (1u << 0x05);
    PublishReaderValues(values, *shared);
    EXPECT_EQ(shared->clientCount, 2) << "the attached programs' count is theirs";
    EXPECT_EQ(shared->linkState, 3);
    EXPECT_EQ(shared->pidSlot[0x0C], 77u) << "an unrequested PID is not polled";
    EXPECT_EQ(shared->voltsTenths, 0) << "the voltage is not wanted";
    EXPECT_EQ(shared->pidRequestMask, (1u << 0x0D) | (1u << 0x05));

    // What the cluster makes of it is a plausible moving car.
    shared->pidRequestMask = 0x3FFF0u;
    shared->optionFlags = kObdOptionVolts | kObdOptionMetric;
    PublishReaderValues(values, *shared);
    float v[kGaugeKindCount] = {};
    FillObdValues(v, *shared, true, 0);
    EXPECT_GT(v[kKindObd2Speed], 60.0f);
    EXPECT_GT(v[kKindObd2Rpm], 1200.0f);
    EXPECT_LT(v[kKindObd2Rpm], 6000.0f);
    EXPECT_GT(v[kKindObd2CoolantTemp], 40.0f);
    EXPECT_LT(v[kKindObd2CoolantTemp], 95.0f);
    EXPECT_NEAR(v[kKindObd2Volts], 14.1f, 0.3f);
    EXPECT_NEAR(v[kKindObd2Ltft1], 2.3f, 0.8f);
    EXPECT_NEAR(v[kKindObd2Ltft2], -3.1f, 0.8f);
    EXPECT_NEAR(v[kKindObd2FuelPressure] / 0.14503774f, 340.0f, 3.0f);
    EXPECT_GT(v[kKindObd2Trip], 0.3f); // kilometres
    const float tripKm = v[kKindObd2Trip];
    FillObdValues(v, *shared, false, 0);
    EXPECT_NEAR(v[kKindObd2Speed], shared->pidSlot[0x0D] * 0.621371f, 0.01f);

    // Asked for miles, the reader gives miles.
    shared->optionFlags = 0;
    PublishReaderValues(values, *shared);
    FillObdValues(v, *shared, false, 0);
    EXPECT_NEAR(v[kKindObd2Trip], tripKm * 0.621371f, 0.002f);
}

TEST(ObdReaderStandIn, ScriptsParseOrNameTheBadLine) {
    std::vector<ScriptStep> steps;
    std::string error;
    ASSERT_TRUE(ParseReaderScript("# warm idle\r\nlink 7\npid 0x0C 3200\npid 5 130\n\n"
                                  "mpg 25 30.5 31\nwait 3\nforget\nask\nfactor 0.5\n",
                                  steps, error))
        << error;
    ASSERT_EQ(steps.size(), 10u);
    EXPECT_EQ(steps[0].command, ScriptStep::Command::Link);
    EXPECT_EQ(steps[0].number[0], 7.0);
    EXPECT_EQ(steps[1].pid, 12);
    EXPECT_EQ(steps[1].number[0], 3200.0);
    EXPECT_EQ(steps[2].pid, 5);
    EXPECT_EQ(steps[3].number[1], 30.5);
    EXPECT_EQ(steps[6].command, ScriptStep::Command::Wait);
    EXPECT_EQ(steps[7].command, ScriptStep::Command::Forget);
    EXPECT_EQ(steps[8].command, ScriptStep::Command::Ask);

    const char* bad[] = {"pid 32 1", "pid 4 65536", "pid 4", "link -1", "odometer -5",
                         "volts x",  "mpg 1 2",     "jump",  "ask now", "pid 0x 5"};
    for (const char* line : bad) {
        EXPECT_FALSE(ParseReaderScript(std::string("link 3\n") + line + "\n", steps, error))
            << line;
        EXPECT_EQ(error, std::string("line 2: ") + line);
    }
}
