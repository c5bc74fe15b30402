// The worker's update commands against the local update server: what reaches the main window, what is stored.
#include "updater/UpdateCommands.h"

#include <gtest/gtest.h>

#include "device/WorkerCommands.h"
#include "support/LocalUpdateServer.h"
#include "support/ZipBuilder.h"

namespace {

class RecordingLauncher : public ProgramLauncher {
public:
    bool Start(const std::wstring& fullPath) override {
        started.push_back(fullPath);
        return true;
    }
    std::vector<std::wstring> started;
};

// A message-only window standing in for the main window; results are read straight from its queue.
class ResultWindow {
public:
    ResultWindow() {
        m_window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~ResultWindow() { DestroyWindow(m_window); }
    HWND Get() const { return m_window; }
    std::vector<std::pair<WPARAM, LPARAM>> TakeResults() {
        std::vector<std::pair<WPARAM, LPARAM>> results;
        MSG message;
        while (PeekMessageW(&message, m_window, WM_UPDATE_RESULT, WM_UPDATE_RESULT, PM_REMOVE))
            results.emplace_back(message.wParam, message.lParam);
        return results;
    }

private:
    HWND m_window;
};

class UpdateCommandsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new LocalUpdateServer(); }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override { ASSERT_EQ(server->Error(), ""); }

    UpdateLocations Locations() const {
        const std::string base = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "/";
        m_base = base;
        return MakeUpdateLocations(server->BaseUrl() + std::wstring(base.begin(), base.end()));
    }
    void Put(const std::string& path, const std::string& bytes) const { server->PutFile(m_base + path, bytes); }

    static LocalUpdateServer* server;
    mutable std::string m_base;
    RecordingLauncher m_launcher;
    ResultWindow m_window;
    std::uint16_t m_firmware = 0x0102;
    UpdateCommands::FirmwareQuery m_query = [this](std::uint16_t* version) {
        *version = m_firmware;
        return true;
    };
};

LocalUpdateServer* UpdateCommandsTest::server = nullptr;

using Results = std::vector<std::pair<WPARAM, LPARAM>>;

TEST_F(UpdateCommandsTest, SoftwareChecksReportByModeAndKeepTheVersion) {
    UpdateCommands commands(Locations(), L"1.0.0.2", m_launcher, m_query);
    Put("software/version", "1.0.0.2");
    EXPECT_FALSE(commands.Run(CMD_AUTO_CHECK_SOFTWARE, m_window.Get(), 0));
    EXPECT_EQ(m_window.TakeResults(), Results{}) << "the start-up check reports only a newer version";
    EXPECT_FALSE(commands.Run(CMD_CHECK_SOFTWARE, m_window.Get(), 0));
    EXPECT_EQ(m_window.TakeResults(), (Results{{1, 0}}));

    Put("software/version", "1.0.0.3");
    EXPECT_FALSE(commands.Run(CMD_AUTO_CHECK_SOFTWARE, m_window.Get(), 0));
    EXPECT_EQ(m_window.TakeResults(), (Results{{1, 1}}));
    EXPECT_EQ(commands.LatestSoftwareVersion(), L"1.0.0.3");

    Put("software/version", "12345678901"); // not accepted: nothing reported, the last good version stays
    EXPECT_FALSE(commands.Run(CMD_CHECK_SOFTWARE, m_window.Get(), 0));
    EXPECT_EQ(m_window.TakeResults(), Results{});
    EXPECT_EQ(commands.LatestSoftwareVersion(), L"1.0.0.3");
}

TEST_F(UpdateCommandsTest, FirmwareCheckUsesTheModelLocationAndTheDisplayVersion) {
    UpdateCommands commands(Locations(), L"1.0.0.2", m_launcher, m_query);
    Put("firmware-Tavo/version", "103");
    Put("firmware-Tavi/version", "102");
    EXPECT_FALSE(commands.Run(CMD_CHECK_FIRMWARE, m_window.Get(), 1));
    EXPECT_EQ(m_window.TakeResults(), (Results{{2, 1}}));
    EXPECT_EQ(commands.LatestFirmwareVersion(), L"103");
    EXPECT_FALSE(commands.Run(CMD_CHECK_FIRMWARE, m_window.Get(), 0)) << "no display yet: the Tavi location";
    EXPECT_EQ(m_window.TakeResults(), (Results{{2, 0}}));
    EXPECT_EQ(commands.LatestFirmwareVersion(), L"102");
}

TEST_F(UpdateCommandsTest, AcceptedSoftwareUpdateStartsTheInstallerAndEndsTheProgram) {
    UpdateCommands commands(Locations(), L"1.0.0.2", m_launcher, m_query);
    Put("software/version", "1.0.0.3");
    ZipEntrySpec installer;
    installer.name = "Software-1.0.0.3.exe";
    installer.data = "stand-in installer";
    Put("software/Software-1.0.0.3.zip", BuildZip({installer}));
    commands.Run(CMD_AUTO_CHECK_SOFTWARE, m_window.Get(), 0);

    EXPECT_TRUE(commands.Run(CMD_UPDATE_SOFTWARE, m_window.Get(), 0));
    ASSERT_EQ(m_launcher.started.size(), 1u);
    EXPECT_EQ(m_launcher.started[0], UpdateDataFolder() + L"temp\\Software-1.0.0.3.exe");
    DeleteFileW(m_launcher.started[0].c_str());
}

TEST_F(UpdateCommandsTest, MissingArchiveKeepsTheProgramRunning) {
    UpdateCommands commands(Locations(), L"1.0.0.2", m_launcher, m_query);
    Put("software/version", "1.0.0.4");
    commands.Run(CMD_AUTO_CHECK_SOFTWARE, m_window.Get(), 0);
    EXPECT_FALSE(commands.Run(CMD_UPDATE_SOFTWARE, m_window.Get(), 0));
    EXPECT_TRUE(m_launcher.started.empty());
}

TEST_F(UpdateCommandsTest, OtherCodesDoNothing) {
    UpdateCommands commands(Locations(), L"1.0.0.2", m_launcher, m_query);
    for (std::int32_t code : {0, CMD_RESCAN, 2, 9})
        EXPECT_FALSE(commands.Run(code, m_window.Get(), 0));
    EXPECT_EQ(m_window.TakeResults(), Results{});
}

} // namespace
