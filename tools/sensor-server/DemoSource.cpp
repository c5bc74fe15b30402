#include "DemoSource.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// A slow swell with faster ripples on top; periods share no common factor, so the curve does not visibly repeat.
double Wave(double seconds, double period, double phase) {
    return std::sin(2.0 * std::numbers::pi * seconds / period + phase);
}

} // namespace

std::optional<SensorReadings> DemoSource::Read(double seconds) {
    SensorReadings readings;
    const double load =
        30.0 + 22.0 * Wave(seconds, 97.0, -0.5) + 12.0 * Wave(seconds, 19.0, 2.0) + 5.0 * Wave(seconds, 5.3, 0.0);
    readings.cpuLoad = static_cast<float>(std::clamp(load, 1.0, 99.0));
    // The temperature follows the load's slow swell, as a real CPU would.
    readings.cpuTemperature = static_cast<float>(46.0 + 9.0 * Wave(seconds, 97.0, -0.9) +
                                                 3.5 * Wave(seconds, 31.0, 1.3) + 1.2 * Wave(seconds, 7.7, 0.4));
    readings.gpuName = "Demo GPU";
    readings.gpuTemperature =
        static_cast<float>(41.0 + 7.0 * Wave(seconds, 131.0, 2.1) + 2.0 * Wave(seconds, 17.0, 0.2));
    readings.otherName = "Demo board";
    readings.otherTemperature = static_cast<float>(34.0 + 3.0 * Wave(seconds, 211.0, 0.7));
    return readings;
}
