// The refresh worker's state and its pass: one queued command, or one sensor frame to every open display followed
// by a one-second pause. The owner (the main window) derives from CThreadBasic, calls RunPass from its Run, calls
// Interrupt and then StopThread when it stops the worker, and WaitForThreadEnd first thing in its destructor.
// Windows only.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include <windows.h>

#include "WorkerCommands.h"
#include "sensors/SensorRecordMapping.h"

constexpr DWORD kFramePauseMs = 1000;

class RefreshWorker {
public:
    // Runs update commands 3..8 on the worker thread, to completion.
    using UpdateCommandHandler = std::function<void(std::int32_t code)>;

    RefreshWorker();
    ~RefreshWorker();
    RefreshWorker(const RefreshWorker&) = delete;
    RefreshWorker& operator=(const RefreshWorker&) = delete;

    // UI thread. Appends to the queue; blocks only while taking the queue's lock.
    void PostCommand(std::int32_t code);
    // UI thread: a display was removed; frames stop until a rescan finds one again.
    void ClearDisplayReady() { m_displayReady.store(false); }
    // UI thread, before the thread starts. Without a handler update commands are taken and do nothing.
    void SetUpdateCommandHandler(UpdateCommandHandler handler) { m_updateHandler = std::move(handler); }
    // UI thread, before stopping the thread: ends the current frame pause and skips later ones.
    void Interrupt();

    // Settings the next frame reads (UI thread writes).
    void SetLedSwitch(std::int32_t value) { m_ledSwitch.store(value); }
    void SetTempeType(std::int32_t value) { m_tempeType.store(value); }
    // 0 shows the primary temperature; any other value the alternate one, as the device-type picture does.
    void SetDeviceType(std::int32_t value) { m_deviceType.store(value); }
    std::int32_t LedSwitch() const { return m_ledSwitch.load(); }
    std::int32_t TempeType() const { return m_tempeType.load(); }
    std::int32_t DeviceType() const { return m_deviceType.load(); }

    // Any thread.
    bool DisplayReady() const { return m_displayReady.load(); }
    // Model index of the first display of the last rescan that found one; 0 before.
    std::int32_t ModelIndex() const { return m_modelIndex.load(); }
    // The sensor record view, null until a rescan has mapped it; never unmapped while this object lives.
    const SensorRecord* RecordView() const { return m_recordView.load(); }

    // Worker thread: one pass.
    void RunPass();

private:
    bool TakeCommand(std::int32_t* code);
    void RunCommand(std::int32_t code);
    void Rescan();
    void SendFrame();

    std::mutex m_queueLock;
    std::deque<std::int32_t> m_commandQueue;
    std::atomic<bool> m_displayReady{false};
    std::unique_ptr<SensorRecordMapping> m_record; // worker thread only
    std::atomic<const SensorRecord*> m_recordView{nullptr};
    std::atomic<std::int32_t> m_modelIndex{0};
    std::atomic<std::int32_t> m_ledSwitch{1};
    std::atomic<std::int32_t> m_tempeType{0};
    std::atomic<std::int32_t> m_deviceType{0};
    UpdateCommandHandler m_updateHandler;
    HANDLE m_interrupt; // manual reset
};
