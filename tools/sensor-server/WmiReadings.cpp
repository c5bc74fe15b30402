#include "WmiReadings.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

} // namespace

float ThermalZoneCelsius(double tenthsOfKelvin) {
    return static_cast<float>(tenthsOfKelvin / 10.0 - 273.15);
}

TemperatureSensor ClassifyMonitorSensor(std::string_view parent, std::string_view hardwareName,
                                        std::string_view sensorName, double celsius) {
    const std::string hardware = Lower(parent);
    const std::string name = Lower(sensorName);
    TemperatureSensor sensor;
    sensor.celsius = static_cast<float>(celsius);
    sensor.device = hardwareName.empty() ? std::string(parent) : std::string(hardwareName);

    // Hardware identifiers name the kind first: "/intelcpu/0", "/amdcpu/0", "/nvidiagpu/0", "/atigpu/0", ...
    const std::string_view kind = std::string_view(hardware).substr(0, hardware.find('/', 1));
    if (Contains(kind, "cpu")) {
        sensor.kind = SensorKind::Cpu;
        if (name == "cpu package")
            sensor.rank = 0;
        else if (Contains(name, "tdie") || Contains(name, "tctl"))
            sensor.rank = 1;
        else
            sensor.rank = 5;
    } else if (Contains(kind, "gpu")) {
        sensor.kind = SensorKind::Gpu;
        sensor.rank = name == "gpu core" ? 0 : 5;
    } else {
        sensor.kind = SensorKind::Other;
        if (kind == "/lpc" || kind == "/mainboard")
            sensor.rank = 2;
        else if (kind == "/hdd" || kind == "/nvme")
            sensor.rank = 5;
        else
            sensor.rank = 10;
    }
    return sensor;
}
