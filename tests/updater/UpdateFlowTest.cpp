#include "updater/UpdateFlow.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <ostream>

#include "support/LocalUpdateServer.h"
#include "support/ZipBuilder.h"

namespace {

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Records what the install step asked to start instead of starting it.
class RecordingLauncher : public ProgramLauncher {
public:
    bool Start(const std::wstring& fullPath) override {
        started.push_back(fullPath);
        return true;
    }
    std::vector<std::wstring> started;
};

class UpdateFlowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new LocalUpdateServer(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override {
        ASSERT_EQ(server->Error(), "");
        dataFolder = MakeTempFolder(L"update data") + L"Velbar-Digital Files\\";
    }
    void TearDown() override { RemoveTree(dataFolder.substr(0, dataFolder.size() - 21)); }

    // Each test serves its own base folder, so tests in parallel processes never share documents.
    std::string Base(const std::string& name) const {
        return std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "/" + name + "/";
    }
    UpdateLocations Locations(const std::string& base, const std::string& mode = "") const {
        const std::wstring root = mode.empty() ? server->BaseUrl() : server->ModeBaseUrl(mode);
        return MakeUpdateLocations(root + std::wstring(base.begin(), base.end()));
    }
    std::wstring WorkPath(const std::wstring& name) const { return WorkFolder(dataFolder) + name; }

    static LocalUpdateServer* server;
    std::wstring dataFolder;
};

LocalUpdateServer* UpdateFlowTest::server = nullptr;

struct SoftwareCase {
    const char* name;
    std::string document;
    bool onRequestReports;
    LPARAM newer;
    bool automaticReports;
};

void PrintTo(const SoftwareCase& value, std::ostream* out) {
    *out << value.name;
}

class SoftwareCheckTable : public UpdateFlowTest, public ::testing::WithParamInterface<SoftwareCase> {};

TEST_P(SoftwareCheckTable, ReportsByModeAndDocument) {
    const std::string base = Base("base");
    server->PutFile(base + "software/version", GetParam().document);
    WebFetcher fetcher;
    std::wstring latest = L"before";
    const auto onRequest = CheckSoftware(fetcher, Locations(base), kCurrentVersion, CheckMode::OnRequest, latest);
    ASSERT_EQ(onRequest.has_value(), GetParam().onRequestReports);
    if (onRequest) {
        EXPECT_EQ(onRequest->kind, kUpdateKindSoftware);
        EXPECT_EQ(onRequest->newer, GetParam().newer);
        EXPECT_EQ(latest, std::wstring(GetParam().document.begin(), GetParam().document.end()));
    } else {
        EXPECT_EQ(latest, L"before");
    }
    const auto automatic = CheckSoftware(fetcher, Locations(base), kCurrentVersion, CheckMode::Automatic, latest);
    EXPECT_EQ(automatic.has_value(), GetParam().automaticReports);
}

INSTANTIATE_TEST_SUITE_P(Documents, SoftwareCheckTable,
                         ::testing::Values(SoftwareCase{"Same", "1.0.0.2", true, 0, false},
                                           SoftwareCase{"Newer", "1.0.0.10", true, 1, true},
                                           SoftwareCase{"Older", "1.0.0.1", true, 0, false},
                                           SoftwareCase{"ThreeParts", "1.0.1", true, 1, true},
                                           SoftwareCase{"LineBreak", "1.0.0.2\r\n", true, 0, false},
                                           SoftwareCase{"ElevenCharacters", "1.0.0.20000", false, 0, false},
                                           SoftwareCase{"Empty", "", false, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateFlowTest, ErrorPagesUnreachableAndUntrustedServersReportNothing) {
    WebFetcher fetcher;
    std::wstring latest;
    EXPECT_FALSE(CheckSoftware(fetcher, MakeUpdateLocations(server->ModeBaseUrl("404")), kCurrentVersion,
                               CheckMode::OnRequest, latest));
    EXPECT_FALSE(CheckSoftware(fetcher, MakeUpdateLocations(server->BaseUrl("closed")), kCurrentVersion,
                               CheckMode::OnRequest, latest));
    const std::string base = Base("base");
    server->PutFile(base + "software/version", "9.9.9.9");
    EXPECT_FALSE(CheckSoftware(fetcher, MakeUpdateLocations(server->BaseUrl("untrusted") + L"x/"), kCurrentVersion,
                               CheckMode::OnRequest, latest));
    EXPECT_TRUE(latest.empty());
}

TEST_F(UpdateFlowTest, FirmwareCheckUsesTheModelsLocationAndTheDisplaysVersion) {
    const std::string base = Base("base");
    server->PutFile(base + "firmware-Tavo/version", "103");
    server->PutFile(base + "firmware-Tavi/version", "102");
    WebFetcher fetcher;
    std::wstring latest;
    auto version0102 = [](std::uint16_t* v) {
        *v = 0x0102;
        return true;
    };
    auto noDisplay = [](std::uint16_t*) { return false; };

    auto report = CheckFirmware(fetcher, Locations(base), 1, version0102, CheckMode::OnRequest, latest);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->kind, kUpdateKindFirmware);
    EXPECT_EQ(report->newer, 1);
    EXPECT_EQ(latest, L"103");

    // No display found yet uses the second model's location.
    report = CheckFirmware(fetcher, Locations(base), 0, version0102, CheckMode::OnRequest, latest);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->newer, 0);
    EXPECT_EQ(latest, L"102");
    EXPECT_FALSE(CheckFirmware(fetcher, Locations(base), 2, version0102, CheckMode::Automatic, latest));

    // A display that cannot tell its version is reported as up to date.
    report = CheckFirmware(fetcher, Locations(base), 1, noDisplay, CheckMode::OnRequest, latest);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->newer, 0);

    // An unusable document clears the latest version and reports nothing.
    EXPECT_FALSE(CheckFirmware(fetcher, Locations(Base("missing")), 1, version0102, CheckMode::OnRequest, latest));
    EXPECT_TRUE(latest.empty());
}

std::string StandInInstallerBytes() {
    return ReadWholeFile(WindowsPathOf(DRAVIK_STAND_IN_INSTALLER));
}

TEST_F(UpdateFlowTest, InstallDownloadsUnpacksDeletesTheArchiveAndStartsOnlyTheProgram) {
    const std::string base = Base("base");
    const std::string program = SampleBytes(30000, 11);
    ZipEntrySpec exe;
    exe.name = "Software-1.0.0.3.exe";
    exe.data = program;
    ZipEntrySpec other;
    other.name = "setup.exe";
    other.data = "another program";
    server->PutFile(base + "software/Software-1.0.0.3.zip", BuildZip({exe, other}));

    WebFetcher fetcher;
    RecordingLauncher launcher;
    InstallRequest request{UpdateKind::Software, L"1.0.0.3", Locations(base).software, dataFolder, nullptr};
    EXPECT_EQ(InstallUpdate(fetcher, request, launcher), InstallOutcome::Started);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0], WorkPath(L"Software-1.0.0.3.exe"));
    EXPECT_EQ(ReadWholeFile(WorkPath(L"Software-1.0.0.3.exe")), program);
    EXPECT_FALSE(Exists(WorkPath(L"Software-1.0.0.3.zip")));

    bool threeSlashes = false;
    for (const auto& served : server->Requests()) {
        threeSlashes |= served.path == "/" + base + "software///Software-1.0.0.3.zip";
    }
    EXPECT_TRUE(threeSlashes);
}

TEST_F(UpdateFlowTest, InstallStartsTheRealProgramByItsQuotedPath) {
    const std::string base = Base("base");
    ZipEntrySpec exe;
    exe.name = "FirmwareUpdateTool-103.exe";
    exe.data = StandInInstallerBytes();
    ASSERT_FALSE(exe.data.empty());
    server->PutFile(base + "firmware-Tavo/FirmwareUpdateTool-103.zip", BuildZip({exe}));

    WebFetcher fetcher;
    InstallerLauncher launcher;
    InstallRequest request{UpdateKind::Firmware, L"103", FirmwareLocation(Locations(base), 1), dataFolder, nullptr};
    ASSERT_EQ(InstallUpdate(fetcher, request, launcher), InstallOutcome::Started);

    const std::wstring marker = WorkPath(L"FirmwareUpdateTool-103.exe.ran");
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (!Exists(marker) && GetTickCount64() < deadline) {
        Sleep(50);
    }
    ASSERT_TRUE(Exists(marker));
    const std::wstring path = WorkPath(L"FirmwareUpdateTool-103.exe");
    const std::string expected = "\"" + std::string(path.begin(), path.end()) + "\"";
    EXPECT_EQ(ReadWholeFile(marker), expected);
}

struct FailedInstall {
    const char* name;
    const char* mode; // server misbehaviour
    bool withProgram; // the archive holds the program
    InstallOutcome outcome;
};

void PrintTo(const FailedInstall& value, std::ostream* out) {
    *out << value.name;
}

class InstallFailure : public UpdateFlowTest, public ::testing::WithParamInterface<FailedInstall> {};

TEST_P(InstallFailure, StartsNothingAndLeavesNoArchive) {
    const std::string base = Base("base");
    ZipEntrySpec entry;
    entry.name = GetParam().withProgram ? "Software-1.0.0.3.exe" : "readme.txt";
    entry.data = SampleBytes(100000, 12);
    server->PutFile(base + "software/Software-1.0.0.3.zip", BuildZip({entry}));
    // An older copy of the program left in the work folder must not be started instead.
    CreateDirectoryPath(WorkFolder(dataFolder));
    WriteWholeFile(WorkPath(L"Software-1.0.0.3.exe"), "old program");

    WebFetcher fetcher;
    RecordingLauncher launcher;
    InstallRequest request{UpdateKind::Software, L"1.0.0.3", Locations(base, GetParam().mode).software, dataFolder,
                           nullptr};
    EXPECT_EQ(InstallUpdate(fetcher, request, launcher), GetParam().outcome);
    EXPECT_TRUE(launcher.started.empty());
    if (GetParam().outcome == InstallOutcome::NotDownloaded) {
        EXPECT_FALSE(Exists(WorkPath(L"Software-1.0.0.3.zip")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Installs, InstallFailure,
    ::testing::Values(FailedInstall{"TruncatedDownload", "truncate", true, InstallOutcome::NotDownloaded},
                      FailedInstall{"WrongLength", "length-over", true, InstallOutcome::NotDownloaded},
                      FailedInstall{"ErrorPageInsteadOfArchive", "404", true, InstallOutcome::NoProgram},
                      FailedInstall{"ArchiveWithoutTheProgram", "", false, InstallOutcome::NoProgram}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateFlowTest, InstallRefusesAVersionThatWouldNameAFileOutsideTheWorkFolder) {
    WebFetcher fetcher;
    RecordingLauncher launcher;
    InstallRequest request{UpdateKind::Software, L"..\\..\\x", Locations(Base("base")).software, dataFolder, nullptr};
    EXPECT_EQ(InstallUpdate(fetcher, request, launcher), InstallOutcome::UnusableVersion);
    EXPECT_TRUE(launcher.started.empty());
    EXPECT_FALSE(Exists(dataFolder));
}

TEST_F(UpdateFlowTest, InstallFromAnUntrustedServerDownloadsNothing) {
    WebFetcher fetcher;
    RecordingLauncher launcher;
    InstallRequest request{UpdateKind::Software, L"1.0.0.3", MakeUpdateLocations(server->BaseUrl("wrongname")).software,
                           dataFolder, nullptr};
    EXPECT_EQ(InstallUpdate(fetcher, request, launcher), InstallOutcome::NotDownloaded);
    EXPECT_TRUE(launcher.started.empty());
}

TEST(UpdateDataFolderTest, IsTheProductFolderInsideLocalApplicationData) {
    wchar_t local[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local), S_OK);
    EXPECT_EQ(UpdateDataFolder(), std::wstring(local) + L"\\Velbar-Digital Files\\");
}

TEST(CreateDirectoryPathTest, CreatesEveryMissingLevelAndAcceptsExistingFolders) {
    const std::wstring root = MakeTempFolder(L"create path");
    EXPECT_TRUE(CreateDirectoryPath(root + L"a\\b\\c\\"));
    EXPECT_TRUE(Exists(root + L"a\\b\\c"));
    EXPECT_TRUE(CreateDirectoryPath(root + L"a\\b\\c"));
    WriteWholeFile(root + L"file", "x");
    EXPECT_FALSE(CreateDirectoryPath(root + L"file\\below"));
    RemoveTree(root);
}

TEST(UpdateLocationsTest, ShareTheBaseAndEndWithASlash) {
    const UpdateLocations locations = MakeUpdateLocations(L"https://localhost:1/base");
    EXPECT_EQ(locations.software, L"https://localhost:1/base/software/");
    EXPECT_EQ(locations.firmwareTavo, L"https://localhost:1/base/firmware-Tavo/");
    EXPECT_EQ(locations.firmwareTavi, L"https://localhost:1/base/firmware-Tavi/");
    EXPECT_EQ(DefaultUpdateBaseLocation().rfind(L"https://", 0), 0u);
    EXPECT_EQ(DefaultUpdateBaseLocation().back(), L'/');
}

} // namespace
