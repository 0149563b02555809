#include "sources/location_sensor_win.h"

#include <propidl.h>

#include "sources/location_sensor.h"
#include "sources/system_time_win.h"

const GUID kSensorManagerClsid = {
    0x77A1C827, 0xFCD2, 0x4689, {0x89, 0x15, 0x9D, 0x61, 0x3C, 0xC5, 0xFA, 0x3E}};
const GUID kSensorManagerIid = {
    0xBD77DB67, 0x45A8, 0x42DC, {0x8D, 0x00, 0x6D, 0xCF, 0x15, 0xF8, 0x37, 0x7A}};
const GUID kSensorTypeLocationGps = {
    0xED4CA589, 0x327A, 0x4FF9, {0xA5, 0x60, 0x91, 0xDA, 0x4B, 0x48, 0x27, 0x5E}};
const GUID kLocationDataFormat = {
    0x055C74D8, 0xCA6F, 0x47D6, {0x95, 0xC6, 0x1E, 0xD3, 0x63, 0x7A, 0x0F, 0xF4}};

namespace {

ISensor* Sensor(const NavState& nav) {
    return static_cast<ISensor*>(nav.sensor);
}
ISensorDataReport* Report(const NavState& nav) {
    return static_cast<ISensorDataReport*>(nav.sensorReport);
}

void ReleaseReport(NavState& nav) {
    if (ISensorDataReport* report = Report(nav)) report->Release();
    nav.sensorReport = nullptr;
}

bool Integer(const PROPVARIANT& v, double& out) {
    switch (v.vt) {
    case VT_I1:
        out = v.cVal;
        return true;
    case VT_UI1:
        out = v.bVal;
        return true;
    case VT_I2:
        out = v.iVal;
        return true;
    case VT_UI2:
        out = v.uiVal;
        return true;
    case VT_I4:
        out = v.lVal;
        return true;
    case VT_UI4:
        out = v.ulVal;
        return true;
    case VT_INT:
        out = v.intVal;
        return true;
    case VT_UINT:
        out = v.uintVal;
        return true;
    default:
        return false;
    }
}

SensorField ToField(const PROPVARIANT& v) {
    SensorField f;
    if (v.vt == VT_ERROR) {
        f.kind = SensorField::Kind::Error;
    } else if (v.vt == VT_R8) {
        f.kind = SensorField::Kind::Number;
        f.number = v.dblVal;
    } else if (v.vt == VT_R4) {
        f.kind = SensorField::Kind::Number;
        f.number = v.fltVal;
    } else if (Integer(v, f.number)) {
        f.kind = SensorField::Kind::Number;
    } else if (v.vt == (VT_VECTOR | VT_UI1) && (v.caub.pElems != nullptr || v.caub.cElems == 0)) {
        f.kind = SensorField::Kind::Bytes;
        f.count = v.caub.cElems;
        for (ULONG i = 0; i < f.count && i < kSatelliteSlots; ++i)
            f.bytes[i] = v.caub.pElems[i];
    }
    return f;
}

SensorField ReadField(ISensorDataReport* report, uint32_t propertyId) {
    PROPERTYKEY key;
    key.fmtid = kLocationDataFormat;
    key.pid = propertyId;
    PROPVARIANT value;
    PropVariantInit(&value);
    SensorField field;
    if (SUCCEEDED(report->GetSensorValue(key, &value))) field = ToField(value);
    PropVariantClear(&value);
    return field;
}

} // namespace

void AdoptLocationSensor(NavState& nav, ISensorManager* manager) {
    ISensorCollection* sensors = nullptr;
    if (FAILED(manager->GetSensorsByType(kSensorTypeLocationGps, &sensors)) || sensors == nullptr)
        return;
    ULONG count = 0;
    if (SUCCEEDED(sensors->GetCount(&count))) {
        for (ULONG i = 0; i < count; ++i) {
            // Only the last sensor is kept, so the ones before it are let go as we pass.
            ReleaseLocationSensor(nav);
            ISensor* sensor = nullptr;
            if (FAILED(sensors->GetAt(i, &sensor)) || sensor == nullptr) continue;
            nav.sensor = sensor;
            ISensorDataReport* report = nullptr;
            if (SUCCEEDED(sensor->GetData(&report))) nav.sensorReport = report;
        }
    }
    sensors->Release();
}

void FindLocationSensor(NavState& nav) {
    CoInitialize(nullptr);
    ISensorManager* manager = nullptr;
    const HRESULT created = CoCreateInstance(kSensorManagerClsid, nullptr, CLSCTX_INPROC_SERVER,
                                             kSensorManagerIid, reinterpret_cast<void**>(&manager));
    if (FAILED(created) || manager == nullptr) {
        if (const char* text = SensorManagerFailureText(static_cast<uint32_t>(created)))
            OutputDebugStringA(text);
        return;
    }
    AdoptLocationSensor(nav, manager);
    manager->Release();
}

void ReadLocationSensor(NavState& nav) {
    ISensor* sensor = Sensor(nav);
    if (sensor == nullptr) return;
    ISensorDataReport* fresh = nullptr;
    if (FAILED(sensor->GetData(&fresh))) fresh = nullptr;
    ReleaseReport(nav);
    nav.sensorReport = fresh;
    if (fresh == nullptr) return;

    LocationReport report;
    for (int i = 0; i < kLocationKeyCount; ++i) {
        report.field[i] = ReadField(fresh, kLocationKeyIds[i]);
        if (i == 0 && report.field[0].kind != SensorField::Kind::Number) break;
    }
    // The report's time stamp is UTC; a report without one is taken as of now.
    SYSTEMTIME stamp;
    if (FAILED(fresh->GetTimestamp(&stamp))) GetSystemTime(&stamp);
    report.utcTime = ToSystemTime16(stamp);
    ApplyLocationReport(report, nav.builtInSnapshot);
}

void ReleaseLocationSensor(NavState& nav) {
    ReleaseReport(nav);
    if (ISensor* sensor = Sensor(nav)) sensor->Release();
    nav.sensor = nullptr;
}
