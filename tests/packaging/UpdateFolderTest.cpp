// The update server folder the build lays out, checked with the program's own update steps: served as it is by the
// local update server, its documents and its archive must carry the updater from the check to a started installer.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "ProgramVersion.h"
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

TEST(UpdateFolderTest, InstallerCarriesTheProgramVersion) {
    const std::wstring installer = FromBuild(DRAVIK_INSTALLER);
    EXPECT_EQ(installer.substr(installer.find_last_of(L'\\') + 1), L"Software-" + kVersion + L".exe");

    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(installer.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<std::uint8_t> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(installer.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    const WORD numbers[] = {PROGRAM_VERSION_NUMBERS};
    EXPECT_EQ(HIWORD(fixed->dwProductVersionMS), numbers[0]);
    EXPECT_EQ(LOWORD(fixed->dwProductVersionMS), numbers[1]);
    EXPECT_EQ(HIWORD(fixed->dwProductVersionLS), numbers[2]);
    EXPECT_EQ(LOWORD(fixed->dwProductVersionLS), numbers[3]);
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
