#include "RefreshWorker.h"

#include "DisplayManager.h"
#include "SensorFrame.h"

RefreshWorker::RefreshWorker() : m_interrupt(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

RefreshWorker::~RefreshWorker() {
    if (m_interrupt != nullptr)
        CloseHandle(m_interrupt);
}

void RefreshWorker::PostCommand(std::int32_t code) {
    std::lock_guard guard(m_queueLock);
    m_commandQueue.push_back(code);
}

void RefreshWorker::Interrupt() {
    if (m_interrupt != nullptr)
        SetEvent(m_interrupt);
}

bool RefreshWorker::TakeCommand(std::int32_t* code) {
    std::lock_guard guard(m_queueLock);
    if (m_commandQueue.empty())
        return false;
    *code = m_commandQueue.front();
    m_commandQueue.pop_front();
    return true;
}

void RefreshWorker::RunPass() {
    std::int32_t code = 0;
    if (TakeCommand(&code)) {
        RunCommand(code);
    } else if (m_displayReady.load()) {
        SendFrame();
        if (m_interrupt != nullptr)
            WaitForSingleObject(m_interrupt, kFramePauseMs);
        else
            Sleep(kFramePauseMs);
    }
}

void RefreshWorker::RunCommand(std::int32_t code) {
    if (code == CMD_RESCAN) {
        Rescan();
    } else if (IsUpdateCommand(code)) {
        if (m_updateHandler)
            m_updateHandler(code);
    }
    // Any other code is dropped.
}

void RefreshWorker::Rescan() {
    m_displayReady.store(false);
    DisplayManager& manager = DisplayManager::Instance();
    manager.RescanDisplays();
    const std::vector<DisplaySummary> displays = manager.ListDisplays();
    if (!displays.empty()) {
        m_displayReady.store(true);
        m_modelIndex.store(displays.front().modelIndex);
    }
    if (!m_record) {
        m_record = OpenSensorRecord();
        if (m_record)
            m_recordView.store(m_record->View());
    }
}

void RefreshWorker::SendFrame() {
    const std::int32_t ledSwitch = m_ledSwitch.load();
    const std::int32_t tempeType = m_tempeType.load();
    const TemperatureSource source =
        m_deviceType.load() != 0 ? TemperatureSource::Alternate : TemperatureSource::Primary;
    const SensorSnapshot snapshot = ReadSnapshot(m_recordView.load(), tempeType, source);
    DisplayManager::Instance().SendToAllDisplays(BuildSensorFrame(snapshot, ledSwitch));
}
