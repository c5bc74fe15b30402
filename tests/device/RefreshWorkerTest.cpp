// The refresh worker on its own thread against the display simulator and the real shared sensor record, driven the
// way the main window drives it: commands, settings and device-interface broadcasts.
#include "device/RefreshWorker.h"

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

#include <dbt.h>
#include <gtest/gtest.h>

#include "device/CThreadBasic.h"
#include "device/DeviceNotifications.h"
#include "device/DisplayManager.h"
#include "support/SimulatedDisplays.h"
#include "support/WaitFor.h"

namespace {

using namespace std::chrono_literals;

// What the main window does: its Run is one worker pass, and it joins the thread before its members go.
class WorkerOwner : public CThreadBasic {
public:
    ~WorkerOwner() override {
        worker.Interrupt();
        WaitForThreadEnd();
    }
    void Run() override { worker.RunPass(); }
    RefreshWorker worker;
};

// The sensor server's side of the record.
struct ServerRecord {
    ServerRecord() {
        handle =
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSensorRecordSize, kSensorRecordName);
        if (handle != nullptr)
            record = static_cast<SensorRecord*>(MapViewOfFile(handle, FILE_MAP_WRITE, 0, 0, kSensorRecordSize));
        if (record != nullptr)
            std::memset(record, 0, sizeof *record);
    }
    ~ServerRecord() {
        if (record != nullptr) {
            std::memset(record, 0, sizeof *record);
            UnmapViewOfFile(record);
        }
        if (handle != nullptr)
            CloseHandle(handle);
    }
    HANDLE handle = nullptr;
    SensorRecord* record = nullptr;
};

// Records update commands; one code can be made to block like a long download until released.
class UpdateRecorder {
public:
    void operator()(std::int32_t code) {
        std::unique_lock lock(m_lock);
        m_seen.push_back({code, DisplayManager::Instance().DisplayCount()});
        m_changed.notify_all();
        if (code == m_blockingCode)
            m_changed.wait_for(lock, 60s, [this] { return m_released; });
    }
    void BlockOn(std::int32_t code) { m_blockingCode = code; }
    void Release() {
        std::lock_guard lock(m_lock);
        m_released = true;
        m_changed.notify_all();
    }
    std::vector<std::int32_t> Codes() {
        std::lock_guard lock(m_lock);
        std::vector<std::int32_t> codes;
        for (const auto& entry : m_seen)
            codes.push_back(entry.first);
        return codes;
    }
    std::size_t DisplaysWhenSeen(std::size_t index) {
        std::lock_guard lock(m_lock);
        return m_seen.at(index).second;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<std::pair<std::int32_t, std::size_t>> m_seen;
    std::int32_t m_blockingCode = 0;
    bool m_released = false;
};

// A device-interface broadcast as the system sends it, with a variable-length name.
class InterfaceBroadcast {
public:
    InterfaceBroadcast(const std::wstring& name, DWORD kind = DBT_DEVTYP_DEVICEINTERFACE) {
        const std::size_t size = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + (name.size() + 1) * 2;
        m_bytes.assign(size, 0);
        auto* broadcast = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(m_bytes.data());
        broadcast->dbcc_size = static_cast<DWORD>(size);
        broadcast->dbcc_devicetype = kind;
        std::memcpy(broadcast->dbcc_name, name.c_str(), (name.size() + 1) * 2);
    }
    // Claims a shorter broadcast, as if the name ended after `characters`; the bytes beyond stay in place.
    void ClaimNameLength(std::size_t characters) {
        header()->dbch_size = static_cast<DWORD>(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) + characters * 2);
    }
    LPARAM Param() { return reinterpret_cast<LPARAM>(m_bytes.data()); }

private:
    DEV_BROADCAST_HDR* header() { return reinterpret_cast<DEV_BROADCAST_HDR*>(m_bytes.data()); }
    std::vector<std::uint8_t> m_bytes;
};

constexpr wchar_t kTavoInterface[] =
    L"\\\\?\\hid#vid_1a2c&pid_4c84&mi_01#7&2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr wchar_t kTaviInterface[] =
    L"\\\\?\\HID#VID_1A2C&PID_4D84&MI_01#7&2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

class RefreshWorkerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_server.record, nullptr);
        StoreRecordFloat(m_server.record->primaryTemperature, 45.9f);
        StoreRecordFloat(m_server.record->secondReading, 37.6f);
        StoreRecordFloat(m_server.record->serverActivity, 1.0f);
    }
    void TearDown() override {
        m_owner.reset();
        DisplayManager::Instance().CloseAllDisplays();
        DisplayManager::Instance().ClearModels();
    }

    RefreshWorker& Worker() { return m_owner->worker; }
    void Start() {
        Worker().SetUpdateCommandHandler([this](std::int32_t code) { m_updates(code); });
        m_owner->StartWorker();
    }
    // A marker command proves the worker has taken every command queued before it.
    void Drain(std::int32_t marker = CMD_CHECK_SOFTWARE) {
        const std::size_t before = m_updates.Codes().size();
        Worker().PostCommand(marker);
        ASSERT_TRUE(WaitFor([&] { return m_updates.Codes().size() > before; }));
    }
    std::vector<DecodedSensorFrame> Frames() {
        std::vector<DecodedSensorFrame> frames;
        for (const SimulatedReport& send : m_sim.Sends())
            frames.push_back(DecodeSensorFrame(send.bytes.data(), send.bytes.size()));
        return frames;
    }
    template <class Match> bool WaitForFrame(Match match) {
        return WaitFor([&] {
            const auto frames = Frames();
            return !frames.empty() && match(frames.back());
        });
    }

    ServerRecord m_server;
    SimulatedDisplays m_sim;
    UpdateRecorder m_updates;
    std::unique_ptr<WorkerOwner> m_owner = std::make_unique<WorkerOwner>();
};

TEST_F(RefreshWorkerTest, NoDisplayMeansNoFrames) {
    Start();
    Worker().PostCommand(CMD_RESCAN);
    Drain();
    EXPECT_TRUE(DisplayManager::Instance().IsOpen());
    EXPECT_FALSE(Worker().DisplayReady());
    EXPECT_EQ(Worker().ModelIndex(), 0);
    EXPECT_NE(Worker().RecordView(), nullptr) << "the rescan maps the record even without a display";
    std::this_thread::sleep_for(1500ms); // longer than one frame interval
    EXPECT_TRUE(m_sim.Sends().empty());
}

TEST_F(RefreshWorkerTest, FramesFollowARescanThatFindsADisplayAndCarryTheCurrentSettings) {
    Start();
    Worker().PostCommand(CMD_RESCAN);
    Drain();
    m_sim.SetDevices({"path=tavi model=2", "path=tavo model=1"});
    Worker().PostCommand(CMD_RESCAN);
    ASSERT_TRUE(WaitFor([&] { return m_sim.Sends("tavo").size() >= 2; }));
    EXPECT_TRUE(Worker().DisplayReady());
    EXPECT_EQ(Worker().ModelIndex(), kTaviModelIndex) << "the first display in enumeration order";

    DecodedSensorFrame frame = Frames().back();
    EXPECT_TRUE(frame.valid);
    EXPECT_EQ(frame.shown, 45);
    EXPECT_EQ(frame.unit, 0);
    EXPECT_EQ(frame.second, 37);

    Worker().SetTempeType(1);
    EXPECT_TRUE(WaitForFrame([](const DecodedSensorFrame& f) { return f.shown == 113 && f.unit == 1; }));

    Worker().SetLedSwitch(2);
    EXPECT_TRUE(WaitForFrame([](const DecodedSensorFrame& f) { return f.valid && f.blank; }));

    Worker().SetLedSwitch(1);
    Worker().SetTempeType(0);
    std::strcpy(m_server.record->alternateName1, "GPU");
    StoreRecordFloat(m_server.record->alternateTemperature1, 70.4f);
    Worker().SetDeviceType(1);
    EXPECT_TRUE(WaitForFrame([](const DecodedSensorFrame& f) { return f.shown == 70 && f.unit == 0; }));

    // About once a second: the pause after each frame is never cut short.
    const std::vector<SimulatedReport> sends = m_sim.Sends("tavo");
    for (std::size_t i = 1; i < sends.size(); ++i)
        EXPECT_GE(sends[i].unixMs - sends[i - 1].unixMs, 900);
}

TEST_F(RefreshWorkerTest, CommandsQueuedDuringALongPassRunInOrderAfterIt) {
    m_sim.SetDevices({"path=tavo model=1"});
    m_updates.BlockOn(CMD_UPDATE_SOFTWARE);
    Start();
    Worker().PostCommand(CMD_UPDATE_SOFTWARE);
    ASSERT_TRUE(WaitFor([&] { return m_updates.Codes().size() == 1; }));
    for (std::int32_t code : {CMD_CHECK_SOFTWARE, CMD_RESCAN, 9, 0, CMD_CHECK_FIRMWARE})
        Worker().PostCommand(code);
    m_updates.Release();
    ASSERT_TRUE(WaitFor([&] { return m_updates.Codes().size() == 3; }));
    EXPECT_EQ(m_updates.Codes(),
              (std::vector<std::int32_t>{CMD_UPDATE_SOFTWARE, CMD_CHECK_SOFTWARE, CMD_CHECK_FIRMWARE}));
    EXPECT_EQ(m_updates.DisplaysWhenSeen(1), 0u) << "the rescan was queued after the software check";
    EXPECT_EQ(m_updates.DisplaysWhenSeen(2), 1u) << "and ran before the firmware check";
}

TEST_F(RefreshWorkerTest, UnknownCodesAreDropped) {
    Start();
    for (std::int32_t code : {0, 2, 9, -1, 0x7FFFFFFF})
        Worker().PostCommand(code);
    Drain(CMD_AUTO_CHECK_FIRMWARE);
    EXPECT_EQ(m_updates.Codes(), (std::vector<std::int32_t>{CMD_AUTO_CHECK_FIRMWARE}));
    EXPECT_FALSE(DisplayManager::Instance().IsOpen()) << "no code was taken for a rescan";
}

TEST_F(RefreshWorkerTest, StopWhileIdleEndsWithinTheWait) {
    Start();
    Drain();
    EXPECT_TRUE(m_owner->StopThread());
    EXPECT_FALSE(m_owner->IsRunning());
}

TEST_F(RefreshWorkerTest, StopDuringTheFramePauseEndsWithinTheWait) {
    m_sim.SetDevices({"path=tavo model=1"});
    Start();
    Worker().PostCommand(CMD_RESCAN);
    ASSERT_TRUE(WaitFor([&] { return !m_sim.Sends().empty(); }));
    Worker().Interrupt();
    EXPECT_TRUE(m_owner->StopThread());
}

TEST_F(RefreshWorkerTest, StopThatTimesOutDuringALongPassStillJoinsItLater) {
    m_updates.BlockOn(CMD_UPDATE_FIRMWARE);
    Start();
    Worker().PostCommand(CMD_UPDATE_FIRMWARE);
    ASSERT_TRUE(WaitFor([&] { return m_updates.Codes().size() == 1; }));
    EXPECT_FALSE(m_owner->StopThread(50));
    m_updates.Release();
    m_owner->WaitForThreadEnd();
    Worker().PostCommand(CMD_CHECK_FIRMWARE);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(m_updates.Codes().size(), 1u) << "the stopped worker takes nothing more";
}

TEST_F(RefreshWorkerTest, UnplugStopsFramesAtOnceAndPlugResumesThem) {
    m_sim.SetDevices({"path=tavo model=1"});
    Start();
    Worker().PostCommand(CMD_RESCAN);
    ASSERT_TRUE(WaitFor([&] { return !m_sim.Sends().empty(); }));

    m_sim.SetDevices({});
    InterfaceBroadcast removal(kTavoInterface);
    HandleDeviceInterfaceEvent(DBT_DEVICEREMOVECOMPLETE, removal.Param(), Worker());
    EXPECT_FALSE(Worker().DisplayReady()) << "cleared on the calling thread, before any rescan";
    ASSERT_TRUE(
        WaitFor([] { return DisplayManager::Instance().IsOpen() && DisplayManager::Instance().DisplayCount() == 0; }));
    Drain();
    const std::size_t sent = m_sim.Sends().size();
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(m_sim.Sends().size(), sent);

    // The arrival's probe cannot open a simulated path, so one rescan is queued rather than two.
    m_sim.SetDevices({"path=tavi model=2"});
    InterfaceBroadcast arrival(kTaviInterface);
    HandleDeviceInterfaceEvent(DBT_DEVICEARRIVAL, arrival.Param(), Worker());
    ASSERT_TRUE(WaitFor([&] { return !m_sim.Sends("tavi").empty(); }));
    EXPECT_EQ(Worker().ModelIndex(), kTaviModelIndex);
}

// Synchronous passes without the thread: a queued rescan shows as an opened manager.
struct BroadcastCase {
    const char* name;
    WPARAM event;
    DWORD kind;
    std::size_t claimedNameLength; // 0: the whole name
    bool rescans;
    friend void PrintTo(const BroadcastCase& c, std::ostream* os) { *os << c.name; }
};

class DeviceChangeBroadcast : public RefreshWorkerTest, public testing::WithParamInterface<BroadcastCase> {};

TEST_P(DeviceChangeBroadcast, QueuesARescanOnlyForADisplayInterface) {
    const BroadcastCase& c = GetParam();
    InterfaceBroadcast broadcast(kTavoInterface, c.kind);
    if (c.claimedNameLength != 0)
        broadcast.ClaimNameLength(c.claimedNameLength);
    HandleDeviceInterfaceEvent(c.event, broadcast.Param(), Worker());
    Worker().RunPass();
    EXPECT_EQ(DisplayManager::Instance().IsOpen(), c.rescans);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeviceChangeBroadcast,
    testing::Values(BroadcastCase{"Arrival", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE, 0, true},
                    BroadcastCase{"Removal", DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_DEVICEINTERFACE, 0, true},
                    BroadcastCase{"NodeChange", 0x0007, DBT_DEVTYP_DEVICEINTERFACE, 0, false},
                    BroadcastCase{"QueryRemove", DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_DEVICEINTERFACE, 0, false},
                    BroadcastCase{"HandleKind", DBT_DEVICEARRIVAL, DBT_DEVTYP_HANDLE, 0, false},
                    BroadcastCase{"VolumeKind", DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, 0, false},
                    BroadcastCase{"NameCutBeforeTheIdentity", DBT_DEVICEARRIVAL, DBT_DEVTYP_DEVICEINTERFACE, 12,
                                  false}),
    [](const testing::TestParamInfo<BroadcastCase>& info) { return info.param.name; });

TEST_F(RefreshWorkerTest, MissingBroadcastIsIgnored) {
    HandleDeviceInterfaceEvent(DBT_DEVICEARRIVAL, 0, Worker());
    Worker().RunPass();
    EXPECT_FALSE(DisplayManager::Instance().IsOpen());
}

TEST_F(RefreshWorkerTest, RemovalClearsReadyBeforeTheRescanRuns) {
    m_sim.SetDevices({"path=tavo model=1"});
    Worker().PostCommand(CMD_RESCAN);
    Worker().RunPass();
    ASSERT_TRUE(Worker().DisplayReady());
    InterfaceBroadcast removal(kTavoInterface);
    HandleDeviceInterfaceEvent(DBT_DEVICEREMOVECOMPLETE, removal.Param(), Worker());
    EXPECT_FALSE(Worker().DisplayReady());
    Worker().RunPass(); // the queued rescan finds the display still attached
    EXPECT_TRUE(Worker().DisplayReady());
}

} // namespace
