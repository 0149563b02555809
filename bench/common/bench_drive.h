// The drive the cluster's benchmarks run on: the GPS server stand-in's simulated car and the
// OBD-II reader stand-in's simulated engine, advanced by one simulated second on every frame tick,
// so every input of the value pass (position, speed, course, time, satellites, engine values)
// moves on every tick, as in the busiest second of a real drive.
#pragma once

#include <cstdint>

#include "sources/obd_snapshot.h"
#include "state/app_state.h"
#include "state/geo_point.h"
#include "state/gps_snapshot.h"
#include "state/nav_state.h"
#include "state/skin_record.h"
#include "tools/gps_server/drive_sim.h"
#include "tools/obd_reader/engine_sim.h"

struct BenchDrive {
    DriveSim car;
    EngineSim engine;
    ObdSnapshot obd{}; // the reader's record as it publishes it for the skin's shown kinds
};

// A drive from the stand-in's start position, its reader record asking for what `skin` shows.
BenchDrive StartBenchDrive(const SkinRecord& skin);

// Home, about a mile and a half north of the start: near enough to be inside the map view.
GeoPoint BenchHome();

// One simulated second: the next fix into `gps` and the engine's values into drive.obd.
void NextBenchSecond(BenchDrive& drive, GpsSnapshot& gps);

// Drives (the navigation step of the frame tick only, no drawing) until the trail ring has been
// filled once, so the map view draws a full trail as after a long drive. Returns the seconds
// driven.
uint32_t DriveUntilTrailIsFull(BenchDrive& drive, AppState& app, NavState& nav);
