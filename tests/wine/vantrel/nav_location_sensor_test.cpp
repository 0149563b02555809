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
#include "sources/location_sensor_win.h"

namespace {

int g_liveObjects = 0;

// IUnknown for the fakes: counts live objects so the tests can see that nothing leaks.
template <typename Interface> class Fake : public Interface {
  public:
    Fake() { ++g_liveObjects; }
    virtual ~Fake() { --g_liveObjects; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == __uuidof(Interface)) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

  private:
    ULONG refs_ = 1;
};

// One key's value in a fake report.
struct Value {
    enum Kind { Double, Int, Error, Bytes, Fails } kind = Double;
    double number = 0;
    std::vector<uint8_t> bytes;
};
Value D(double v) {
    return {Value::Double, v, {}};
}
Value I(int v) {
    return {Value::Int, double(v), {}};
}
Value Err() {
    return {Value::Error, 0, {}};
}
Value Fail() {
    return {Value::Fails, 0, {}};
}
Value B(std::vector<uint8_t> v) {
    return {Value::Bytes, 0, std::move(v)};
}

using Keys = std::map<ULONG, Value>; // by property id; absent keys fail to read

class FakeReport : public Fake<ISensorDataReport> {
  public:
    FakeReport(Keys keys, bool stamped) : keys_(std::move(keys)), stamped_(stamped) {}
    HRESULT STDMETHODCALLTYPE GetTimestamp(SYSTEMTIME* t) override {
        if (!stamped_) return E_NOTIMPL;
        *t = SYSTEMTIME{2026, 12, 2, 8, 10, 20, 30, 400};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSensorValue(REFPROPERTYKEY key, PROPVARIANT* out) override {
        if (key.fmtid != kLocationDataFormat) return E_INVALIDARG;
        auto it = keys_.find(key.pid);
        if (it == keys_.end() || it->second.kind == Value::Fails)
            return HRESULT(0x80070490); // element not found
        const Value& v = it->second;
        switch (v.kind) {
        case Value::Double:
            out->vt = VT_R8;
            out->dblVal = v.number;
            break;
        case Value::Int:
            out->vt = VT_I4;
            out->lVal = static_cast<LONG>(v.number);
            break;
        case Value::Error:
            out->vt = VT_ERROR;
            out->scode = E_FAIL;
            break;
        case Value::Bytes:
            out->vt = VT_VECTOR | VT_UI1;
            out->caub.cElems = static_cast<ULONG>(v.bytes.size());
            out->caub.pElems = static_cast<UCHAR*>(CoTaskMemAlloc(v.bytes.size() + 1));
            std::memcpy(out->caub.pElems, v.bytes.data(), v.bytes.size());
            break;
        case Value::Fails:
            break;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSensorValues(IPortableDeviceKeyCollection*,
                                              IPortableDeviceValues**) override {
        return E_NOTIMPL;
    }

  private:
    Keys keys_;
    bool stamped_;
};

// Hands out the queued reports one GetData at a time; fails when the queue is empty.
class FakeSensor : public Fake<ISensor> {
  public:
    std::vector<ISensorDataReport*> queue;
    ~FakeSensor() override {
        for (ISensorDataReport* r : queue)
            r->Release();
    }
    void Queue(Keys keys, bool stamped = true) { queue.push_back(new FakeReport(keys, stamped)); }
    HRESULT STDMETHODCALLTYPE GetData(ISensorDataReport** out) override {
        *out = nullptr;
        if (queue.empty()) return E_FAIL;
        *out = queue.front();
        queue.erase(queue.begin());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetID(SENSOR_ID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCategory(SENSOR_CATEGORY_ID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetType(SENSOR_TYPE_ID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFriendlyName(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetProperty(REFPROPERTYKEY, PROPVARIANT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetProperties(IPortableDeviceKeyCollection*,
                                            IPortableDeviceValues**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSupportedDataFields(IPortableDeviceKeyCollection**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetProperties(IPortableDeviceValues*,
                                            IPortableDeviceValues**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SupportsDataField(REFPROPERTYKEY, VARIANT_BOOL*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetState(SensorState*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SupportsEvent(REFGUID, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetEventInterest(GUID**, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetEventInterest(GUID*, ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetEventSink(ISensorEvents*) override { return E_NOTIMPL; }
};

// A null entry stands for an index whose GetAt fails.
class FakeCollection : public Fake<ISensorCollection> {
  public:
    std::vector<ISensor*> sensors;
    ~FakeCollection() override {
        for (ISensor* s : sensors)
            if (s) s->Release();
    }
    HRESULT STDMETHODCALLTYPE GetAt(ULONG i, ISensor** out) override {
        *out = nullptr;
        if (i >= sensors.size() || sensors[i] == nullptr) return E_FAIL;
        *out = sensors[i];
        (*out)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCount(ULONG* count) override {
        *count = static_cast<ULONG>(sensors.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Add(ISensor*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Remove(ISensor*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveByID(REFSENSOR_ID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear() override { return E_NOTIMPL; }
};

class FakeManager : public Fake<ISensorManager> {
  public:
    FakeCollection* gps = nullptr; // null: the search by type fails
    ~FakeManager() override {
        if (gps) gps->Release();
    }
    HRESULT STDMETHODCALLTYPE GetSensorsByType(REFSENSOR_TYPE_ID type,
                                               ISensorCollection** out) override {
        *out = nullptr;
        if (gps == nullptr || type != kSensorTypeLocationGps) return HRESULT(0x80070490);
        *out = gps;
        gps->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSensorsByCategory(REFSENSOR_CATEGORY_ID,
                                                   ISensorCollection**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSensorByID(REFSENSOR_ID, ISensor**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetEventSink(ISensorManagerEvents*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RequestPermissions(HWND, ISensorCollection*, WINBOOL) override {
        return E_NOTIMPL;
    }
};

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
    ASSERT_EQ(g_liveObjects, 0);
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
    EXPECT_EQ(g_liveObjects, 0) << "every report and the sensor released";
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
        ASSERT_EQ(g_liveObjects, 0);
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
        EXPECT_EQ(g_liveObjects, 0) << "nothing passed over is kept";
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
}
