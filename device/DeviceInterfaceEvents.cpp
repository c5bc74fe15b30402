#include "DeviceInterfaceEvents.h"

#include "WorkerCommands.h"

std::wstring UpperCaseAscii(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return upper;
}

void HandleDeviceInterfaceEvent(std::uint32_t event, std::wstring_view interfaceName,
                                DeviceInterfaceEventTarget& target) {
    if (event != kDeviceArrival && event != kDeviceRemoveComplete)
        return;
    const std::wstring upper = UpperCaseAscii(interfaceName);
    for (std::wstring_view identity : kDisplayIdentities) {
        if (upper.find(identity) == std::wstring::npos)
            continue;
        if (event == kDeviceArrival) {
            if (target.ProbeDisplayInterface(std::wstring(interfaceName)))
                target.PostCommand(CMD_RESCAN);
        } else {
            target.ClearDisplayReady();
        }
        target.PostCommand(CMD_RESCAN);
    }
}
