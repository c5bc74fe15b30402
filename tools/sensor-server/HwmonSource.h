// Temperatures from the Linux hwmon and thermal-zone folders (/sys/class/hwmon, /sys/class/thermal), which a
// program under Wine reaches through the drive that maps the host's root. Platform-free: the folders are read
// through a FolderReader.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SourceChain.h"

class FolderReader {
public:
    virtual ~FolderReader() = default;
    // Entry names (files and folders) without "." and "..". Empty when the folder is missing or unreadable.
    virtual std::vector<std::string> ListFolder(const std::string& path) = 0;
    // The first few kilobytes of a file; nothing when it is missing or unreadable.
    virtual std::optional<std::string> ReadSmallFile(const std::string& path) = 0;
};

// A decimal integer in thousandths of a degree, surrounded by optional white space, as hwmon and thermal zones
// write it. Nothing for anything else (empty, text, fractions, more digits than a temperature has).
std::optional<double> ParseMillidegrees(std::string_view text);

class HwmonSource : public ReadingSource {
public:
    HwmonSource(FolderReader& reader, std::string hwmonRoot, std::string thermalRoot)
        : m_reader(reader), m_hwmonRoot(std::move(hwmonRoot)), m_thermalRoot(std::move(thermalRoot)) {}

    std::optional<SensorReadings> Read(double seconds) override;

    // Every plausible temperature under both roots, hwmon chips first, each folder in numeric order.
    std::vector<TemperatureSensor> Scan();

private:
    void ScanHwmonChip(const std::string& folder, std::vector<TemperatureSensor>& sensors);
    void ScanThermalZone(const std::string& folder, std::vector<TemperatureSensor>& sensors);
    std::string ReadLine(const std::string& path);

    FolderReader& m_reader;
    std::string m_hwmonRoot;
    std::string m_thermalRoot;
};
