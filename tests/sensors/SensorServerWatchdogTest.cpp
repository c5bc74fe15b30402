// The watchdog's twelve checks against records in every state.
#include "sensors/SensorServerWatchdog.h"

#include <cstring>

#include <gtest/gtest.h>

namespace {

struct Record {
    Record() { std::memset(&record, 0, sizeof record); }
    SensorRecord record;
};

class SensorServerWatchdogTest : public testing::Test {
protected:
    int RunUntilStopped(const SensorRecord* view) {
        int ticks = 0;
        while (ticks < 100) {
            ++ticks;
            if (!m_watchdog.Tick(view))
                break;
        }
        return ticks;
    }

    int m_launches = 0;
    SensorServerWatchdog m_watchdog{[this] { ++m_launches; }};
};

TEST_F(SensorServerWatchdogTest, InactiveRecordIsRestartedAtEachOfTwelveChecks) {
    Record r;
    EXPECT_EQ(RunUntilStopped(&r.record), kWatchdogChecks);
    EXPECT_EQ(m_launches, kWatchdogChecks);
    EXPECT_EQ(m_watchdog.Ticks(), kWatchdogChecks);
}

TEST_F(SensorServerWatchdogTest, UnmappedRecordOnlyCounts) {
    EXPECT_EQ(RunUntilStopped(nullptr), kWatchdogChecks);
    EXPECT_EQ(m_launches, 0);
}

TEST_F(SensorServerWatchdogTest, ActiveRecordIsLeftAlone) {
    Record r;
    StoreRecordFloat(r.record.serverActivity, 1.0f);
    EXPECT_EQ(RunUntilStopped(&r.record), kWatchdogChecks);
    EXPECT_EQ(m_launches, 0);
}

TEST_F(SensorServerWatchdogTest, ServerThatPublishesLateIsStartedUntilItDoes) {
    Record r;
    EXPECT_TRUE(m_watchdog.Tick(&r.record)); // 5 s
    EXPECT_TRUE(m_watchdog.Tick(&r.record)); // 10 s
    StoreRecordFloat(r.record.serverActivity, 3.0f);
    while (m_watchdog.Tick(&r.record)) {
    }
    EXPECT_EQ(m_launches, 2);
}

TEST_F(SensorServerWatchdogTest, ServerThatStopsPublishingIsStartedAgain) {
    Record r;
    StoreRecordFloat(r.record.serverActivity, 1.0f);
    EXPECT_TRUE(m_watchdog.Tick(&r.record));
    StoreRecordFloat(r.record.serverActivity, 0.0f);
    EXPECT_TRUE(m_watchdog.Tick(&r.record));
    EXPECT_EQ(m_launches, 1);
}

TEST_F(SensorServerWatchdogTest, TicksAfterTheLastCheckDoNothing) {
    Record r;
    RunUntilStopped(&r.record);
    const int launches = m_launches;
    EXPECT_FALSE(m_watchdog.Tick(&r.record));
    EXPECT_EQ(m_launches, launches);
    EXPECT_EQ(m_watchdog.Ticks(), kWatchdogChecks);
}

} // namespace
