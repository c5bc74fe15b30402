// Temperatures from WMI: the hardware monitor namespace when such a monitor runs, and the ACPI thermal zone in
// root\WMI. Windows only; the calling thread must have joined the multithreaded COM apartment.
#pragma once

#include <wbemidl.h>

#include "common/ComRef.h"
#include "SourceChain.h"

class WmiSource : public ReadingSource {
public:
    std::optional<SensorReadings> Read(double seconds) override;

private:
    struct Namespace {
        const wchar_t* path;
        ComRef<IWbemServices> services;
        double retryAt = 0.0;
    };

    IWbemServices* Connect(Namespace& space, double seconds);
    static bool ReadHardwareMonitor(IWbemServices* services, std::vector<TemperatureSensor>& sensors);
    static bool ReadThermalZones(IWbemServices* services, std::vector<TemperatureSensor>& sensors);

    ComRef<IWbemLocator> m_locator;
    double m_locatorRetryAt = 0.0;
    Namespace m_hardwareMonitor{L"ROOT\\OpenHardwareMonitor", {}};
    Namespace m_acpi{L"ROOT\\WMI", {}};
};
