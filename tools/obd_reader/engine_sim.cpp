#include "tools/obd_reader/engine_sim.h"

#include <cmath>

namespace {

constexpr double kCycleSeconds = 120.0;
constexpr double kMilesPerKm = 0.621371;
constexpr double kPi = 3.14159265358979;

// Target speed along the cycle: idle, pull away, cruise, slow down, stop.
double TargetSpeed(double t) {
    double c = std::fmod(t, kCycleSeconds);
    if (c < 10) return 0.0;
    if (c < 30) return (c - 10) * 4.5;
    if (c < 80) return 90.0 + 8.0 * std::sin((c - 30) / 50.0 * 2 * kPi);
    if (c < 110) return 90.0 * (110 - c) / 30.0;
    return 0.0;
}

uint16_t Clamp(double v, double high) {
    if (!(v > 0)) return 0;
    return static_cast<uint16_t>(v > high ? high : v + 0.5);
}

double Rpm(double speedKmh) {
    if (speedKmh < 1) return 780.0;
    static const double kGearTop[] = {20, 40, 65, 90, 1000};
    static const double kRatio[] = {110, 62, 42, 32, 26}; // rpm per km/h
    int gear = 0;
    while (speedKmh > kGearTop[gear])
        ++gear;
    return 900.0 + speedKmh * kRatio[gear] * 0.8;
}

} // namespace

void AdvanceEngine(EngineSim& engine, double dt) {
    engine.seconds += dt;
    const double target = TargetSpeed(engine.seconds);
    engine.speedKmh += (target - engine.speedKmh) * (dt < 1 ? dt : 1.0);
    if (engine.speedKmh < 0.05) engine.speedKmh = 0.0;
    const double km = engine.speedKmh * dt / 3600.0;
    engine.tripKm += km;
    engine.odometerKm += km;
    // About 7 l/100 km on the road and 0.8 l/h at idle.
    engine.fuelLitres += km * 0.07 + dt * 0.8 / 3600.0;
    engine.coolantC += (90.0 - engine.coolantC) * dt / 60.0;
}

void EngineValues(const EngineSim& engine, ReaderValues& out) {
    const double t = engine.seconds;
    const double speed = engine.speedKmh;
    const double rpm = Rpm(speed);
    const double accel = TargetSpeed(t) - speed;
    const double loadPct = 20.0 + (accel > 0 ? accel * 6.0 : 0.0) + speed * 0.2;
    const double throttlePct = 12.0 + (accel > 0 ? accel * 5.0 : 0.0) + speed * 0.15;
    const double mafGs = rpm * loadPct / 100.0 * 0.012;
    const double mapKpa = 28.0 + loadPct * 0.7;
    const double timingDeg = 10.0 + rpm / 250.0 - (accel > 0 ? accel : 0.0);
    const double stft = 3.0 * std::sin(t * 1.3);
    const double stft2 = -2.0 * std::cos(t * 1.1);

    out.pid[0x04] = Clamp(loadPct * 2.55, 255);
    out.pid[0x05] = Clamp(engine.coolantC + 40.0, 255);
    out.pid[0x06] = Clamp(stft / 0.7812 + 128.0, 255);
    out.pid[0x07] = Clamp(2.3 / 0.7812 + 128.0, 255);
    out.pid[0x08] = Clamp(stft2 / 0.7812 + 128.0, 255);
    out.pid[0x09] = Clamp(-3.1 / 0.7812 + 128.0, 255);
    out.pid[0x0A] = Clamp(340.0 / 3.0, 255);
    out.pid[0x0B] = Clamp(mapKpa, 255);
    out.pid[0x0C] = Clamp(rpm * 4.0, 65535);
    out.pid[0x0D] = Clamp(speed, 255);
    out.pid[0x0E] = Clamp((timingDeg + 64.0) * 2.0, 255);
    out.pid[0x0F] = Clamp(24.0 + 40.0, 255);
    out.pid[0x10] = Clamp(mafGs * 100.0, 65535);
    out.pid[0x11] = Clamp(throttlePct * 2.55, 255);
    out.volts = static_cast<float>(14.1 + 0.1 * std::sin(t / 7.0));
    out.odometerKm = engine.odometerKm;
    out.tripKm = engine.tripKm;
    // Miles per US gallon: instant from the air flow (stoichiometric petrol), then the averages.
    const double fuelLph = mafGs / 14.7 / 740.0 * 3600.0;
    const double instant = fuelLph > 0 ? speed * kMilesPerKm / (fuelLph / 3.785) : 0.0;
    const double average =
        engine.fuelLitres > 0 ? engine.tripKm * kMilesPerKm / (engine.fuelLitres / 3.785) : 0.0;
    out.mpg[0] = static_cast<float>(instant > 99 ? 99 : instant);
    out.mpg[1] = static_cast<float>(average > 99 ? 99 : average);
    out.mpg[2] = 31.4f;
}

void PublishReaderValues(const ReaderValues& values, ObdSnapshot& shared) {
    shared.linkState = values.linkState;
    const uint32_t wanted = shared.pidRequestMask;
    for (int n = 0; n < kObdPidSlots; ++n)
        if ((wanted >> n) & 1u) shared.pidSlot[n] = values.pid[n];
    if (shared.optionFlags & kObdOptionVolts)
        shared.voltsTenths = Clamp(values.volts * 10.0, 65535);
    const bool metric = (shared.optionFlags & kObdOptionMetric) != 0;
    const double unit = metric ? 1.0 : kMilesPerKm;
    shared.odometerMilli = static_cast<uint32_t>(values.odometerKm * unit * 1000.0);
    shared.tripMilli = static_cast<uint32_t>(values.tripKm * unit * 1000.0);
    for (int i = 0; i < kObdMpgFigures; ++i) {
        // Metric: litres per 100 km.
        double figure = values.mpg[i];
        if (metric) figure = figure > 0 ? 235.215 / figure : 0.0;
        shared.mpgHundredths[i] = Clamp(figure * 100.0, 65535);
    }
    shared.speedFactor = values.speedFactor;
}
