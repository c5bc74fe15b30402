// The display manager against the display simulator standing in for hidapi.dll.
#include "device/DisplayManager.h"

#include <gtest/gtest.h>

#include "support/SimulatedDisplays.h"

namespace {

class DisplayManagerTest : public testing::Test {
protected:
    void TearDown() override {
        DisplayManager::Instance().CloseAllDisplays();
        DisplayManager::Instance().ClearModels();
    }

    std::vector<std::uint8_t> Bytes(const SensorPayload& payload) {
        return std::vector<std::uint8_t>(payload.begin(), payload.end());
    }

    SimulatedDisplays m_sim;
    DisplayManager& m_manager = DisplayManager::Instance();
};

TEST_F(DisplayManagerTest, NothingIsSentBeforeTheFirstRescan) {
    m_sim.SetDevices({"path=tavo model=1"});
    EXPECT_FALSE(m_manager.SendToAllDisplays(BuildSensorFrame({45, 45, 4, 0, 37}, 1)));
    std::uint16_t version = 0;
    EXPECT_FALSE(m_manager.QueryFirmwareVersion(&version));
    EXPECT_TRUE(m_sim.Reports().empty());
}

TEST_F(DisplayManagerTest, RescanListsMatchingDisplaysInEnumerationOrder) {
    m_sim.SetDevices({
        "path=tavi model=2",
        "path=keyboard vendor=046d product=c52b page=1 usage=6",
        "path=tavo-other-collection model=1 page=ff00",
        "path=tavo-broken model=1 faults=unopenable",
        "path=tavo model=1",
    });
    m_manager.RescanDisplays();
    EXPECT_TRUE(m_manager.IsOpen());
    const std::vector<DisplaySummary> displays = m_manager.ListDisplays();
    ASSERT_EQ(displays.size(), 2u);
    EXPECT_EQ(displays[0].path, "tavi");
    EXPECT_EQ(displays[0].productId, kTaviProductId);
    EXPECT_EQ(displays[0].modelIndex, kTaviModelIndex);
    EXPECT_EQ(displays[1].path, "tavo");
    EXPECT_EQ(displays[1].modelIndex, kTavoModelIndex);
    EXPECT_EQ(m_manager.DisplayCount(), 2u);
}

TEST_F(DisplayManagerTest, RescanWithNothingAttachedStillOpensTheManager) {
    m_manager.RescanDisplays();
    EXPECT_TRUE(m_manager.IsOpen());
    EXPECT_EQ(m_manager.DisplayCount(), 0u);
    EXPECT_TRUE(m_manager.SendToAllDisplays(BuildSensorFrame({}, 1))) << "no display is still success";
}

TEST_F(DisplayManagerTest, TwoDisplaysReceiveTheSameFrameInOrder) {
    m_sim.SetDevices({"path=first model=1", "path=second model=2"});
    m_manager.RescanDisplays();
    const SensorPayload payload = BuildSensorFrame({45, 45, 4, 0, 37}, 1);
    ASSERT_TRUE(m_manager.SendToAllDisplays(payload));

    const std::vector<SimulatedReport> sends = m_sim.Sends();
    ASSERT_EQ(sends.size(), 2u);
    EXPECT_EQ(sends[0].path, "first");
    EXPECT_EQ(sends[1].path, "second");
    std::vector<std::uint8_t> expected = Bytes(payload);
    expected.push_back(0);
    for (const SimulatedReport& send : sends) {
        EXPECT_EQ(send.bytes.size(), kSensorReportSize);
        EXPECT_EQ(send.bytes, expected);
    }
}

TEST_F(DisplayManagerTest, DisplayThatRejectsFramesKeepsItsPlace) {
    m_sim.SetDevices({"path=stubborn model=1 faults=reject-send", "path=good model=1"});
    m_manager.RescanDisplays();
    EXPECT_TRUE(m_manager.SendToAllDisplays(BuildSensorFrame({30, 30, 3, 0, 5}, 1)));
    EXPECT_TRUE(m_manager.SendToAllDisplays(BuildSensorFrame({31, 31, 3, 0, 5}, 1)));
    EXPECT_EQ(m_manager.DisplayCount(), 2u);
    EXPECT_EQ(m_sim.Sends("good").size(), 2u);
}

TEST_F(DisplayManagerTest, CloseAllDisplaysStopsSending) {
    m_sim.SetDevices({"path=tavo model=1"});
    m_manager.RescanDisplays();
    m_manager.CloseAllDisplays();
    EXPECT_FALSE(m_manager.IsOpen());
    EXPECT_EQ(m_manager.DisplayCount(), 0u);
    EXPECT_FALSE(m_manager.SendToAllDisplays(BuildSensorFrame({}, 1)));
    EXPECT_TRUE(m_sim.Sends().empty());
}

TEST_F(DisplayManagerTest, RescanFollowsPlugAndUnplug) {
    m_sim.SetDevices({"path=tavo model=1"});
    m_manager.RescanDisplays();
    EXPECT_EQ(m_manager.DisplayCount(), 1u);
    m_sim.SetDevices({"path=tavo model=1", "path=tavi model=2"});
    m_manager.RescanDisplays();
    EXPECT_EQ(m_manager.DisplayCount(), 2u);
    m_sim.SetDevices({});
    m_manager.RescanDisplays();
    EXPECT_EQ(m_manager.DisplayCount(), 0u);
}

struct VersionCase {
    const char* name;
    const char* faults;
    bool succeeds;
    std::size_t reads;
    friend void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }
};

class FirmwareVersionQuery : public DisplayManagerTest, public testing::WithParamInterface<VersionCase> {};

TEST_P(FirmwareVersionQuery, AsksTheFirstDisplayAndRereadsOnce) {
    const VersionCase& c = GetParam();
    m_sim.SetDevices(
        {std::string("path=first model=2 firmware=0x0203 faults=") + c.faults, "path=second model=1 firmware=0x0999"});
    m_manager.RescanDisplays();
    std::uint16_t version = 0;
    EXPECT_EQ(m_manager.QueryFirmwareVersion(&version), c.succeeds);
    if (c.succeeds) {
        EXPECT_EQ(version, 0x0203);
    }

    const std::vector<SimulatedReport> reports = m_sim.Reports();
    std::size_t reads = 0;
    for (const SimulatedReport& report : reports) {
        EXPECT_EQ(report.path, "first") << "only the first display is asked";
        if (report.kind == "get" || report.kind == "get-failed")
            ++reads;
    }
    EXPECT_EQ(reads, c.reads);
    if (c.reads > 0) {
        ASSERT_FALSE(reports.empty());
        EXPECT_EQ(reports[0].kind, "send");
        ASSERT_EQ(reports[0].bytes.size(), kSensorPayloadSize);
        EXPECT_EQ(reports[0].bytes[0], 0x07);
        EXPECT_EQ(reports[0].bytes[1], 0xFD);
    }
}

INSTANTIATE_TEST_SUITE_P(Replies, FirmwareVersionQuery,
                         testing::Values(VersionCase{"GoodReply", "none", true, 1},
                                         VersionCase{"WrongIdThenGood", "bad-first-read", true, 2},
                                         VersionCase{"SecondReplyUsedEvenIfWrong", "bad-reads", true, 2},
                                         VersionCase{"ReadFails", "fail-read", false, 1},
                                         VersionCase{"SendRejected", "reject-send", false, 0}),
                         [](const testing::TestParamInfo<VersionCase>& info) { return info.param.name; });

TEST_F(DisplayManagerTest, VersionQueryWaitsBetweenReports) {
    m_sim.SetDevices({"path=first model=1 faults=bad-first-read"});
    m_manager.RescanDisplays();
    std::uint16_t version = 0;
    ASSERT_TRUE(m_manager.QueryFirmwareVersion(&version));
    const std::vector<SimulatedReport> reports = m_sim.Reports();
    ASSERT_EQ(reports.size(), 3u);
    // Each report follows a 16 ms pause; the clock may tick coarsely, so only a lower bound is checked.
    EXPECT_GE(reports[2].unixMs - reports[0].unixMs, 20);
}

TEST_F(DisplayManagerTest, NoDisplayMeansNoVersion) {
    m_manager.RescanDisplays();
    std::uint16_t version = 7;
    EXPECT_FALSE(m_manager.QueryFirmwareVersion(&version));
    EXPECT_EQ(version, 7);
}

} // namespace
