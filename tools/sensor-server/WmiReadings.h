// Turning WMI answers into temperature sensors. Platform-free; the COM side lives in WmiSource.
#pragma once

#include <string>
#include <string_view>

#include "SensorReadings.h"

// The ACPI thermal zone reports tenths of a kelvin.
float ThermalZoneCelsius(double tenthsOfKelvin);

// One temperature sensor of the hardware monitor namespace: its parent hardware identifier (such as
// "/intelcpu/0" or "/nvidiagpu/0"), the hardware's display name, the sensor's own name and value.
TemperatureSensor ClassifyMonitorSensor(std::string_view parent, std::string_view hardwareName,
                                        std::string_view sensorName, double celsius);
