#include "updater/UpdateFlow.h"

#include <shlobj.h>

#include "updater/ExtractArchive.h"
#include "updater/VersionText.h"

namespace {

constexpr wchar_t kProductName[] = L"Velbar-Digital";

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH];
    const DWORD written = GetFullPathNameW(path.c_str(), MAX_PATH, buffer, nullptr);
    return written == 0 || written >= MAX_PATH ? std::wstring() : std::wstring(buffer, written);
}

std::optional<std::wstring> FetchVersionDocument(WebFetcher& fetcher, const std::wstring& location) {
    std::wstring body;
    if (fetcher.FetchText(location + L"version", body) != kFetchDone || !IsAcceptedVersionDocument(body)) {
        return std::nullopt;
    }
    return body;
}

} // namespace

std::wstring DefaultUpdateBaseLocation() {
    return DRAVIK_UPDATE_BASE_LOCATION;
}

UpdateLocations MakeUpdateLocations(const std::wstring& baseLocation) {
    std::wstring base = baseLocation;
    if (base.empty() || base.back() != L'/') {
        base += L'/';
    }
    return UpdateLocations{base + L"software/", base + L"firmware-Tavo/", base + L"firmware-Tavi/"};
}

const std::wstring& FirmwareLocation(const UpdateLocations& locations, int modelIndex) {
    return modelIndex == 1 ? locations.firmwareTavo : locations.firmwareTavi;
}

std::optional<UpdateReport> CheckSoftware(WebFetcher& fetcher, const UpdateLocations& locations,
                                          const std::wstring& currentVersion, CheckMode mode,
                                          std::wstring& latestVersion) {
    const auto body = FetchVersionDocument(fetcher, locations.software);
    if (!body) {
        return std::nullopt;
    }
    latestVersion = *body;
    const bool newer = CompareVersions(currentVersion, *body) >= 1;
    if (mode == CheckMode::Automatic && !newer) {
        return std::nullopt;
    }
    return UpdateReport{kUpdateKindSoftware, newer ? 1 : 0};
}

std::optional<UpdateReport> CheckFirmware(WebFetcher& fetcher, const UpdateLocations& locations, int modelIndex,
                                          const std::function<bool(std::uint16_t*)>& queryFirmwareVersion,
                                          CheckMode mode, std::wstring& latestVersion) {
    latestVersion.clear();
    const auto body = FetchVersionDocument(fetcher, FirmwareLocation(locations, modelIndex));
    if (!body) {
        return std::nullopt;
    }
    latestVersion = *body;
    std::uint16_t displayVersion = 0;
    const bool newer =
        queryFirmwareVersion && queryFirmwareVersion(&displayVersion) && FirmwareIsNewer(displayVersion, *body);
    if (mode == CheckMode::Automatic && !newer) {
        return std::nullopt;
    }
    return UpdateReport{kUpdateKindFirmware, newer ? 1 : 0};
}

std::wstring ArchiveName(UpdateKind kind, const std::wstring& version) {
    return (kind == UpdateKind::Software ? L"Software-" : L"FirmwareUpdateTool-") + version + L".zip";
}

std::wstring ProgramName(UpdateKind kind, const std::wstring& version) {
    return (kind == UpdateKind::Software ? L"Software-" : L"FirmwareUpdateTool-") + version + L".exe";
}

std::wstring WorkFolder(const std::wstring& dataFolder) {
    std::wstring folder = dataFolder;
    if (folder.empty() || folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder + L"temp\\";
}

InstallOutcome InstallUpdate(WebFetcher& fetcher, const InstallRequest& request, ProgramLauncher& launcher) {
    if (!IsUsableInFileName(request.latestVersion)) {
        return InstallOutcome::UnusableVersion;
    }
    const std::wstring archiveName = ArchiveName(request.kind, request.latestVersion);
    // The location ends with "/", so the address carries three slashes before the name, as the server expects.
    const std::wstring address = request.location + L"//" + archiveName;
    const std::wstring workFolder = WorkFolder(request.dataFolder);
    CreateDirectoryPath(workFolder);
    const std::wstring archivePath = workFolder + archiveName;
    DeleteFileW(archivePath.c_str());

    if (fetcher.DownloadToFile(address, archivePath, request.progressWindow) != kFetchDone ||
        !FileExists(archivePath)) {
        return InstallOutcome::NotDownloaded;
    }

    const std::wstring programPath = FullPath(workFolder + ProgramName(request.kind, request.latestVersion));
    // Only a program this archive brought may run: an older copy left in the folder is removed first.
    if (!programPath.empty()) {
        SetFileAttributesW(programPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(programPath.c_str());
    }
    const bool extracted = ExtractArchive(archivePath, workFolder);
    if (extracted) {
        DeleteFileW(archivePath.c_str());
    }
    if (!extracted || programPath.empty() || !FileExists(programPath)) {
        return InstallOutcome::NoProgram;
    }
    return launcher.Start(programPath) ? InstallOutcome::Started : InstallOutcome::StartFailed;
}

std::wstring UpdateDataFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        folder[0] = L'\0';
    }
    return std::wstring(folder) + L"\\" + kProductName + L" Files\\";
}

bool CreateDirectoryPath(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return true;
    }
    const std::size_t first = path.find(L'\\');
    if (first != std::wstring::npos) {
        // The drive part before the first backslash is never created.
        for (std::size_t at = path.find(L'\\', first + 1); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
            CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
        }
    }
    SetLastError(ERROR_SUCCESS);
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}
