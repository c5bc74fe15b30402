#include "SimulatedDisplays.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace {

void SetVariable(const char* name, const std::filesystem::path& value) {
    _putenv_s(name, value.string().c_str());
}

} // namespace

SimulatedDisplays::SimulatedDisplays() {
    std::random_device random;
    m_folder = std::filesystem::temp_directory_path() / ("displaysim-" + std::to_string(random()));
    std::filesystem::create_directories(m_folder);
    m_devices = m_folder / "devices.txt";
    m_log = m_folder / "reports.log";
    SetDevices({});
    SetVariable("DISPLAYSIM_DEVICES", m_devices);
    SetVariable("DISPLAYSIM_LOG", m_log);
}

SimulatedDisplays::~SimulatedDisplays() {
    _putenv_s("DISPLAYSIM_DEVICES", "");
    _putenv_s("DISPLAYSIM_LOG", "");
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
}

void SimulatedDisplays::SetDevices(const std::vector<std::string>& lines) {
    // Written aside and renamed so an enumeration never reads half a list.
    const auto staging = m_devices.string() + ".new";
    {
        std::ofstream out(staging, std::ios::trunc);
        for (const std::string& line : lines)
            out << line << "\n";
    }
    std::filesystem::rename(staging, m_devices);
}

std::vector<SimulatedReport> SimulatedDisplays::Reports() const {
    std::vector<SimulatedReport> reports;
    std::ifstream in(m_log);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        SimulatedReport report;
        std::size_t length = 0;
        std::string hex;
        if (!(fields >> report.unixMs >> report.path >> report.kind >> length))
            continue;
        fields >> hex;
        for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
            report.bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
        reports.push_back(report);
    }
    return reports;
}

std::vector<SimulatedReport> SimulatedDisplays::Sends(const std::string& path) const {
    std::vector<SimulatedReport> sends;
    for (SimulatedReport& report : Reports()) {
        if (report.kind == "send" && (path.empty() || report.path == path))
            sends.push_back(std::move(report));
    }
    return sends;
}

void SimulatedDisplays::ClearReports() {
    std::error_code ignored;
    std::filesystem::remove(m_log, ignored);
}
