// Drives the display simulator (tools/display-simulator) from a test: writes its device list, points it at a
// fresh log and reads back what the displays received. Windows tests only; the test binary must load the
// simulator's hidapi.dll.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct SimulatedReport {
    std::int64_t unixMs = 0;
    std::string path;
    std::string kind; // send, send-rejected, get, get-failed
    std::vector<std::uint8_t> bytes;
};

class SimulatedDisplays {
public:
    SimulatedDisplays();
    ~SimulatedDisplays();
    SimulatedDisplays(const SimulatedDisplays&) = delete;
    SimulatedDisplays& operator=(const SimulatedDisplays&) = delete;

    // One line per display in the simulator's format; rewriting plugs and unplugs at the next enumeration.
    void SetDevices(const std::vector<std::string>& lines);
    std::vector<SimulatedReport> Reports() const;
    std::vector<SimulatedReport> Sends(const std::string& path = {}) const;
    void ClearReports();

    const std::filesystem::path& Folder() const { return m_folder; }
    const std::filesystem::path& DevicesFile() const { return m_devices; }
    const std::filesystem::path& LogFile() const { return m_log; }

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_devices;
    std::filesystem::path m_log;
};
