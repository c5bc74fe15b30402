#include "SensorReadings.h"

#include <cmath>

namespace {

const TemperatureSensor* Best(const std::vector<TemperatureSensor>& sensors, SensorKind kind, bool hottestOnTie) {
    const TemperatureSensor* best = nullptr;
    for (const TemperatureSensor& sensor : sensors) {
        if (sensor.kind != kind || !IsPlausibleCelsius(sensor.celsius))
            continue;
        if (best == nullptr || sensor.rank < best->rank ||
            (hottestOnTie && sensor.rank == best->rank && sensor.celsius > best->celsius))
            best = &sensor;
    }
    return best;
}

} // namespace

bool IsPlausibleCelsius(double celsius) {
    return std::isfinite(celsius) && celsius > -50.0 && celsius < 127.0;
}

std::optional<SensorReadings> ComposeReadings(const std::vector<TemperatureSensor>& sensors) {
    const TemperatureSensor* cpu = Best(sensors, SensorKind::Cpu, true);
    if (cpu == nullptr)
        return std::nullopt;
    SensorReadings readings;
    readings.cpuTemperature = cpu->celsius;
    if (const TemperatureSensor* gpu = Best(sensors, SensorKind::Gpu, false)) {
        readings.gpuName = gpu->device;
        readings.gpuTemperature = gpu->celsius;
    }
    if (const TemperatureSensor* other = Best(sensors, SensorKind::Other, false)) {
        readings.otherName = other->device;
        readings.otherTemperature = other->celsius;
    }
    return readings;
}
