// A thread that calls Run once or in a loop with a pause after each pass. Windows only.
// The owner derives from it, overrides Run and starts and stops it from the UI thread.
#pragma once

#include <atomic>
#include <cstdint>

#include <windows.h>

constexpr DWORD kWorkerPeriodMs = 16;
constexpr DWORD kWorkerStopWaitMs = 1000;

class CThreadBasic {
public:
    // Worker thread: one pass.
    virtual void Run() = 0;

    CThreadBasic() = default;
    virtual ~CThreadBasic();
    CThreadBasic(const CThreadBasic&) = delete;
    CThreadBasic& operator=(const CThreadBasic&) = delete;

    // UI thread. Loops Run with a 16 ms pause; does nothing while already running.
    void StartWorker();
    // UI thread. Asks the loop to end and waits up to `waitMs`; true when the thread has ended. A thread that is
    // still in a pass keeps its done event, so WaitForThreadEnd can still join it.
    bool StopThread(DWORD waitMs = kWorkerStopWaitMs);
    // UI thread. Waits without limit for a thread that outlived StopThread. An owner whose Run touches its own
    // members calls this first in its destructor, before those members go away.
    void WaitForThreadEnd();
    bool IsRunning() const { return m_running.load() == 1; }

private:
    friend DWORD ThreadMain(CThreadBasic* thread);
    bool StartThread();

protected:
    HANDLE m_doneEvent = nullptr;
    std::atomic<std::int32_t> m_running{0};
    std::int32_t m_loop = 0;
    DWORD m_period = 1;
    DWORD m_exitCode = 0;
};

// The thread procedure: Run once, or while running is set Run and pause; then signal the done event.
DWORD ThreadMain(CThreadBasic* thread);
