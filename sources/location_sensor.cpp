#include "sources/location_sensor.h"

namespace {

constexpr uint32_t kAccessDisabledByPolicy = 0x800704ECu;
constexpr uint32_t kClassNotRegistered = 0x80040154u;

enum Field {
    kLatitude,
    kLongitude,
    kAltitude,
    kSpeed,
    kHeading,
    kPdop,
    kHdop,
    kVdop,
    kFixQuality,
    kGeoid,
    kSatsUsed,
    kSatsInView,
    kUsedPrns,
    kIds,
    kSnr,
    kAzimuth,
    kElevation,
};

void StoreFloat(const SensorField& f, float& out, float sign = 1.0f) {
    if (f.kind == SensorField::Kind::Number) out = sign * static_cast<float>(f.number);
}

// Counts and codes arrive as integers; a double that is out of range must not be cast as it is.
int64_t WholeNumber(double v) {
    if (!(v > -2147483648.0)) return 0;
    if (!(v < 4294967296.0)) return 0;
    return static_cast<int64_t>(v);
}

void StoreInt32(const SensorField& f, int32_t& out) {
    if (f.kind == SensorField::Kind::Number)
        out = static_cast<int32_t>(static_cast<uint32_t>(WholeNumber(f.number)));
}

void StoreLowByte(const SensorField& f, uint8_t& out) {
    if (f.kind == SensorField::Kind::Number)
        out = static_cast<uint8_t>(static_cast<uint64_t>(WholeNumber(f.number)) & 0xFFu);
}

uint32_t CopiedElements(const SensorField& f) {
    if (f.kind != SensorField::Kind::Bytes) return 0;
    return f.count < kSatelliteSlots ? f.count : kSatelliteSlots;
}

} // namespace

void ApplyLocationReport(const LocationReport& report, GpsSnapshot& s) {
    const SensorField* f = report.field;
    s.fixValid = 1;
    if (f[kLatitude].kind != SensorField::Kind::Number) {
        // An unreadable latitude is no more a fix than an error value: a stale position must not
        // pass for a current one.
        s.fixValid = 0;
        return;
    }
    StoreFloat(f[kLatitude], s.latitude);
    StoreFloat(f[kLongitude], s.longitude, -1.0f);
    StoreFloat(f[kAltitude], s.altitude);
    StoreFloat(f[kSpeed], s.speedKnots);
    StoreFloat(f[kHeading], s.course);
    StoreFloat(f[kPdop], s.pdop);
    StoreFloat(f[kHdop], s.hdop);
    StoreFloat(f[kVdop], s.vdop);
    StoreInt32(f[kFixQuality], s.fixQuality);
    StoreFloat(f[kGeoid], s.geoidSeparation);
    StoreLowByte(f[kSatsUsed], s.satsUsed);
    StoreLowByte(f[kSatsInView], s.satsInView);
    for (uint32_t i = 0; i < CopiedElements(f[kUsedPrns]); ++i)
        s.usedPrns[i] = f[kUsedPrns].bytes[i];
    for (uint32_t i = 0; i < CopiedElements(f[kIds]); ++i)
        s.satellites[i].id = f[kIds].bytes[i];
    for (uint32_t i = 0; i < CopiedElements(f[kSnr]); ++i)
        s.satellites[i].snr = f[kSnr].bytes[i];
    for (uint32_t i = 0; i < CopiedElements(f[kAzimuth]); ++i)
        s.satellites[i].azimuth = f[kAzimuth].bytes[i];
    for (uint32_t i = 0; i < CopiedElements(f[kElevation]); ++i)
        s.satellites[i].elevation = f[kElevation].bytes[i];
    s.utcTime = report.utcTime;
}

const char* SensorManagerFailureText(uint32_t hresult) {
    if (hresult == kAccessDisabledByPolicy) return "Access disabled\n";
    if (hresult == kClassNotRegistered) return "Class not reg\n";
    return nullptr;
}
