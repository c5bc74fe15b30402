// The refresh worker's update commands 3 to 8: checks post WM_UPDATE_RESULT to the main window, installs download,
// unpack and start the program. Run: worker thread; the latest versions: any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include <windows.h>

#include "updater/ProgramLauncher.h"
#include "updater/UpdateFlow.h"
#include "updater/WebFetcher.h"

class UpdateCommands {
public:
    // Asks the first display for its firmware version; false when it cannot be read.
    using FirmwareQuery = std::function<bool(std::uint16_t*)>;

    UpdateCommands(UpdateLocations locations, std::wstring currentVersion, ProgramLauncher& launcher,
                   FirmwareQuery queryFirmware);
    UpdateCommands(const UpdateCommands&) = delete;
    UpdateCommands& operator=(const UpdateCommands&) = delete;

    // Carries out one update command. True when an installer or firmware tool was started and the program is to
    // end; every other outcome keeps it running.
    bool Run(std::int32_t code, HWND mainWindow, std::int32_t modelIndex);

    std::wstring LatestSoftwareVersion() const;
    std::wstring LatestFirmwareVersion() const;
    // Ends a running download early (the program is closing).
    void CancelDownload() { m_downloadFetcher.Cancel(); }

private:
    std::wstring& Latest(UpdateKind kind) { return kind == UpdateKind::Software ? m_latestSoftware : m_latestFirmware; }
    void Check(bool software, CheckMode mode, HWND mainWindow, std::int32_t modelIndex);
    bool Install(UpdateKind kind, HWND mainWindow, std::int32_t modelIndex);

    const UpdateLocations m_locations;
    const std::wstring m_currentVersion;
    ProgramLauncher& m_launcher;
    FirmwareQuery m_queryFirmware;
    WebFetcher m_checkFetcher;
    WebFetcher m_downloadFetcher;
    mutable std::mutex m_versionLock; // the UI thread reads what the worker stores
    std::wstring m_latestSoftware;
    std::wstring m_latestFirmware;
};
