// The GPS server stand-in's simulated drive: a loop of roads around a start position, driven
// with accelerations, stops and turns (one across north), altitude, depth, 8 to 12 satellites
// whose elevations, azimuths and signals move, and a short fix loss every four minutes.
// Portable and deterministic: the same start gives the same fixes, second by second.
#pragma once

#include <cstdint>

#include "state/win_types.h"
#include "state/gps_snapshot.h"

struct DriveSim {
    double startLatitude = 47.6205;   // degrees north
    double startLongitude = 122.3493; // degrees, positive to the west
    double north = 0.0;               // metres from the start
    double east = 0.0;
    double speed = 0.0;     // metres per second
    double travelled = 0.0; // metres
    double course = 90.0;   // degrees true of the current leg
    int nextWaypoint = 1;   // index into the route
    int dwellSeconds = 0;   // seconds left standing at a stop
    uint32_t second = 0;    // seconds since the start
};

// A simulation starting at the given position.
DriveSim StartDrive(double latitude, double longitude);

// One second of driving.
void AdvanceDrive(DriveSim& sim);

// True during the simulated fix losses.
bool DriveFixLost(const DriveSim& sim);

// The record the server publishes for the current second (clientCount left 0).
void DriveSnapshot(const DriveSim& sim, const SystemTime16& utcTime, GpsSnapshot& out);
