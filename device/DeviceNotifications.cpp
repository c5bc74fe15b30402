#include "DeviceNotifications.h"

#include <cstddef>
#include <cwchar>
#include <string>

#include <dbt.h>

// mingw-w64's HID headers give no C linkage of their own.
extern "C" {
#include <hidsdi.h>

#include <hidpi.h>
}

#include "DeviceInterfaceEvents.h"
#include "DisplayManager.h"

namespace {

constexpr GUID kNotifiedInterfaceClasses[] = {
    {0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}}, // USB devices
    {0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}}, // disks
    {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}}, // HID interfaces
    {0xAD498944, 0x762F, 0x11D0, {0x8D, 0xCB, 0x00, 0xC0, 0x4F, 0xC3, 0x35, 0x8C}}, // network adapters
};

class WorkerEventTarget final : public DeviceInterfaceEventTarget {
public:
    explicit WorkerEventTarget(RefreshWorker& worker) : m_worker(worker) {}
    bool ProbeDisplayInterface(const std::wstring& path) override { return ::ProbeDisplayInterface(path.c_str()); }
    void ClearDisplayReady() override { m_worker.ClearDisplayReady(); }
    void PostCommand(std::int32_t code) override { m_worker.PostCommand(code); }

private:
    RefreshWorker& m_worker;
};

struct HandleCloser {
    HANDLE handle;
    ~HandleCloser() { CloseHandle(handle); }
};

struct PreparsedDataFreer {
    PHIDP_PREPARSED_DATA data;
    ~PreparsedDataFreer() { HidD_FreePreparsedData(data); }
};

} // namespace

int RegisterDeviceInterfaceNotifications(HWND window) {
    int registered = 0;
    for (const GUID& interfaceClass : kNotifiedInterfaceClasses) {
        DEV_BROADCAST_DEVICEINTERFACE_W filter{};
        filter.dbcc_size = sizeof filter;
        filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        filter.dbcc_classguid = interfaceClass;
        if (RegisterDeviceNotificationW(window, &filter, DEVICE_NOTIFY_WINDOW_HANDLE) != nullptr)
            ++registered;
    }
    return registered;
}

void HandleDeviceInterfaceEvent(WPARAM event, LPARAM broadcast, RefreshWorker& worker) {
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE)
        return;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(broadcast);
    if (header == nullptr || header->dbch_devicetype != kDeviceInterfaceBroadcast)
        return;
    // The name runs to the end of the broadcast, whose size the header gives; never read beyond it.
    constexpr std::size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (header->dbch_size <= nameOffset)
        return;
    const auto* interfaceBroadcast = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    const std::size_t capacity = (header->dbch_size - nameOffset) / sizeof(wchar_t);
    const std::wstring_view name(interfaceBroadcast->dbcc_name, wcsnlen(interfaceBroadcast->dbcc_name, capacity));
    WorkerEventTarget target(worker);
    HandleDeviceInterfaceEvent(static_cast<std::uint32_t>(event), name, target);
}

bool ProbeDisplayInterface(const wchar_t* path) {
    if (path == nullptr)
        return false;
    HANDLE device = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return false;
    HandleCloser closer{device};

    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof attributes;
    HidD_GetAttributes(device, &attributes);

    PHIDP_PREPARSED_DATA preparsed = nullptr;
    if (!HidD_GetPreparsedData(device, &preparsed))
        return false;
    PreparsedDataFreer freer{preparsed};
    HIDP_CAPS caps{};
    return HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS && caps.UsagePage == kDisplayUsagePage &&
           caps.Usage == kDisplayUsage;
}
