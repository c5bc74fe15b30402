// What one pass of the server measured, and how a list of temperature sensors becomes it. Platform-free.
#pragma once

#include <optional>
#include <string>
#include <vector>

enum class SensorKind { Cpu, Gpu, Other };

// One temperature a source found. Lower rank is the better candidate for its kind (a CPU package sensor beats
// a single core, which beats an ACPI thermal zone).
struct TemperatureSensor {
    SensorKind kind = SensorKind::Other;
    int rank = 0;
    std::string device; // published as the alternate name for GPU and other sensors
    float celsius = 0.0f;
};

struct SensorReadings {
    float cpuTemperature = 0.0f;
    std::optional<float> cpuLoad; // only the demo source knows its own load; the others take the system's
    std::string gpuName;          // empty: no GPU temperature
    float gpuTemperature = 0.0f;
    std::string otherName; // a board, chipset or drive temperature; empty: none
    float otherTemperature = 0.0f;
};

// Sensors report placeholders such as -128, 127 or -273.15 for an absent probe; those are dropped.
bool IsPlausibleCelsius(double celsius);

// Primary: the hottest of the best-ranked CPU sensors. Alternates: the best GPU and the best other sensor, first
// listed on a tie. Nothing without a CPU temperature.
std::optional<SensorReadings> ComposeReadings(const std::vector<TemperatureSensor>& sensors);
