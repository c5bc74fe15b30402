// Periodic multimedia timers owned by one object, ticking on the system's multimedia-timer thread. Every live
// instance is in a process-wide list so that a timer ID can be traced back to its owner.
// Start and stop on any thread; the ticks arrive on the multimedia-timer thread.
#pragma once

#include <string>
#include <vector>

#include "OvrixApi.h"

namespace Ovrix {

class OVRIX_API ZorvTimer {
public:
    ZorvTimer();
    // Subclasses stop their timers in their own destructor: a tick arriving during this one would find the
    // subclass gone.
    virtual ~ZorvTimer();
    ZorvTimer(const ZorvTimer&) = delete;
    ZorvTimer& operator=(const ZorvTimer&) = delete;

    // Ticks of application timers, with the name they were started with.
    virtual void OnMTimer(UINT timerId, std::wstring name);
    // Every tick.
    virtual void OnMTimer(UINT timerId) = 0;

    // 0 when the system refused; the entry is kept even then.
    UINT SetTimer(UINT elapse, std::wstring name, BOOL applicationTimer);
    // Both return the number of timers left.
    int KillTimer(UINT timerId);
    int KillTimer(std::wstring name);
    void KillTimer();
    BOOL GetTimerIsRun(UINT timerId);
    BOOL GetTimerIsRun(std::wstring name);
    BOOL IsAppTimer(UINT timerId);
    std::wstring GetTimerName(UINT timerId);

    static ZorvTimer* GetFSTimer(UINT timerId);
    static void CALLBACK TimerCallProc(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

protected:
    struct TimerEntry {
        UINT id;
        std::wstring name;
        BOOL applicationTimer;
    };

    static UINT s_uAccuracy;
    static BOOL s_bResolutionRaised;

    std::vector<TimerEntry> m_timers;
};

} // namespace Ovrix
