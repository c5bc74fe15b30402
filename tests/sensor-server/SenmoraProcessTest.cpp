// Starts the real Senmora.exe from a private copy folder with its own "senmora.ini" and reads the shared record
// through the same read-only view the main program uses.
#include "sensors/SensorRecordMapping.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// Wine start-up on a loaded two-core machine can take many seconds; waits are for conditions, not durations.
constexpr auto kGenerousDeadline = std::chrono::seconds(40);
constexpr wchar_t kServerMutexName[] = L"senmora_sensor_server";
constexpr const wchar_t* kServerVariables[] = {L"SENMORA_SOURCE", L"SENMORA_HWMON_ROOT", L"SENMORA_THERMAL_ROOT"};

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds deadline = kGenerousDeadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

fs::path TestProgramFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(std::wstring(path, length)).parent_path();
}

void WriteFile(const fs::path& path, const std::string& content) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

// A fresh folder holding a copy of the server, removed again with everything in it.
class ServerFolder {
public:
    ServerFolder() {
        static int counter = 0;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_folder = fs::path(temp) /
                   ("senmora-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        fs::copy_file(TestProgramFolder() / "Senmora.exe", Exe());
    }
    ~ServerFolder() {
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    ServerFolder(const ServerFolder&) = delete;
    ServerFolder& operator=(const ServerFolder&) = delete;

    fs::path Exe() const { return m_folder / "Senmora.exe"; }
    const fs::path& Path() const { return m_folder; }
    void Config(const std::string& text) const { WriteFile(m_folder / "senmora.ini", text); }

    // hwmon and thermal roots inside this folder; the thermal one stays empty so that a bad hwmon tree leaves
    // no temperature at all instead of whatever the host offers (WMI under Wine has none).
    fs::path Hwmon() const { return m_folder / "sys" / "hwmon"; }
    fs::path Thermal() const { return m_folder / "sys" / "thermal"; }
    void Chip(const std::string& folder, const std::string& name, const std::string& input,
              const std::string& label) const {
        WriteFile(Hwmon() / folder / "name", name + "\n");
        WriteFile(Hwmon() / folder / "temp1_input", input);
        WriteFile(Hwmon() / folder / "temp1_label", label + "\n");
    }
    void StandardTree() const {
        Chip("hwmon0", "coretemp", "47500\n", "Package id 0");
        Chip("hwmon1", "amdgpu", "61000\n", "edge");
        fs::create_directories(Thermal());
    }
    std::string HwmonConfig() const {
        return "source=hwmon\nhwmon_root=" + Hwmon().string() + "\nthermal_root=" + Thermal().string() + "\n";
    }

private:
    fs::path m_folder;
};

// A started server, killed when the test ends whatever happened. A job that kills on close covers a test
// process that dies before its destructors run.
class ServerProcess {
public:
    explicit ServerProcess(const fs::path& exe) {
        m_job = CreateJobObjectW(nullptr, nullptr);
        if (m_job != nullptr) {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
            limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
            SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        }
        // As the main program starts it: the full path as the whole command line, no arguments.
        std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                            nullptr, &startup, &info))
            return;
        m_process = info.hProcess;
        if (m_job != nullptr)
            AssignProcessToJobObject(m_job, m_process);
        ResumeThread(info.hThread);
        CloseHandle(info.hThread);
    }
    ~ServerProcess() {
        Terminate();
        if (m_process != nullptr)
            CloseHandle(m_process);
        if (m_job != nullptr)
            CloseHandle(m_job);
    }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    bool Started() const { return m_process != nullptr; }
    bool WaitForExit(DWORD milliseconds = 40000) const {
        return m_process != nullptr && WaitForSingleObject(m_process, milliseconds) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(m_process, &code);
        return code;
    }
    void Terminate() {
        if (m_process != nullptr && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_process, 0);
            WaitForSingleObject(m_process, 20000);
        }
    }

private:
    HANDLE m_job = nullptr;
    HANDLE m_process = nullptr;
};

class SenmoraProcess : public testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* name : kServerVariables)
            SetEnvironmentVariableW(name, nullptr);
        HANDLE running = OpenMutexW(SYNCHRONIZE, FALSE, kServerMutexName);
        if (running != nullptr) {
            CloseHandle(running);
            FAIL() << "a sensor server from elsewhere is running; these tests need the record to themselves";
        }
        record = OpenSensorRecord();
        ASSERT_NE(record, nullptr);
    }
    void TearDown() override {
        for (const wchar_t* name : kServerVariables)
            SetEnvironmentVariableW(name, nullptr);
    }

    const SensorRecord& View() const { return *record->View(); }
    float Activity() const { return LoadRecordFloat(View().serverActivity); }
    float Temperature() const { return LoadRecordFloat(View().primaryTemperature); }
    float Second() const { return LoadRecordFloat(View().secondReading); }
    std::string Name1() const { return std::string(View().alternateName1, strnlen(View().alternateName1, 136)); }
    std::string Name2() const { return std::string(View().alternateName2, strnlen(View().alternateName2, 136)); }
    // Activity counts the server's passes: waiting for a count proves it is still publishing.
    bool WaitForActivityBeyond(float activity) {
        return WaitFor([&] { return Activity() > activity; });
    }

    std::unique_ptr<SensorRecordMapping> record;
};

TEST_F(SenmoraProcess, DemoServerShowsActivitySoonAfterStart) {
    ServerFolder folder;
    folder.Config("source=demo\n");
    ASSERT_FALSE(ServerActive(&View()));

    const auto start = std::chrono::steady_clock::now();
    ServerProcess server(folder.Exe());
    ASSERT_TRUE(server.Started());
    ASSERT_TRUE(WaitFor([&] { return ServerActive(&View()); }));
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("first_activity_ms", static_cast<int>(milliseconds));
    std::cout << "first activity " << milliseconds << " ms after CreateProcess\n";

    const SensorSnapshot snapshot = ReadSnapshot(&View(), 0);
    EXPECT_GE(snapshot.celsius, 30);
    EXPECT_LE(snapshot.celsius, 62);
    EXPECT_GE(snapshot.second, 1);
    EXPECT_LE(snapshot.second, 99);
    EXPECT_EQ(Name1(), "Demo GPU");
    EXPECT_EQ(Name2(), "Demo board");
}

TEST_F(SenmoraProcess, DemoValuesChangeOverTime) {
    ServerFolder folder;
    folder.Config("source=demo\n");
    ServerProcess server(folder.Exe());
    ASSERT_TRUE(WaitForActivityBeyond(0.0f));
    const float temperature = Temperature(), load = Second(), activity = Activity();
    EXPECT_TRUE(WaitFor([&] { return Temperature() != temperature; }));
    EXPECT_TRUE(WaitFor([&] { return Second() != load; }));
    EXPECT_GT(Activity(), activity);
}

TEST_F(SenmoraProcess, SecondCopyExitsWithoutTouchingTheRecord) {
    ServerFolder first;
    first.Config("source=demo\n");
    ServerProcess server(first.Exe());
    ASSERT_TRUE(WaitFor([&] { return Activity() >= 2.0f; }));

    // Had this copy published, the record would show its fixed 47.5 and its GPU name, and the pass count
    // would start again at 1.
    ServerFolder second;
    second.StandardTree();
    second.Config(second.HwmonConfig());
    ServerProcess other(second.Exe());
    ServerProcess sameFolder(first.Exe());
    float lastActivity = Activity();
    bool touched = false;
    const auto watch = [&] {
        const float activity = Activity();
        touched = touched || activity < lastActivity || Temperature() == 47.5f || Name1() != "Demo GPU";
        lastActivity = activity;
    };
    EXPECT_TRUE(WaitFor([&] {
        watch();
        return other.WaitForExit(0) && sameFolder.WaitForExit(0);
    }));
    EXPECT_EQ(other.ExitCode(), 0u);
    EXPECT_EQ(sameFolder.ExitCode(), 0u);

    // The first copy carries on as before.
    const float after = Activity();
    EXPECT_TRUE(WaitFor([&] {
        watch();
        return Activity() >= after + 2.0f;
    }));
    EXPECT_FALSE(touched);
}

TEST_F(SenmoraProcess, TerminatedServerLeavesTheRecordReadable) {
    ServerFolder folder;
    folder.Config("source=demo\n");
    {
        ServerProcess server(folder.Exe());
        ASSERT_TRUE(WaitFor([&] { return Activity() >= 2.0f; }));
        server.Terminate();
        ASSERT_TRUE(server.WaitForExit());
    }
    // The last pass stays readable, whole, through the view we hold and through a new one.
    const float temperature = Temperature();
    EXPECT_GE(temperature, 30.0f);
    EXPECT_LE(temperature, 62.0f);
    EXPECT_EQ(Name1(), "Demo GPU");
    auto again = OpenSensorRecord();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(std::memcmp(again->View(), &View(), kSensorRecordSize), 0);

    // Its lock went with it: the next start publishes again, counting from the beginning.
    ServerProcess restarted(folder.Exe());
    EXPECT_TRUE(WaitFor([&] { return Activity() >= 1.0f && Activity() < 3.0f && Temperature() != temperature; }));
    EXPECT_TRUE(WaitForActivityBeyond(Activity()));
}

struct HwmonSetup {
    const char* name;
    std::function<void(const ServerFolder&)> configure;
    friend void PrintTo(const HwmonSetup& c, std::ostream* os) { *os << c.name; }
};

class SenmoraHwmon : public SenmoraProcess, public testing::WithParamInterface<HwmonSetup> {};

TEST_P(SenmoraHwmon, PublishesMillidegreesOverAThousand) {
    ServerFolder folder;
    folder.StandardTree();
    GetParam().configure(folder);
    ServerProcess server(folder.Exe());
    ASSERT_TRUE(WaitFor([&] { return ServerActive(&View()); }));
    EXPECT_TRUE(WaitFor([&] { return Temperature() == 47.5f; })) << Temperature();
    EXPECT_EQ(Name1(), "amdgpu");
    EXPECT_EQ(LoadRecordFloat(View().alternateTemperature1), 61.0f);
    EXPECT_EQ(Name2(), "");
    // The second number is the system's CPU load.
    EXPECT_GE(Second(), 0.0f);
    EXPECT_LE(Second(), 100.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, SenmoraHwmon,
    testing::Values(HwmonSetup{"ConfigFile", [](const ServerFolder& f) { f.Config(f.HwmonConfig()); }},
                    HwmonSetup{"RelativeFoldersInConfigFile",
                               [](const ServerFolder& f) {
                                   f.Config("source = hwmon\r\nhwmon_root = sys\\hwmon\r\nthermal_root=sys\\thermal");
                               }},
                    HwmonSetup{"EnvironmentOverConfigFile", [](const ServerFolder& f) {
                                   f.Config("source=demo\nhwmon_root=C:\\nowhere\n");
                                   SetEnvironmentVariableW(L"SENMORA_SOURCE", L"hwmon");
                                   SetEnvironmentVariableW(L"SENMORA_HWMON_ROOT", f.Hwmon().c_str());
                                   SetEnvironmentVariableW(L"SENMORA_THERMAL_ROOT", f.Thermal().c_str());
                               }}));

struct BadInput {
    const char* name;
    std::function<void(const ServerFolder&)> configure;
    bool noSensorLeft;           // false: the automatic chain, whose result depends on the host's own sensors
    bool lockHwmonInput = false; // held open without sharing, so the server cannot read it
    friend void PrintTo(const BadInput& c, std::ostream* os) { *os << c.name; }
};

class SenmoraBadInput : public SenmoraProcess, public testing::WithParamInterface<BadInput> {};

TEST_P(SenmoraBadInput, FallsBackAndKeepsPublishing) {
    ServerFolder folder;
    GetParam().configure(folder);
    HANDLE locked = INVALID_HANDLE_VALUE;
    if (GetParam().lockHwmonInput) {
        locked = CreateFileW((folder.Hwmon() / "hwmon0" / "temp1_input").c_str(), GENERIC_READ, 0, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    }
    ServerProcess server(folder.Exe());
    EXPECT_TRUE(WaitFor([&] { return Activity() >= 3.0f; }));
    EXPECT_TRUE(ServerActive(&View()));
    EXPECT_GE(Second(), 0.0f);
    EXPECT_LE(Second(), 100.0f);
    // A failed sensor leaves "no reading" (0 degrees, no alternates); nothing is made up in its place.
    EXPECT_NE(Name1(), "Demo GPU");
    if (GetParam().noSensorLeft) {
        EXPECT_EQ(Temperature(), 0.0f);
        EXPECT_EQ(Name1(), "");
        EXPECT_EQ(Name2(), "");
    } else {
        EXPECT_GT(Temperature(), -50.0f);
        EXPECT_LT(Temperature(), 127.0f);
    }
    EXPECT_FALSE(server.WaitForExit(0));
    if (locked != INVALID_HANDLE_VALUE)
        CloseHandle(locked);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SenmoraBadInput,
    testing::Values(BadInput{"GarbageHwmonFile",
                             [](const ServerFolder& f) {
                                 f.StandardTree();
                                 WriteFile(f.Hwmon() / "hwmon0" / "temp1_input", "hot!\n");
                                 f.Config(f.HwmonConfig());
                             },
                             true},
                    BadInput{"UnreadableHwmonFile",
                             [](const ServerFolder& f) {
                                 f.StandardTree();
                                 f.Config(f.HwmonConfig());
                             },
                             true, true},
                    BadInput{"MissingHwmonFolder",
                             [](const ServerFolder& f) {
                                 fs::create_directories(f.Thermal());
                                 f.Config(f.HwmonConfig());
                             },
                             true},
                    BadInput{"MissingConfigFile", [](const ServerFolder&) {}, false},
                    BadInput{"UnknownSourceName", [](const ServerFolder& f) { f.Config("source=quantum\n"); }, false},
                    BadInput{"BinaryConfigFile",
                             [](const ServerFolder& f) { f.Config(std::string("\x00\xff\xfe=\x01source\n\x80", 10)); },
                             false}));

TEST_F(SenmoraProcess, SurvivesHwmonFilesGoingBadWhileRunning) {
    ServerFolder folder;
    folder.StandardTree();
    folder.Config(folder.HwmonConfig());
    ServerProcess server(folder.Exe());
    ASSERT_TRUE(WaitFor([&] { return Temperature() == 47.5f; }));

    WriteFile(folder.Hwmon() / "hwmon0" / "temp1_input", std::string("\xff\xfe\x00garbage", 10));
    EXPECT_TRUE(WaitFor([&] { return Temperature() == 0.0f && Name1().empty(); }));
    float activity = Activity();
    EXPECT_TRUE(WaitForActivityBeyond(activity));

    fs::remove_all(folder.Hwmon());
    activity = Activity();
    EXPECT_TRUE(WaitForActivityBeyond(activity + 1.0f));

    // Once the sensor is back, it is published again.
    folder.StandardTree();
    EXPECT_TRUE(WaitFor([&] { return Temperature() == 47.5f && Name1() == "amdgpu"; }));
}

} // namespace
