#include "DisplayManager.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr auto kReportPause = std::chrono::milliseconds(16);

struct EnumerationFreer {
    void operator()(hid_device_info* list) const { hid_free_enumeration(list); }
};

} // namespace

DisplayManager& DisplayManager::Instance() {
    static DisplayManager manager;
    return manager;
}

DisplayManager::DisplayManager() {
    EnsureHidInitialised();
}

DisplayManager::~DisplayManager() {
    CloseAllDisplays();
    if (m_hidReady)
        hid_exit();
}

bool DisplayManager::EnsureHidInitialised() {
    if (!m_hidReady)
        m_hidReady = hid_init() == 0;
    return m_hidReady;
}

void DisplayManager::ClearModels() {
    std::lock_guard guard(m_lock);
    m_models.clear();
}

void DisplayManager::RegisterModel(std::uint32_t productId, std::int32_t modelIndex) {
    std::lock_guard guard(m_lock);
    m_models.push_back(DisplayModel{kDisplayVendorId, productId, modelIndex});
}

void DisplayManager::CloseAllDisplays() {
    std::lock_guard guard(m_lock);
    if (!m_open)
        return;
    m_open = false;
    m_displays.clear();
}

const DisplayModel* DisplayManager::FindModel(std::uint16_t vendorId, std::uint16_t productId) const {
    for (const DisplayModel& model : m_models) {
        if (model.vendorId == vendorId && model.productId == productId)
            return &model;
    }
    return nullptr;
}

void DisplayManager::OpenMatchingDisplays() {
    std::lock_guard guard(m_lock);
    if (!EnsureHidInitialised())
        return;
    std::unique_ptr<hid_device_info, EnumerationFreer> list(hid_enumerate(0, 0));
    for (const hid_device_info* info = list.get(); info != nullptr; info = info->next) {
        const DisplayModel* model = FindModel(info->vendor_id, info->product_id);
        if (model == nullptr)
            continue;
        if (info->path == nullptr || std::strlen(info->path) > kMaxDisplayPathLength)
            continue;
        HidDevicePtr device(hid_open_path(info->path));
        if (!device)
            continue;
        if (info->usage_page != kDisplayUsagePage || info->usage != kDisplayUsage)
            continue; // another collection of the same device: closed again by the owner
        auto record = std::make_unique<DisplayRecord>();
        record->vendorId = info->vendor_id;
        record->productId = info->product_id;
        record->path = info->path;
        record->device = std::move(device);
        record->modelIndex = model->modelIndex;
        m_displays.push_back(std::move(record));
    }
}

void DisplayManager::RescanDisplays() {
    ClearModels();
    RegisterModel(kTavoProductId, kTavoModelIndex);
    RegisterModel(kTaviProductId, kTaviModelIndex);
    CloseAllDisplays();
    OpenMatchingDisplays();
    std::lock_guard guard(m_lock);
    m_open = true;
}

bool DisplayManager::IsOpen() const {
    std::lock_guard guard(m_lock);
    return m_open;
}

std::size_t DisplayManager::DisplayCount() const {
    std::lock_guard guard(m_lock);
    return m_displays.size();
}

std::vector<DisplaySummary> DisplayManager::ListDisplays() const {
    std::lock_guard guard(m_lock);
    std::vector<DisplaySummary> list;
    list.reserve(m_displays.size());
    for (const auto& display : m_displays)
        list.push_back(DisplaySummary{display->vendorId, display->productId, display->path, display->modelIndex});
    return list;
}

bool DisplayManager::SendToAllDisplays(const SensorPayload& payload) {
    std::lock_guard guard(m_lock);
    if (!m_open)
        return false;
    std::uint8_t report[kSensorReportSize] = {};
    std::memcpy(report, payload.data(), payload.size());
    for (const auto& display : m_displays) {
        if (display->device)
            hid_send_feature_report(display->device.get(), report, sizeof report);
    }
    return true;
}

bool DisplayManager::QueryFirmwareVersion(std::uint16_t* version) {
    std::lock_guard guard(m_lock);
    if (!m_open || m_displays.empty() || !m_displays.front()->device)
        return false;
    hid_device* device = m_displays.front()->device.get();
    const SensorPayload request = BuildFirmwareVersionRequest();

    std::this_thread::sleep_for(kReportPause);
    if (hid_send_feature_report(device, request.data(), request.size()) <= 0)
        return false;

    SensorPayload reply = request;
    std::this_thread::sleep_for(kReportPause);
    if (hid_get_feature_report(device, reply.data(), reply.size()) < 0)
        return false;
    if (reply[0] != kSensorReportId) {
        reply = request;
        std::this_thread::sleep_for(kReportPause);
        if (hid_get_feature_report(device, reply.data(), reply.size()) < 0)
            return false;
    }
    if (version != nullptr)
        *version = FirmwareVersionFromReply(reply.data());
    return true;
}
