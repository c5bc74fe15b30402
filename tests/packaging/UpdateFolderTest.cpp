// The update server folder the build lays out, checked with the program's own update steps: served as it is by the
// local update server, its documents and its archive must carry the updater from the check to a started installer.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "support/LocalUpdateServer.h"
#include "updater/UpdateFlow.h"

namespace {

const std::wstring kVersion = kCurrentVersion;
const std::string kNarrowVersion(kVersion.begin(), kVersion.end());

std::wstring FromBuild(const char* unixPath) {
    return WindowsPathOf(unixPath);
}

std::wstring UpdateFolder() {
    return FromBuild(DRAVIK_UPDATE_FOLDER) + L"\\";
}

void CollectFiles(const std::wstring& root, const std::string& relative, std::set<std::string>& files) {
    WIN32_FIND_DATAW found;
    const std::wstring wideRelative(relative.begin(), relative.end());
    HANDLE search = FindFirstFileW((root + wideRelative + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring wideName = found.cFileName;
        const std::string name(wideName.begin(), wideName.end());
        if (name == "." || name == "..") {
            continue;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CollectFiles(root, relative + name + "/", files);
        } else {
            files.insert(relative + name);
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

class RecordingLauncher : public ProgramLauncher {
public:
    bool Start(const std::wstring& fullPath) override {
        started.push_back(fullPath);
        return true;
    }
    std::vector<std::wstring> started;
};

TEST(UpdateFolderTest, HoldsTheVersionDocumentsAndTheArchiveNamedAfterTheVersion) {
    std::set<std::string> files;
    CollectFiles(UpdateFolder(), "", files);
    const std::set<std::string> expected = {"firmware-Tavi/version", "firmware-Tavo/version", "software/version",
                                            "software/Software-" + kNarrowVersion + ".zip"};
    EXPECT_EQ(files, expected);
    EXPECT_EQ(ReadWholeFile(UpdateFolder() + L"software\\version"), kNarrowVersion) << "no line end, no padding";
    // No firmware release is published: no display is ever offered one.
    EXPECT_EQ(ReadWholeFile(UpdateFolder() + L"firmware-Tavo\\version"), "0");
    EXPECT_EQ(ReadWholeFile(UpdateFolder() + L"firmware-Tavi\\version"), "0");
}

// The version resource of a file: its fixed product version as text, and its "ProductVersion" string.
struct FileVersion {
    std::wstring numbers;
    std::wstring text;
};

FileVersion ReadFileVersion(const std::wstring& path) {
    FileVersion version;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<std::uint8_t> info(size);
    if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, info.data())) {
        return version;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr) {
        version.numbers = std::to_wstring(HIWORD(fixed->dwProductVersionMS)) + L"." +
                          std::to_wstring(LOWORD(fixed->dwProductVersionMS)) + L"." +
                          std::to_wstring(HIWORD(fixed->dwProductVersionLS)) + L"." +
                          std::to_wstring(LOWORD(fixed->dwProductVersionLS));
    }
    wchar_t* text = nullptr;
    if (VerQueryValueW(info.data(), L"\\StringFileInfo\\040904b0\\ProductVersion", reinterpret_cast<void**>(&text),
                       &length) &&
        text != nullptr) {
        version.text = text;
    }
    return version;
}

TEST(UpdateFolderTest, InstallerIsNamedAfterAndCarriesTheProgramVersion) {
    const std::wstring installer = FromBuild(DRAVIK_INSTALLER);
    EXPECT_EQ(installer.substr(installer.find_last_of(L'\\') + 1), L"Software-" + kVersion + L".exe");
    const FileVersion version = ReadFileVersion(installer);
    EXPECT_EQ(version.numbers, kVersion);
    EXPECT_EQ(version.text, kVersion);
}

// This test program links the program's version resource the way Dravik.exe does.
TEST(UpdateFolderTest, ProgramVersionResourceCarriesTheProgramVersion) {
    wchar_t self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    const FileVersion version = ReadFileVersion(self);
    EXPECT_EQ(version.numbers, kVersion);
    EXPECT_EQ(version.text, kVersion);
}

TEST(UpdateFolderTest, ServedAsItIsItCarriesTheUpdaterFromCheckToStartedInstaller) {
    LocalUpdateServer server;
    ASSERT_EQ(server.Error(), "");
    for (const char* file : {"software/version", "firmware-Tavo/version", "firmware-Tavi/version"}) {
        std::wstring windowsFile(file, file + std::char_traits<char>::length(file));
        for (auto& c : windowsFile) {
            c = c == L'/' ? L'\\' : c;
        }
        server.PutFile(std::string("served/") + file, ReadWholeFile(UpdateFolder() + windowsFile));
    }
    const std::string archive = "software/Software-" + kNarrowVersion + ".zip";
    server.PutFile("served/" + archive, ReadWholeFile(UpdateFolder() + L"software\\Software-" + kVersion + L".zip"));
    const UpdateLocations locations = MakeUpdateLocations(server.BaseUrl() + L"served/");
    WebFetcher fetcher;

    std::wstring latest;
    const auto software = CheckSoftware(fetcher, locations, kCurrentVersion, CheckMode::OnRequest, latest);
    ASSERT_TRUE(software.has_value());
    EXPECT_EQ(software->newer, 0) << "a build is never newer than itself";
    EXPECT_EQ(latest, kVersion);

    for (int model : {1, 2}) {
        std::wstring latestFirmware;
        const auto firmware = CheckFirmware(
            fetcher, locations, model,
            [](std::uint16_t* version) {
                *version = 0x0001;
                return true;
            },
            CheckMode::OnRequest, latestFirmware);
        ASSERT_TRUE(firmware.has_value()) << "model " << model;
        EXPECT_EQ(firmware->newer, 0) << "model " << model;
    }

    // The install step of an update to this version: the archive unpacks to the very installer the build made.
    const std::wstring dataFolder = MakeTempFolder(L"update data") + L"Velbar-Digital Files\\";
    RecordingLauncher launcher;
    const InstallRequest request{UpdateKind::Software, latest, locations.software, dataFolder, nullptr};
    EXPECT_EQ(InstallUpdate(fetcher, request, launcher), InstallOutcome::Started);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0], WorkFolder(dataFolder) + L"Software-" + kVersion + L".exe");
    EXPECT_EQ(ReadWholeFile(launcher.started[0]), ReadWholeFile(FromBuild(DRAVIK_INSTALLER)));
    RemoveTree(dataFolder.substr(0, dataFolder.size() - std::wstring(L"Velbar-Digital Files\\").size()));
}

} // namespace
