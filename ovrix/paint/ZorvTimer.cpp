#include "Ovrix/ZorvTimer.h"

#include <algorithm>
#include <mutex>

#include <mmsystem.h>

namespace Ovrix {

namespace {

// Guards the instance list, every instance's entries and the resolution state: the multimedia-timer thread reads
// them while the owning thread starts and stops timers.
std::recursive_mutex& TimerLock() {
    static std::recursive_mutex lock;
    return lock;
}

std::vector<ZorvTimer*>& Instances() {
    static std::vector<ZorvTimer*> instances;
    return instances;
}

// Synchronous kill: timeKillEvent returns only once a tick in progress has ended, so no tick reaches an object
// that is being torn down. Never called with TimerLock held, which the tick takes.
void StopEvent(UINT id) {
    if (id != 0) {
        ::timeKillEvent(id);
    }
}

} // namespace

UINT ZorvTimer::s_uAccuracy = 1;
BOOL ZorvTimer::s_bResolutionRaised = FALSE;

ZorvTimer::ZorvTimer() {
    std::lock_guard<std::recursive_mutex> lock(TimerLock());
    Instances().push_back(this);
}

ZorvTimer::~ZorvTimer() {
    KillTimer();
    std::lock_guard<std::recursive_mutex> lock(TimerLock());
    if (s_bResolutionRaised) {
        ::timeEndPeriod(s_uAccuracy);
        s_bResolutionRaised = FALSE;
    }
    std::vector<ZorvTimer*>& instances = Instances();
    instances.erase(std::remove(instances.begin(), instances.end(), this), instances.end());
}

void ZorvTimer::OnMTimer(UINT, std::wstring) {}

UINT ZorvTimer::SetTimer(UINT elapse, std::wstring name, BOOL applicationTimer) {
    UINT accuracy = 1;
    {
        std::lock_guard<std::recursive_mutex> lock(TimerLock());
        if (!s_bResolutionRaised) {
            TIMECAPS caps{};
            if (::timeGetDevCaps(&caps, sizeof(caps)) == TIMERR_NOERROR) {
                s_uAccuracy = std::min(std::max(caps.wPeriodMin, 1u), caps.wPeriodMax);
                ::timeBeginPeriod(s_uAccuracy);
                s_bResolutionRaised = TRUE;
            }
        }
        accuracy = s_uAccuracy;
    }
    // Outside the lock: the system's timer calls wait on ticks in progress, and a tick takes the lock.
    const UINT id = ::timeSetEvent(elapse, accuracy, &ZorvTimer::TimerCallProc, reinterpret_cast<DWORD_PTR>(this),
                                   TIME_PERIODIC | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
    std::lock_guard<std::recursive_mutex> lock(TimerLock());
    m_timers.push_back({id, std::move(name), applicationTimer});
    return id;
}

int ZorvTimer::KillTimer(UINT timerId) {
    bool found = false;
    int left = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(TimerLock());
        const auto entry = std::find_if(m_timers.begin(), m_timers.end(),
                                        [timerId](const TimerEntry& item) { return item.id == timerId; });
        if (entry != m_timers.end()) {
            m_timers.erase(entry);
            found = true;
        }
        left = static_cast<int>(m_timers.size());
    }
    if (found) {
        StopEvent(timerId);
    }
    return left;
}

int ZorvTimer::KillTimer(std::wstring name) {
    UINT id = 0;
    int left = 0;
    {
        std::lock_guard<std::recursive_mutex> lock(TimerLock());
        const auto entry = std::find_if(m_timers.begin(), m_timers.end(),
                                        [&name](const TimerEntry& item) { return item.name == name; });
        if (entry != m_timers.end()) {
            id = entry->id;
            m_timers.erase(entry);
        }
        left = static_cast<int>(m_timers.size());
    }
    StopEvent(id);
    return left;
}

void ZorvTimer::KillTimer() {
    std::vector<TimerEntry> stopped;
    {
        std::lock_guard<std::recursive_mutex> lock(TimerLock());
        stopped.swap(m_timers);
    }
    for (const TimerEntry& entry : stopped) {
        StopEvent(entry.id);
    }
}

BOOL ZorvTimer::GetTimerIsRun(UINT timerId) {
    std::lock_guard<std::recursive_mutex> lock(TimerLock());
    return std::any_of(m_timers.begin(), m_timers.end(),
                       [timerId](const TimerEntry& item) { return item.id == timerId; });
}

BOOL ZorvTimer::GetTimerIsRun(std::wstring name) {
    std::lock_guard<std::recursive_mutex> lock(TimerLock());
    return std::any_of(m_timers.begin(), m_timers.end(), [&name](const TimerEntry& item) { return item.name == name; });
}

BOOL ZorvTimer::IsAppTimer(UINT timerId) {
    std::lock_guard<std::recursive_mutex> lock(TimerLock());
    for (const TimerEntry& entry : m_timers) {
        if (entry.id == timerId) {
            return entry.applicationTimer;
        }
    }
    return FALSE;
}

std::wstring ZorvTimer::GetTimerName(UINT timerId) {
    std::lock_guard<std::recursive_mutex> lock(TimerLock());
    for (const TimerEntry& entry : m_timers) {
        if (entry.id == timerId) {
            return entry.name;
        }
    }
    return L"";
}

ZorvTimer* ZorvTimer::GetFSTimer(UINT timerId) {
    std::lock_guard<std::recursive_mutex> lock(TimerLock());
    for (ZorvTimer* instance : Instances()) {
        if (instance->GetTimerIsRun(timerId)) {
            return instance;
        }
    }
    return nullptr;
}

void CALLBACK ZorvTimer::TimerCallProc(UINT timerId, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* timer = reinterpret_cast<ZorvTimer*>(user);
    if (timer == nullptr) {
        return;
    }
    timer->OnMTimer(timerId);
    if (timer->IsAppTimer(timerId)) {
        timer->OnMTimer(timerId, timer->GetTimerName(timerId));
    }
}

} // namespace Ovrix
