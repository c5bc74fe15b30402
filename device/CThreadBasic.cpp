#include "CThreadBasic.h"

namespace {

DWORD WINAPI ThreadEntry(void* parameter) {
    return ThreadMain(static_cast<CThreadBasic*>(parameter));
}

} // namespace

CThreadBasic::~CThreadBasic() {
    WaitForThreadEnd();
}

void CThreadBasic::StartWorker() {
    if (m_running.load() == 1)
        return;
    m_period = kWorkerPeriodMs;
    m_loop = 1;
    StartThread();
}

bool CThreadBasic::StartThread() {
    if (m_doneEvent != nullptr)
        return false; // an earlier thread has not been joined yet
    m_doneEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_doneEvent == nullptr)
        return false;
    m_running.store(1);
    HANDLE thread = CreateThread(nullptr, 0, ThreadEntry, this, 0, nullptr);
    if (thread == nullptr) {
        m_running.store(0);
        CloseHandle(m_doneEvent);
        m_doneEvent = nullptr;
        return false;
    }
    CloseHandle(thread); // the done event is the only join point
    return true;
}

bool CThreadBasic::StopThread(DWORD waitMs) {
    m_running.store(0);
    if (m_doneEvent == nullptr)
        return true;
    if (WaitForSingleObject(m_doneEvent, waitMs) != WAIT_OBJECT_0)
        return false; // closing the event now would let the thread signal a recycled handle
    CloseHandle(m_doneEvent);
    m_doneEvent = nullptr;
    return true;
}

void CThreadBasic::WaitForThreadEnd() {
    m_running.store(0);
    if (m_doneEvent == nullptr)
        return;
    WaitForSingleObject(m_doneEvent, INFINITE);
    CloseHandle(m_doneEvent);
    m_doneEvent = nullptr;
}

DWORD ThreadMain(CThreadBasic* thread) {
    if (thread == nullptr)
        return 0;
    if (thread->m_loop == 0) {
        thread->Run();
    } else {
        while (thread->m_running.load() == 1) {
            thread->Run();
            Sleep(thread->m_period);
        }
    }
    // Read before signalling: the owner may be gone once the event is set.
    const DWORD exitCode = thread->m_exitCode;
    SetEvent(thread->m_doneEvent);
    return exitCode;
}
