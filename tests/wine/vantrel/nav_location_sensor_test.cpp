// The location sensor feed against sensor objects of this test's own (Wine has no sensor
// platform): which sensor is taken, how each report lands in the snapshot, and that every COM
// object the feed was handed is released again.
#include <gtest/gtest.h>

#include <windows.h>

#include <sensorsapi.h>

#include <cstring>
#include <map>
#include <vector>

#include "rig/rig.h"
#include "sources/gps_feed_win.h"
#include "sources/location_sensor.h"
#include "sources/location_sensor_win.h"

#include "tests/wine/vantrel/fake_sensor.h"

namespace {

// Satellite vectors of n entries whose values tell the report (base) and the index apart.
std::vector<uint8_t> Series(int n, int base) {
    std::vector<uint8_t> v;
    for (int i = 0; i < n; ++i)
        v.push_back(static_cast<uint8_t>(base + i));
    return v;
}

Keys FullReport(double lat, double lon, int sats, int base) {
    return Keys{{2, D(lat)},
                {3, D(lon)},
                {4, D(431.5)},
                {6, D(12.25)},
                {7, D(271.5)},
                {12, D(1.5)},
                {13, D(0.75)},
                {14, D(1.25)},
                {10, I(2)},
                {34, D(47.75)},
                {15, I(0x100 + sats)},
                {17, I(sats)},
                {16, B(Series(sats, base))},
                {39, B(Series(sats, base + 1))},
                {21, B(Series(sats, base + 2))},
                {20, B(Series(sats, base + 3))},
                {19, B(Series(sats, base + 4))}};
}

// Satellite slot i as report `base` wrote it.
void ExpectSatellite(const GpsSnapshot& s, int i, int base) {
    EXPECT_EQ(s.usedPrns[i], base + i) << "slot " << i;
    EXPECT_EQ(s.satellites[i].id, base + 1 + i) << "slot " << i;
    EXPECT_EQ(s.satellites[i].snr, base + 2 + i) << "slot " << i;
    EXPECT_EQ(s.satellites[i].azimuth, base + 3 + i) << "slot " << i;
    EXPECT_EQ(s.satellites[i].elevation, base + 4 + i) << "slot " << i;
}

} // namespace

TEST(NavLocationSensor, ReportsFillTheSnapshotFieldByField) {
    ASSERT_EQ(fakeSensorObjects, 0);
    {
        NavState nav;
        auto* sensor = new FakeSensor;
        nav.sensor = static_cast<ISensor*>(sensor);
        // Each row: one report; after it, satellite slot i must hold what report
        // expectBase[i] wrote (0: never written).
        struct Row {
            const char* what;
            Keys keys;
            int sats;
            int base;
        };
        const Row rows[] = {
            {"eight satellites", FullReport(47.5, 8.25, 8, 10), 8, 10},
            {"five after eight keep slots 5 to 7", FullReport(47.25, -3.5, 5, 60), 5, 60},
            {"fourteen in view copy twelve", FullReport(-33.5, 151.25, 14, 120), 14, 120},
        };
        int slotBase[kSatelliteSlots] = {};
        for (const Row& row : rows) {
            SCOPED_TRACE(row.what);
            sensor->Queue(row.keys);
            ReadLocationSensor(nav);
            const GpsSnapshot& s = nav.builtInSnapshot;
            ASSERT_NE(nav.sensorReport, nullptr);
            EXPECT_EQ(s.fixValid, 1);
            EXPECT_FLOAT_EQ(s.latitude, float(row.keys.at(2).number));
            EXPECT_FLOAT_EQ(s.longitude, -float(row.keys.at(3).number)) << "positive to the west";
            EXPECT_FLOAT_EQ(s.altitude, 431.5f);
            EXPECT_FLOAT_EQ(s.speedKnots, 12.25f);
            EXPECT_FLOAT_EQ(s.course, 271.5f);
            EXPECT_FLOAT_EQ(s.pdop, 1.5f);
            EXPECT_FLOAT_EQ(s.hdop, 0.75f);
            EXPECT_FLOAT_EQ(s.vdop, 1.25f);
            EXPECT_EQ(s.fixQuality, 2);
            EXPECT_FLOAT_EQ(s.geoidSeparation, 47.75f);
            EXPECT_EQ(s.satsUsed, row.sats) << "low byte";
            EXPECT_EQ(s.satsInView, row.sats);
            for (int i = 0; i < row.sats && i < kSatelliteSlots; ++i)
                slotBase[i] = row.base;
            for (int i = 0; i < kSatelliteSlots; ++i)
                if (slotBase[i] != 0) ExpectSatellite(s, i, slotBase[i]);
            EXPECT_EQ(s.utcTime.year, 2026);
            EXPECT_EQ(s.utcTime.hour, 10);
            EXPECT_EQ(s.utcTime.second, 30);
            EXPECT_EQ(s.serverStatus, 0);
            EXPECT_EQ(s.clientCount, 0);
            EXPECT_EQ(s.depthFeet, 0.0f);
        }
        const GpsSnapshot afterFull = nav.builtInSnapshot;

        // The GPS server runs too, yet in sensor mode it is never attached: its side of the
        // status line reads "N/C" while the snapshot holds the sensor's fix.
        {
            rig::SharedMemory server(kGpsSectionName, sizeof(GpsSnapshot));
            ASSERT_TRUE(server.Valid());
            OpenGpsFeed(nav);
            EXPECT_FALSE(GpsFeedAttached(nav));
            EXPECT_EQ(nav.snapshot, &nav.builtInSnapshot);
            EXPECT_STREQ(GpsStatusWord(*nav.snapshot, GpsFeedAttached(nav)), "N/C");
            EXPECT_EQ(server.Data()[offsetof(GpsSnapshot, clientCount)], 0);
        }

        // Keys that cannot be read keep their fields; a report without a time stamp is taken as
        // of now, so the clock and the odometer's fix seconds still move.
        sensor->Queue(Keys{{2, D(-33.75)}, {3, Fail()}, {6, D(3.0)}}, false);
        ReadLocationSensor(nav);
        GpsSnapshot expected = afterFull;
        expected.latitude = -33.75f;
        expected.speedKnots = 3.0f;
        SYSTEMTIME now;
        GetSystemTime(&now);
        EXPECT_EQ(nav.builtInSnapshot.utcTime.year, now.wYear);
        EXPECT_EQ(nav.builtInSnapshot.utcTime.day, now.wDay);
        expected.utcTime = nav.builtInSnapshot.utcTime;
        EXPECT_EQ(std::memcmp(&nav.builtInSnapshot, &expected, sizeof expected), 0);

        // No fix: an error value or an unreadable latitude clears fixValid and nothing else.
        for (const Value& latitude : {Err(), Fail()}) {
            Keys keys = FullReport(1.0, 2.0, 3, 200);
            keys[2] = latitude;
            sensor->Queue(keys);
            ReadLocationSensor(nav);
            expected.fixValid = 0;
            EXPECT_EQ(std::memcmp(&nav.builtInSnapshot, &expected, sizeof expected), 0);
        }

        // The sensor gives no more reports: the last values stay, the old report is let go.
        ReadLocationSensor(nav);
        EXPECT_EQ(nav.sensorReport, nullptr);
        EXPECT_EQ(std::memcmp(&nav.builtInSnapshot, &expected, sizeof expected), 0);

        sensor->Queue(FullReport(10.0, 20.0, 1, 7));
        ReadLocationSensor(nav);
        EXPECT_EQ(nav.builtInSnapshot.fixValid, 1);
        ReleaseLocationSensor(nav);
        EXPECT_EQ(nav.sensor, nullptr);
        EXPECT_EQ(nav.sensorReport, nullptr);
    }
    EXPECT_EQ(fakeSensorObjects, 0) << "every report and the sensor released";
}

TEST(NavLocationSensor, TheLastSensorOfTheGpsTypeWins) {
    // Sensors by index; false: GetAt fails there. Expected: the index kept, or -1 for none.
    struct Row {
        const char* what;
        bool searchFails;
        std::vector<bool> sensors;
        int kept;
    };
    const Row rows[] = {
        {"one", false, {true}, 0},
        {"the last of three", false, {true, true, true}, 2},
        {"a failing first one is skipped", false, {false, true}, 1},
        {"a failing last one means no sensor mode", false, {true, false}, -1},
        {"an empty collection", false, {}, -1},
        {"no collection", true, {}, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_EQ(fakeSensorObjects, 0);
        auto* manager = new FakeManager;
        std::vector<FakeSensor*> made;
        if (!row.searchFails) {
            manager->gps = new FakeCollection;
            for (bool works : row.sensors) {
                FakeSensor* s = works ? new FakeSensor : nullptr;
                if (s) s->Queue(FullReport(50.0, 1.0, 2, 30));
                made.push_back(s);
                manager->gps->sensors.push_back(s);
            }
        }
        NavState nav;
        AdoptLocationSensor(nav, manager);
        manager->Release();
        if (row.kept < 0) {
            EXPECT_EQ(nav.sensor, nullptr);
            EXPECT_EQ(nav.sensorReport, nullptr);
        } else {
            EXPECT_EQ(nav.sensor, static_cast<ISensor*>(made[row.kept]));
            EXPECT_NE(nav.sensorReport, nullptr) << "the current report taken with it";
            EXPECT_TRUE(made[row.kept]->queue.empty());
        }
        ReleaseLocationSensor(nav);
        EXPECT_EQ(fakeSensorObjects, 0) << "nothing passed over is kept";
    }
}

TEST(NavLocationSensor, WithoutASensorPlatformTheServerFeedIsUsed) {
    if (!rig::UnderWine()) GTEST_SKIP() << "only Wine is known to have no sensor platform";
    NavState nav;
    FindLocationSensor(nav);
    EXPECT_EQ(nav.sensor, nullptr);
    EXPECT_EQ(nav.sensorReport, nullptr);
    EXPECT_EQ(nav.snapshot, &nav.builtInSnapshot);
    CoUninitialize();

    // What the debugger hears: the two known refusals, nothing for any other failure.
    EXPECT_STREQ(SensorManagerFailureText(0x80040154u), "Class not reg\n");
    EXPECT_STREQ(SensorManagerFailureText(0x800704ECu), "Access disabled\n");
    EXPECT_EQ(SensorManagerFailureText(0x80004005u), nullptr);
}

// Vantrel with a sensor platform: the test's own COM server stands in for the sensor manager.
TEST(NavLocationSensor, VantrelRunsOnTheSensorAndLeavesTheServerAlone) {
    const char kClassKey[] = "Software\\Classes\\CLSID\\{77A1C827-FCD2-4689-8915-9D613CC5FA3E}";
    const char kSettingsKey[] = "Software\\Brevanti\\Vantrel";
    const std::string server = rig::TestBinDir() + "\\fake_sensor.dll";
    const std::string log = rig::TestBinDir() + "\\fake_sensor.log";
    ASSERT_TRUE(rig::FileExists(server));
    DeleteFileA(log.c_str());
    rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
    const std::string inproc = std::string(kClassKey) + "\\InprocServer32";
    ASSERT_TRUE(rig::WriteRegistryValue(HKEY_LOCAL_MACHINE, inproc, "", REG_SZ, server.c_str(),
                                        DWORD(server.size() + 1)));
    ASSERT_TRUE(
        rig::WriteRegistryValue(HKEY_LOCAL_MACHINE, inproc, "ThreadingModel", REG_SZ, "Both", 5));
    struct Unregister {
        const char* key;
        ~Unregister() { rig::DeleteRegistryTree(HKEY_LOCAL_MACHINE, key); }
    } unregister{kClassKey};
    auto Log = [&] {
        const std::vector<uint8_t> bytes = rig::ReadFileBytes(log);
        return std::string(bytes.begin(), bytes.end());
    };

    rig::ProgramFolder folder;
    ASSERT_TRUE(CreateDirectoryA(folder.File("Bare").c_str(), nullptr));
    rig::Process gps;
    ASSERT_TRUE(gps.Start(folder.File("GpsServer.exe"), "/interval 100"));
    ASSERT_NE(rig::WaitForWindow(kGpsServerWindowTitle, 10000, gps.Id()), nullptr);
    rig::Process vantrel;
    ASSERT_TRUE(vantrel.Start(folder.File("Vantrel.exe"), "Bare"));
    HWND window = rig::WaitForWindow("Brevanti - Vantrel", 10000, vantrel.Id());
    ASSERT_NE(window, nullptr);

    // Every frame reads the sensor; the server's section is never attached.
    EXPECT_TRUE(rig::WaitUntil([&] { return Log().find("data 30\n") != std::string::npos; }, 15000))
        << Log();
    EXPECT_EQ(Log().find("manager\n"), 0u) << Log();
    std::vector<uint8_t> shared = rig::ReadSharedMemory(kGpsSectionName, sizeof(GpsSnapshot));
    ASSERT_EQ(shared.size(), sizeof(GpsSnapshot));
    EXPECT_EQ(shared[offsetof(GpsSnapshot, clientCount)], 0);
    PostMessageA(window, WM_COMMAND, 40001, 0); // "Configure"
    HWND dialog = rig::WaitForWindow("Vantrel Configure", 10000, vantrel.Id());
    ASSERT_NE(dialog, nullptr);
    auto Status = [&] {
        char text[128] = {};
        GetDlgItemTextA(dialog, 1054, text, sizeof text);
        return std::string(text);
    };
    EXPECT_TRUE(rig::WaitUntil([&] { return Status().find("Tarvox N/C") == 0; }, 5000)) << Status();
    SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);

    // At exit the sensor is let go, and the odometer and the last position came from its fixes
    // (their seconds step the odometer; the longitude is stored west-positive).
    PostMessageA(window, WM_COMMAND, 2, 0);
    ASSERT_TRUE(vantrel.WaitForExit(10000));
    EXPECT_NE(Log().find("released\n"), std::string::npos) << Log();
    const rig::RegistryValue odometer =
        rig::ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "Odometer");
    const rig::RegistryValue last =
        rig::ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey, "OdoLastPos");
    ASSERT_EQ(odometer.data.size(), 4u);
    ASSERT_EQ(last.data.size(), 8u);
    float miles = 0, position[2] = {};
    std::memcpy(&miles, odometer.data.data(), 4);
    std::memcpy(position, last.data.data(), 8);
    EXPECT_GT(miles, 0.2f);
    EXPECT_GT(position[0], 47.0f);
    EXPECT_LT(position[0], 47.2f);
    EXPECT_FLOAT_EQ(position[1], -8.5f);
    rig::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey);
}
