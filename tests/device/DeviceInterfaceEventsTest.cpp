// Which device-interface broadcasts reach the worker, and as what.
#include "device/DeviceInterfaceEvents.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "device/WorkerCommands.h"

namespace {

class RecordingTarget : public DeviceInterfaceEventTarget {
public:
    bool ProbeDisplayInterface(const std::wstring& path) override {
        calls.push_back(L"probe " + path);
        return probeAccepts;
    }
    void ClearDisplayReady() override { calls.push_back(L"clear"); }
    void PostCommand(std::int32_t code) override { calls.push_back(L"post " + std::to_wstring(code)); }

    bool probeAccepts = false;
    std::vector<std::wstring> calls;
};

constexpr wchar_t kTavoHid[] =
    L"\\\\?\\HID#VID_1A2C&PID_4C84&MI_01#7&2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr wchar_t kTavoHidLower[] =
    L"\\\\?\\hid#vid_1a2c&pid_4c84&mi_01#7&2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr wchar_t kTaviUsb[] = L"\\\\?\\USB#VID_1A2C&PID_4D84#5&1f&0&2#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
constexpr wchar_t kKeyboard[] = L"\\\\?\\HID#VID_046D&PID_C52B&MI_00#8&1#{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr wchar_t kBoth[] = L"\\\\?\\ROOT#VID_1A2C&PID_4C84#VID_1A2C&PID_4D84#0";

const std::wstring kRescan = L"post " + std::to_wstring(CMD_RESCAN);

struct EventCase {
    const char* name;
    std::uint32_t event;
    const wchar_t* interfaceName;
    bool probeAccepts;
    std::vector<std::wstring> expected;
    friend void PrintTo(const EventCase& c, std::ostream* os) { *os << c.name; }
};

class DeviceInterfaceEvents : public testing::TestWithParam<EventCase> {};

TEST_P(DeviceInterfaceEvents, ReachTheWorkerAsExpected) {
    const EventCase& c = GetParam();
    RecordingTarget target;
    target.probeAccepts = c.probeAccepts;
    HandleDeviceInterfaceEvent(c.event, c.interfaceName, target);
    EXPECT_EQ(target.calls, c.expected);
}

const std::wstring kProbeTavo = std::wstring(L"probe ") + kTavoHid;
const std::wstring kProbeTavoLower = std::wstring(L"probe ") + kTavoHidLower;
const std::wstring kProbeTavi = std::wstring(L"probe ") + kTaviUsb;
const std::wstring kProbeBoth = std::wstring(L"probe ") + kBoth;

INSTANTIATE_TEST_SUITE_P(
    Cases, DeviceInterfaceEvents,
    testing::Values(
        EventCase{
            "DisplayInterfaceArrivalQueuesTwoRescans", kDeviceArrival, kTavoHid, true, {kProbeTavo, kRescan, kRescan}},
        EventCase{"RejectedArrivalQueuesOneRescan", kDeviceArrival, kTaviUsb, false, {kProbeTavi, kRescan}},
        EventCase{"LowerCaseNameIsProbedAsReceived",
                  kDeviceArrival,
                  kTavoHidLower,
                  true,
                  {kProbeTavoLower, kRescan, kRescan}},
        EventCase{"RemovalClearsReadyThenQueuesRescan", kDeviceRemoveComplete, kTavoHid, true, {L"clear", kRescan}},
        EventCase{"LowerCaseRemovalIsRecognised", kDeviceRemoveComplete, kTavoHidLower, false, {L"clear", kRescan}},
        EventCase{"OtherDeviceArrivalIsIgnored", kDeviceArrival, kKeyboard, true, {}},
        EventCase{"OtherDeviceRemovalIsIgnored", kDeviceRemoveComplete, kKeyboard, true, {}},
        EventCase{"NameWithBothIdentitiesIsHandledTwice",
                  kDeviceArrival,
                  kBoth,
                  true,
                  {kProbeBoth, kRescan, kRescan, kProbeBoth, kRescan, kRescan}},
        EventCase{"RemovalWithBothIdentitiesIsHandledTwice",
                  kDeviceRemoveComplete,
                  kBoth,
                  false,
                  {L"clear", kRescan, L"clear", kRescan}},
        EventCase{"RemovePendingIsIgnored", 0x8003, kTavoHid, true, {}},
        EventCase{"NodeChangeIsIgnored", 0x0007, kTavoHid, true, {}},
        EventCase{"EmptyNameIsIgnored", kDeviceArrival, L"", true, {}},
        EventCase{"PartialIdentityIsIgnored", kDeviceArrival, L"VID_1A2C&PID_4C8", true, {}}),
    [](const testing::TestParamInfo<EventCase>& info) { return info.param.name; });

TEST(UpperCaseAscii, LeavesNonAsciiLettersAlone) {
    // U+0131 (dotless i) upper-cases to an ASCII I in some mappings; it must not complete an identity.
    EXPECT_EQ(UpperCaseAscii(L"v\u0131d_1a2c"), L"V\u0131D_1A2C");
    RecordingTarget target;
    HandleDeviceInterfaceEvent(kDeviceArrival, L"V\u0131D_1A2C&PID_4C84", target);
    EXPECT_TRUE(target.calls.empty());
}

} // namespace
