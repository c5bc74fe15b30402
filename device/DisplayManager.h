// The process-wide list of registered display models and open displays, and the reports sent to them.
// Worker thread: everything; UI thread: DisplayCount only. Every operation takes the manager's lock.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <hidapi.h>

#include "SensorFrame.h"

constexpr std::uint32_t kDisplayVendorId = 0x1A2C;
constexpr std::uint32_t kTavoProductId = 0x4C84;
constexpr std::uint32_t kTaviProductId = 0x4D84;
constexpr std::int32_t kTavoModelIndex = 1;
constexpr std::int32_t kTaviModelIndex = 2;
constexpr std::uint16_t kDisplayUsagePage = 0xFF01;
constexpr std::uint16_t kDisplayUsage = 0x0001;
constexpr std::size_t kMaxDisplayPathLength = 1023;

struct DisplayModel {
    std::uint32_t vendorId = kDisplayVendorId;
    std::uint32_t productId = 0;
    std::int32_t modelIndex = 0;
};

struct HidDeviceCloser {
    void operator()(hid_device* device) const { hid_close(device); }
};
using HidDevicePtr = std::unique_ptr<hid_device, HidDeviceCloser>;

struct DisplayRecord {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string path;
    HidDevicePtr device;
    std::int32_t modelIndex = 0;
};

// A copy of one open display's identity, safe to keep after the lock is released.
struct DisplaySummary {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::string path;
    std::int32_t modelIndex = 0;
};

class DisplayManager {
public:
    // Created on first use; destroyed at normal process exit.
    static DisplayManager& Instance();
    ~DisplayManager();
    DisplayManager(const DisplayManager&) = delete;
    DisplayManager& operator=(const DisplayManager&) = delete;

    void ClearModels();
    void RegisterModel(std::uint32_t productId, std::int32_t modelIndex);
    void CloseAllDisplays();
    void OpenMatchingDisplays();
    // Registers both models, closes every display and opens every matching interface; the manager is open
    // afterwards even when nothing was found.
    void RescanDisplays();

    bool IsOpen() const;
    std::size_t DisplayCount() const;
    std::vector<DisplaySummary> ListDisplays() const;

    // Sends the payload plus a trailing zero to every open display in list order; send failures are ignored.
    bool SendToAllDisplays(const SensorPayload& payload);
    // Asks the first display only.
    bool QueryFirmwareVersion(std::uint16_t* version);

private:
    DisplayManager();
    bool EnsureHidInitialised();
    const DisplayModel* FindModel(std::uint16_t vendorId, std::uint16_t productId) const;

    mutable std::mutex m_lock;
    bool m_hidReady = false;
    bool m_open = false;
    std::vector<std::unique_ptr<DisplayRecord>> m_displays;
    std::vector<DisplayModel> m_models;
};
