#include "SensorLaunchFixture.h"

#include <fstream>
#include <random>

#include "sensors/SensorServerLauncher.h"

std::filesystem::path TestBinaryFolder() {
    wchar_t path[4096] = {};
    GetModuleFileNameW(nullptr, path, 4096);
    return std::filesystem::path(path).parent_path();
}

HANDLE StartProgram(const std::filesystem::path& program, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

InstallFolder::InstallFolder(const std::wstring& programFolderName) {
    std::random_device random;
    m_root = std::filesystem::temp_directory_path() / ("launch-" + std::to_string(random()));
    m_program = m_root / programFolderName;
    std::filesystem::create_directories(m_program);
    std::filesystem::copy_file(TestBinaryFolder() / "sensor_launch_host.exe", m_program / "Dravik.exe");
    PlaceStandIn(ServerFolder(true) / kSensorServerImageName);
    PlaceStandIn(ServerFolder(false) / kSensorServerImageName);
}

InstallFolder::~InstallFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

std::filesystem::path InstallFolder::ServerFolder(bool windows10OrLater) const {
    return m_program / (windows10OrLater ? kSensorServerFolder : kSensorServerWin7Folder);
}

void InstallFolder::PlaceStandIn(const std::filesystem::path& path) const {
    std::filesystem::create_directories(path.parent_path());
    std::filesystem::copy_file(TestBinaryFolder() / "stand_in_sensor_server.exe", path);
}

int InstallFolder::RunHost(const std::wstring& mode) const {
    HANDLE process = StartProgram(m_program / "Dravik.exe", mode);
    if (process == nullptr)
        return -1;
    DWORD exitCode = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process, 120000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &exitCode);
    else
        TerminateProcess(process, 1);
    CloseHandle(process);
    return static_cast<int>(exitCode);
}

std::vector<std::wstring> InstallFolder::StartedServers(const std::filesystem::path& folder) {
    std::vector<std::wstring> started;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::wstring name = entry.path().filename().wstring();
        if (name.rfind(L"started-", 0) != 0 || entry.path().extension() != L".txt")
            continue;
        std::ifstream in(entry.path());
        std::string line;
        std::getline(in, line);
        const int size = MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, nullptr, 0);
        std::wstring path(size > 0 ? size - 1 : 0, L'\0');
        MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, path.data(), size);
        started.push_back(path);
    }
    return started;
}
