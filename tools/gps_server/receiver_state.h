// What the GPS server stand-in knows about a played-back receiver: the record it publishes, and
// what the record is assembled from over several sentences or packets (satellite groups by
// constellation, the fix mode, which binary message carries the position).
#pragma once

#include <cstdint>

#include "state/gps_snapshot.h"

// Constellations that report their satellites separately (NMEA talkers GP, GL, GA, GB, GQ and
// the combined GN), and the binary receiver's own list.
enum class SatelliteSystem : uint8_t { Gps, Glonass, Galileo, BeiDou, Qzss, Combined, Count };
constexpr int kSatelliteSystems = static_cast<int>(SatelliteSystem::Count);

// One constellation's satellites: the group being received and the last complete one.
struct SatelliteGroup {
    SatelliteEntry pending[kSatelliteSlots] = {};
    int pendingCount = 0;
    SatelliteEntry shown[kSatelliteSlots] = {};
    int shownCount = 0;
    int inView = 0; // as the receiver counts them, possibly more than are listed
    uint16_t used[kSatelliteSlots] = {}; // satellites of the fix, from the last GSA
    int usedCount = 0;
};

// Fix modes as the receivers report them (GSA, SiRF).
constexpr int kFixModeNone = 1;
constexpr int kFixMode2D = 2;
constexpr int kFixMode3D = 3;

// The record before a receiver has said anything: no fix, "No Fix".
GpsSnapshot NoFixRecord();

struct ReceiverState {
    GpsSnapshot record = NoFixRecord();
    int fixMode = kFixMode3D; // until a receiver says otherwise
    SatelliteGroup groups[kSatelliteSystems] = {};
    // The binary receiver sent its navigation solution (MID 2): from then on it alone moves the
    // position, so the fix does not hop between two solutions every second.
    bool navigationSolutionSeen = false;
};

// Back to no fix and no satellites.
void ResetReceiver(ReceiverState& state);

// Sets the fix validity and the status word that goes with it.
void SetFixValid(ReceiverState& state, bool valid);

// The record's satellites and used satellites from the groups: every constellation's last
// complete group in constellation order, as many as the record holds.
void ShowSatellites(ReceiverState& state);
