#include "UpdateCommands.h"

#include <utility>

#include "device/WorkerCommands.h"

UpdateCommands::UpdateCommands(UpdateLocations locations, std::wstring currentVersion, ProgramLauncher& launcher,
                               FirmwareQuery queryFirmware)
    : m_locations(std::move(locations)), m_currentVersion(std::move(currentVersion)), m_launcher(launcher),
      m_queryFirmware(std::move(queryFirmware)) {}

bool UpdateCommands::Run(std::int32_t code, HWND mainWindow, std::int32_t modelIndex) {
    switch (code) {
    case CMD_CHECK_SOFTWARE:
        Check(true, CheckMode::OnRequest, mainWindow, modelIndex);
        return false;
    case CMD_AUTO_CHECK_SOFTWARE:
        Check(true, CheckMode::Automatic, mainWindow, modelIndex);
        return false;
    case CMD_CHECK_FIRMWARE:
        Check(false, CheckMode::OnRequest, mainWindow, modelIndex);
        return false;
    case CMD_AUTO_CHECK_FIRMWARE:
        Check(false, CheckMode::Automatic, mainWindow, modelIndex);
        return false;
    case CMD_UPDATE_SOFTWARE:
        return Install(UpdateKind::Software, mainWindow, modelIndex);
    case CMD_UPDATE_FIRMWARE:
        return Install(UpdateKind::Firmware, mainWindow, modelIndex);
    default:
        return false;
    }
}

void UpdateCommands::Check(bool software, CheckMode mode, HWND mainWindow, std::int32_t modelIndex) {
    // The check works on its own copy; the shared text changes under the lock, before the result is posted.
    std::wstring latest;
    std::optional<UpdateReport> report;
    if (software) {
        {
            std::lock_guard guard(m_versionLock);
            latest = m_latestSoftware;
        }
        report = CheckSoftware(m_checkFetcher, m_locations, m_currentVersion, mode, latest);
    } else {
        report = CheckFirmware(m_checkFetcher, m_locations, modelIndex, m_queryFirmware, mode, latest);
    }
    {
        std::lock_guard guard(m_versionLock);
        Latest(software ? UpdateKind::Software : UpdateKind::Firmware) = latest;
    }
    if (report && mainWindow != nullptr)
        PostMessageW(mainWindow, WM_UPDATE_RESULT, report->kind, report->newer);
}

bool UpdateCommands::Install(UpdateKind kind, HWND mainWindow, std::int32_t modelIndex) {
    InstallRequest request;
    request.kind = kind;
    {
        std::lock_guard guard(m_versionLock);
        request.latestVersion = Latest(kind);
    }
    request.location = kind == UpdateKind::Software ? m_locations.software : FirmwareLocation(m_locations, modelIndex);
    request.dataFolder = UpdateDataFolder();
    request.progressWindow = mainWindow;
    return InstallUpdate(m_downloadFetcher, request, m_launcher) == InstallOutcome::Started;
}

std::wstring UpdateCommands::LatestSoftwareVersion() const {
    std::lock_guard guard(m_versionLock);
    return m_latestSoftware;
}

std::wstring UpdateCommands::LatestFirmwareVersion() const {
    std::lock_guard guard(m_versionLock);
    return m_latestFirmware;
}
