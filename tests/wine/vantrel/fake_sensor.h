// Sensor objects of the tests' own, for a system without a sensor platform: a manager that lists
// GPS-type sensors, sensors that hand out queued reports, and reports made of a table of keys.
// Every object counts itself in fakeSensorObjects, so a test can see that nothing was leaked.
#pragma once

#include <windows.h>

#include <sensorsapi.h>

#include <cstring>
#include <map>
#include <vector>

#include "sources/location_sensor_win.h"

inline int fakeSensorObjects = 0;

// IUnknown for the fakes: counts live objects so the tests can see that nothing leaks.
template <typename Interface> class Fake : public Interface {
  public:
    Fake() { ++fakeSensorObjects; }
    virtual ~Fake() { --fakeSensorObjects; }
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
inline Value D(double v) {
    return {Value::Double, v, {}};
}
inline Value I(int v) {
    return {Value::Int, double(v), {}};
}
inline Value Err() {
    return {Value::Error, 0, {}};
}
inline Value Fail() {
    return {Value::Fails, 0, {}};
}
inline Value B(std::vector<uint8_t> v) {
    return {Value::Bytes, 0, std::move(v)};
}

using Keys = std::map<ULONG, Value>; // by property id; absent keys fail to read

class FakeReport : public Fake<ISensorDataReport> {
  public:
    // Without a stamp GetTimestamp fails.
    FakeReport(Keys keys, const SYSTEMTIME* stamp) : keys_(std::move(keys)) {
        if (stamp) stamp_ = *stamp;
        stamped_ = stamp != nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetTimestamp(SYSTEMTIME* t) override {
        if (!stamped_) return E_NOTIMPL;
        *t = stamp_;
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
    SYSTEMTIME stamp_{};
    bool stamped_ = false;
};

// Hands out the queued reports one GetData at a time; fails when the queue is empty.
class FakeSensor : public Fake<ISensor> {
  public:
    std::vector<ISensorDataReport*> queue;
    ~FakeSensor() override {
        for (ISensorDataReport* r : queue)
            r->Release();
    }
    // Reports are stamped 2026-12-08 10:20:30.400 UTC unless told otherwise.
    void Queue(Keys keys, bool stamped = true) {
        static const SYSTEMTIME kStamp = {2026, 12, 2, 8, 10, 20, 30, 400};
        queue.push_back(new FakeReport(keys, stamped ? &kStamp : nullptr));
    }
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
