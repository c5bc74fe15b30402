// Starting the sensor server from an installation folder, the watchdog's restarts and ending a stale server, with a
// stand-in server that reports where it was started from.
#include "sensors/SensorServerLauncher.h"

#include <fstream>

#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include "SensorLaunchFixture.h"
#include "app/SensorServerProcess.h"
#include "support/WaitFor.h"

namespace {

using namespace std::chrono_literals;

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(towlower(c));
    return text;
}

TEST(SensorServerLauncher, StartsTheProgramFoldersServerEvenWithASpaceAndADecoyAtThePrefix) {
    InstallFolder install(L"Velbar Digital");
    // An unquoted command line would resolve to this one first.
    install.PlaceStandIn(install.Root() / "Velbar.exe");
    const int code = install.RunHost(L"launch");
    ASSERT_TRUE(code == 7 || code == 10) << code;
    const auto folder = install.ServerFolder(code == 10);
    ASSERT_TRUE(WaitFor([&] { return InstallFolder::StartedServers(folder).size() == 1; }));
    EXPECT_EQ(Lower(InstallFolder::StartedServers(folder)[0]), Lower((folder / kSensorServerImageName).wstring()));
    EXPECT_TRUE(InstallFolder::StartedServers(install.Root()).empty()) << "the decoy ran";
    EXPECT_TRUE(InstallFolder::StartedServers(install.ServerFolder(code != 10)).empty());
}

TEST(SensorServerLauncher, MissingServerIsSilentlyNotStarted) {
    InstallFolder install(L"Velbar Digital");
    std::filesystem::remove_all(install.ServerFolder(true));
    std::filesystem::remove_all(install.ServerFolder(false));
    const int code = install.RunHost(L"launch");
    EXPECT_TRUE(code == 7 || code == 10) << code;
}

TEST(SensorServerLauncher, ModuleDirectoryEndsInABackslash) {
    const std::wstring folder = ModuleDirectory();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), L'\\');
    EXPECT_EQ(Lower(folder), Lower(TestBinaryFolder().wstring() + L"\\"));
}

struct WatchdogCase {
    const char* name;
    bool serverPublishes;
    std::size_t starts;
    friend void PrintTo(const WatchdogCase& c, std::ostream* os) { *os << c.name; }
};

class SensorServerWatchdogRun : public testing::TestWithParam<WatchdogCase> {};

TEST_P(SensorServerWatchdogRun, RestartsWhileTheRecordIsInactiveThenStops) {
    const WatchdogCase& c = GetParam();
    InstallFolder install;
    if (c.serverPublishes) {
        for (bool windows10 : {true, false})
            std::ofstream(install.ServerFolder(windows10) / "publish") << "1";
    }
    EXPECT_EQ(install.RunHost(L"watchdog"), 12);
    const std::size_t starts = InstallFolder::StartedServers(install.ServerFolder(true)).size() +
                               InstallFolder::StartedServers(install.ServerFolder(false)).size();
    EXPECT_EQ(starts, c.starts);
}

INSTANTIATE_TEST_SUITE_P(Servers, SensorServerWatchdogRun,
                         testing::Values(WatchdogCase{"ServerThatNeverPublishes", false, 12},
                                         WatchdogCase{"ServerThatPublishes", true, 1}),
                         [](const testing::TestParamInfo<WatchdogCase>& info) { return info.param.name; });

// Processes in snapshot order whose image name is the server's in any letter case.
std::vector<DWORD> ServerProcessesInSnapshotOrder() {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (Lower(entry.szExeFile) == L"senmora.exe")
            ids.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

class RunningServers : public testing::Test {
protected:
    void TearDown() override {
        for (HANDLE process : m_processes) {
            TerminateProcess(process, 1);
            CloseHandle(process);
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    HANDLE Start(const std::wstring& relativePath) {
        const auto path = m_root / relativePath;
        std::filesystem::create_directories(path.parent_path());
        std::filesystem::copy_file(TestBinaryFolder() / "stand_in_sensor_server.exe", path);
        HANDLE process = StartProgram(path, L"--stay");
        if (process != nullptr)
            m_processes.push_back(process);
        return process;
    }

    std::filesystem::path m_root =
        std::filesystem::temp_directory_path() / ("servers-" + std::to_string(GetCurrentProcessId()));
    std::vector<HANDLE> m_processes;
};

TEST_F(RunningServers, TerminateEndsOnlyTheFirstMatchInAnyLetterCase) {
    HANDLE upper = Start(L"a\\SENMORA.EXE");
    HANDLE lower = Start(L"b\\senmora.exe");
    HANDLE other = Start(L"c\\Senmora2.exe");
    ASSERT_TRUE(upper && lower && other);
    ASSERT_TRUE(WaitFor([] { return ServerProcessesInSnapshotOrder().size() == 2; }));
    const DWORD first = ServerProcessesInSnapshotOrder().front();

    EXPECT_TRUE(TerminateSensorServer());
    HANDLE ended = GetProcessId(upper) == first ? upper : lower;
    HANDLE kept = ended == upper ? lower : upper;
    ASSERT_EQ(WaitForSingleObject(ended, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    GetExitCodeProcess(ended, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(WaitForSingleObject(kept, 500), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(other, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(RunningServers, TerminateWithNoServerRunningStillSucceeds) {
    ASSERT_TRUE(ServerProcessesInSnapshotOrder().empty());
    HANDLE other = Start(L"c\\Senmora.exe.bak.exe");
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(TerminateSensorServer());
    EXPECT_EQ(WaitForSingleObject(other, 500), static_cast<DWORD>(WAIT_TIMEOUT));
}

} // namespace
