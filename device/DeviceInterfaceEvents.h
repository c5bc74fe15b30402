// Which device-interface broadcasts concern a display, and what each one asks for. Platform-free; the Windows
// side (DeviceNotifications.h) unpacks the broadcast and supplies the target.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr std::uint32_t kDeviceArrival = 0x8000;
constexpr std::uint32_t kDeviceRemoveComplete = 0x8004;
constexpr std::uint32_t kDeviceInterfaceBroadcast = 5;

// Both display models' identities as they appear in an interface name, upper case.
constexpr std::wstring_view kDisplayIdentities[] = {L"VID_1A2C&PID_4C84", L"VID_1A2C&PID_4D84"};

// What a display event may do. UI thread.
class DeviceInterfaceEventTarget {
public:
    virtual ~DeviceInterfaceEventTarget() = default;
    // True when the interface is a display's vendor collection.
    virtual bool ProbeDisplayInterface(const std::wstring& path) = 0;
    virtual void ClearDisplayReady() = 0;
    virtual void PostCommand(std::int32_t code) = 0;
};

// Only arrival and removal-complete events act. A name is matched once per identity it carries: an arrival probes
// the name as received and queues a rescan when the probe accepts, a removal clears the ready flag at once, and
// both then queue a rescan.
void HandleDeviceInterfaceEvent(std::uint32_t event, std::wstring_view interfaceName,
                                DeviceInterfaceEventTarget& target);

// ASCII-only upper case: the identities are ASCII, and a locale-dependent mapping could turn other letters into
// ASCII ones.
std::wstring UpperCaseAscii(std::wstring_view text);
