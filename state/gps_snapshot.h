// The GPS server's record in its shared section "TarvoxGPS": fix, time, position, dilution,
// satellites, speed, course and depth. The layout is shared with the server program, so every
// offset is fixed; the location sensor fills a copy of the same layout.
#pragma once

#include <cstddef>
#include <cstdint>

#include "state/win_types.h"

// Name of the GPS server's shared section (opened, never created, by the cluster).
constexpr const char kGpsSectionName[] = "TarvoxGPS";
// Title of the GPS server's message window.
constexpr const char kGpsServerWindowTitle[] = "TarvoxMsgWnd";

constexpr int kSatelliteSlots = 12;

// One satellite in view.
struct SatelliteEntry {
    uint16_t id;        // PRN; 0 = empty slot
    uint16_t elevation; // degrees above the horizon
    uint16_t azimuth;   // degrees from north
    uint16_t snr;       // dB-Hz; 0 = not received
};
static_assert(sizeof(SatelliteEntry) == 8, "SatelliteEntry size");
static_assert(offsetof(SatelliteEntry, id) == 0, "SatelliteEntry.id");
static_assert(offsetof(SatelliteEntry, elevation) == 2, "SatelliteEntry.elevation");
static_assert(offsetof(SatelliteEntry, azimuth) == 4, "SatelliteEntry.azimuth");
static_assert(offsetof(SatelliteEntry, snr) == 6, "SatelliteEntry.snr");

// Value-initialise (GpsSnapshot s{}) for the all-zero "no fix" record.
struct GpsSnapshot {
    uint8_t reserved0;
    uint8_t fixValid; // nonzero: the fix is valid
    uint8_t reserved2[2];
    uint8_t clientCount; // attached readers; the only byte a reader writes
    uint8_t reserved5[15];
    SystemTime16 utcTime; // UTC date and time of the fix
    float latitude;       // degrees, north positive
    float longitude;      // degrees, positive to the WEST
    int32_t fixQuality;
    float altitude; // metres above sea level
    float geoidSeparation;
    uint8_t reserved56[8];
    float pdop;
    float hdop;
    float vdop;
    uint8_t satsUsed;
    uint8_t reserved77;
    uint8_t serverStatus; // index into kGpsStatusWords
    uint8_t satsInView;
    uint8_t usedPrns[12];
    SatelliteEntry satellites[kSatelliteSlots];
    float speedKnots; // speed over ground
    float course;     // course over ground, degrees true
    float depthFeet;
    float depthMeters;
    uint8_t reserved204[64];
};
static_assert(sizeof(GpsSnapshot) == 268, "GpsSnapshot size");
static_assert(offsetof(GpsSnapshot, reserved0) == 0, "GpsSnapshot.reserved0");
static_assert(offsetof(GpsSnapshot, fixValid) == 1, "GpsSnapshot.fixValid");
static_assert(offsetof(GpsSnapshot, reserved2) == 2, "GpsSnapshot.reserved2");
static_assert(offsetof(GpsSnapshot, clientCount) == 4, "GpsSnapshot.clientCount");
static_assert(offsetof(GpsSnapshot, reserved5) == 5, "GpsSnapshot.reserved5");
static_assert(offsetof(GpsSnapshot, utcTime) == 20, "GpsSnapshot.utcTime");
static_assert(offsetof(GpsSnapshot, utcTime) + offsetof(SystemTime16, second) == 32,
              "GpsSnapshot.utcTime.second");
static_assert(offsetof(GpsSnapshot, latitude) == 36, "GpsSnapshot.latitude");
static_assert(offsetof(GpsSnapshot, longitude) == 40, "GpsSnapshot.longitude");
static_assert(offsetof(GpsSnapshot, fixQuality) == 44, "GpsSnapshot.fixQuality");
static_assert(offsetof(GpsSnapshot, altitude) == 48, "GpsSnapshot.altitude");
static_assert(offsetof(GpsSnapshot, geoidSeparation) == 52, "GpsSnapshot.geoidSeparation");
static_assert(offsetof(GpsSnapshot, reserved56) == 56, "GpsSnapshot.reserved56");
static_assert(offsetof(GpsSnapshot, pdop) == 64, "GpsSnapshot.pdop");
static_assert(offsetof(GpsSnapshot, hdop) == 68, "GpsSnapshot.hdop");
static_assert(offsetof(GpsSnapshot, vdop) == 72, "GpsSnapshot.vdop");
static_assert(offsetof(GpsSnapshot, satsUsed) == 76, "GpsSnapshot.satsUsed");
static_assert(offsetof(GpsSnapshot, reserved77) == 77, "GpsSnapshot.reserved77");
static_assert(offsetof(GpsSnapshot, serverStatus) == 78, "GpsSnapshot.serverStatus");
static_assert(offsetof(GpsSnapshot, satsInView) == 79, "GpsSnapshot.satsInView");
static_assert(offsetof(GpsSnapshot, usedPrns) == 80, "GpsSnapshot.usedPrns");
static_assert(offsetof(GpsSnapshot, satellites) == 92, "GpsSnapshot.satellites");
static_assert(offsetof(GpsSnapshot, speedKnots) == 188, "GpsSnapshot.speedKnots");
static_assert(offsetof(GpsSnapshot, course) == 192, "GpsSnapshot.course");
static_assert(offsetof(GpsSnapshot, depthFeet) == 196, "GpsSnapshot.depthFeet");
static_assert(offsetof(GpsSnapshot, depthMeters) == 200, "GpsSnapshot.depthMeters");
static_assert(offsetof(GpsSnapshot, reserved204) == 204, "GpsSnapshot.reserved204");

// The server's status words, indexed by serverStatus.
constexpr int kGpsStatusWordCount = 4;
extern const char* const kGpsStatusWords[kGpsStatusWordCount];
// Shown instead while the cluster is not attached to the server.
extern const char kGpsNotConnectedWord[];

// The status word for the configuration dialog's status line: "N/C" while detached; a status
// index the server should never publish also reads "N/C" rather than indexing past the table.
const char* GpsStatusWord(const GpsSnapshot& snapshot, bool attached);
