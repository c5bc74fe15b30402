// Software and firmware update checks and the install step, free of the main window: they report what the window
// is to be told and leave the message boxes, the posting and the process exit to the worker commands that call
// them. Worker thread, except UpdateDataFolder and CreateDirectoryPath, which any thread may call.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ProgramVersion.h"
#include "updater/ProgramLauncher.h"
#include "updater/WebFetcher.h"

constexpr WPARAM kUpdateKindSoftware = 1;
constexpr WPARAM kUpdateKindFirmware = 2;
constexpr wchar_t kCurrentVersion[] = PROGRAM_VERSION_WIDE;

// The three locations share the base location; each ends with "/".
struct UpdateLocations {
    std::wstring software;
    std::wstring firmwareTavo;
    std::wstring firmwareTavi;
};

// The base location this program was built with.
std::wstring DefaultUpdateBaseLocation();
UpdateLocations MakeUpdateLocations(const std::wstring& baseLocation);
// Model 1 is Tavo; any other index, including 0 before a display was found, uses the Tavi location.
const std::wstring& FirmwareLocation(const UpdateLocations& locations, int modelIndex);

// The WM_UPDATE_RESULT the window is to be posted.
struct UpdateReport {
    WPARAM kind = 0;
    LPARAM newer = 0;
};

enum class CheckMode {
    OnRequest, // reports newer and not newer
    Automatic, // reports only a newer version
};

// Fetches the software version document. An accepted document is stored in latestVersion even when nothing is
// reported; nullopt means nothing is to be posted.
std::optional<UpdateReport> CheckSoftware(WebFetcher& fetcher, const UpdateLocations& locations,
                                          const std::wstring& currentVersion, CheckMode mode,
                                          std::wstring& latestVersion);

// queryFirmwareVersion asks the first display for its firmware version; a failed query counts as not newer.
std::optional<UpdateReport> CheckFirmware(WebFetcher& fetcher, const UpdateLocations& locations, int modelIndex,
                                          const std::function<bool(std::uint16_t*)>& queryFirmwareVersion,
                                          CheckMode mode, std::wstring& latestVersion);

enum class UpdateKind { Software, Firmware };

enum class InstallOutcome {
    Started,         // the program was started; the caller ends the process with exit code 0
    UnusableVersion, // the version text cannot name a file in the work folder
    NotDownloaded,   // the download failed or was incomplete; nothing is left behind
    NoProgram,       // the archive did not unpack or did not contain the program
    StartFailed,     // the program was there but could not be started
};

struct InstallRequest {
    UpdateKind kind = UpdateKind::Software;
    std::wstring latestVersion;
    std::wstring location;   // the software location, or the firmware location of the model
    std::wstring dataFolder; // UpdateDataFolder() in the program; ends with a backslash
    HWND progressWindow = nullptr;
};

// Downloads the archive into the work folder, unpacks it there, deletes it and starts the program it contained.
InstallOutcome InstallUpdate(WebFetcher& fetcher, const InstallRequest& request, ProgramLauncher& launcher);

std::wstring ArchiveName(UpdateKind kind, const std::wstring& version);
std::wstring ProgramName(UpdateKind kind, const std::wstring& version);
std::wstring WorkFolder(const std::wstring& dataFolder);

// The local application data folder + "\Velbar-Digital Files\".
std::wstring UpdateDataFolder();
// Creates every missing folder of the path; true when the folder exists afterwards or already did.
bool CreateDirectoryPath(const std::wstring& path);
