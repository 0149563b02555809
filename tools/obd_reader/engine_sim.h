// A simulated engine for the OBD-II reader stand-in: a car that pulls away, cruises, slows and
// stops in a loop, warming up from cold, with the raw PID values an ECU would answer.
#pragma once

#include <cstdint>

#include "sources/obd_snapshot.h"

// What the reader knows of the vehicle at one moment, in raw PID values and its own figures.
struct ReaderValues {
    uint8_t linkState = 0;
    uint16_t pid[kObdPidSlots] = {}; // raw values as the ECU answers them
    float volts = 0.0f;
    double odometerKm = 0.0;
    double tripKm = 0.0;
    float mpg[kObdMpgFigures] = {}; // instant, average, long-term (miles per US gallon)
    float speedFactor = 0.621371f;  // km/h to mph
};

struct EngineSim {
    double seconds = 0.0; // time since the engine started
    double speedKmh = 0.0;
    double coolantC = 20.0;  // starts cold
    double fuelLitres = 0.0; // burnt since start, for the average economy
    double tripKm = 0.0;
    double odometerKm = 48211.0;
};

// Advances the simulation by `dt` seconds.
void AdvanceEngine(EngineSim& engine, double dt);

// The raw values for the current moment (link state left to the caller).
void EngineValues(const EngineSim& engine, ReaderValues& out);

// Writes what the reader publishes into the shared record, honouring the cluster's wishes:
// only requested PIDs are polled (the slots of the others keep what they had), the voltage only
// while it is wanted, distances and economy in the units the metric option asks for. The count
// of attached programs and the request words are left to them.
void PublishReaderValues(const ReaderValues& values, ObdSnapshot& shared);
