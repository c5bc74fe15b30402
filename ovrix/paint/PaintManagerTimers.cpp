// Window timers of controls and the fast multimedia timer.
#include "Ovrix/PaintManager.h"

#include <algorithm>

#include "Ovrix/MControl.h"
#include "controls/SectionLock.h"

namespace Ovrix {

namespace {

// Window timer IDs the manager handles itself before any control record is consulted.
constexpr UINT_PTR kCaretBlinkTimer = 6553;
constexpr UINT_PTR kMessageHoldTimer = 66;
constexpr UINT_PTR kMessageFadeTimer = 88;
constexpr UINT_PTR kProgressTimer = 99;
constexpr UINT kTimerIdCycle = 240;

bool IsReservedTimer(UINT_PTR id) {
    return id == kCaretBlinkTimer || id == kMessageHoldTimer || id == kMessageFadeTimer || id == kProgressTimer;
}

} // namespace

bool PaintManager::NextWindowTimerId(UINT_PTR& id) {
    // IDs cycle through 0..239; one still held by a record of this window, or one the manager keeps for itself,
    // is passed over so that two controls never share a window timer.
    for (UINT attempt = 0; attempt < kTimerIdCycle; ++attempt) {
        m_uTimerIdCounter = (m_uTimerIdCounter + 1) % kTimerIdCycle;
        const UINT_PTR candidate = m_uTimerIdCounter;
        const bool taken =
            IsReservedTimer(candidate) || std::any_of(m_timers.begin(), m_timers.end(), [&](const TimerInfo* record) {
                return record->hWnd == m_hWnd && record->uWinTimer == candidate;
            });
        if (!taken) {
            id = candidate;
            return true;
        }
    }
    return false;
}

BOOL PaintManager::SetTimer(MControl* control, UINT controlTimerId, UINT elapse) {
    // Without a window the system would make a thread timer whose ticks no window routes.
    if (control == nullptr || !HasWindow()) {
        return FALSE;
    }
    SectionLock lock(m_timerLock);
    for (TimerInfo* record : m_timers) {
        if (record->pSender == control && record->hWnd == m_hWnd && record->uCtrlTimerID == controlTimerId) {
            if (!record->bKilled) {
                return FALSE;
            }
            if (::SetTimer(m_hWnd, record->uWinTimer, elapse, nullptr) == 0) {
                return FALSE;
            }
            record->bKilled = FALSE;
            return TRUE;
        }
    }
    UINT_PTR windowTimerId = 0;
    if (!NextWindowTimerId(windowTimerId) || ::SetTimer(m_hWnd, windowTimerId, elapse, nullptr) == 0) {
        return FALSE;
    }
    m_timers.push_back(new TimerInfo{m_hWnd, controlTimerId, windowTimerId, FALSE, control});
    return TRUE;
}

BOOL PaintManager::KillTimer(MControl* control, UINT controlTimerId) {
    SectionLock lock(m_timerLock);
    for (TimerInfo* record : m_timers) {
        if (record->pSender == control && record->hWnd == m_hWnd && record->uCtrlTimerID == controlTimerId &&
            !record->bKilled) {
            if (::IsWindow(m_hWnd)) {
                ::KillTimer(m_hWnd, record->uWinTimer);
            }
            record->bKilled = TRUE;
            return TRUE;
        }
    }
    return FALSE;
}

void PaintManager::KillTimer(MControl* control) {
    SectionLock lock(m_timerLock);
    const auto kept = std::remove_if(m_timers.begin(), m_timers.end(), [&](TimerInfo* record) {
        if (record->pSender != control || record->hWnd != m_hWnd) {
            return false;
        }
        if (!record->bKilled && ::IsWindow(m_hWnd)) {
            ::KillTimer(m_hWnd, record->uWinTimer);
        }
        delete record;
        return true;
    });
    m_timers.erase(kept, m_timers.end());
}

void PaintManager::ClearTimers() {
    SectionLock lock(m_timerLock);
    for (TimerInfo* record : m_timers) {
        if (record->hWnd == m_hWnd && !record->bKilled && ::IsWindow(m_hWnd)) {
            ::KillTimer(m_hWnd, record->uWinTimer);
        }
        delete record;
    }
    m_timers.clear();
}

void PaintManager::OnTimer(UINT_PTR windowTimerId) {
    if (windowTimerId == kCaretBlinkTimer) {
        // The caret blink; it runs only while a rich-edit control shows the caret.
        return;
    }
    if (windowTimerId == kMessageHoldTimer || windowTimerId == kMessageFadeTimer || windowTimerId == kProgressTimer) {
        // The message banner's steps.
        return;
    }
    SectionLock lock(m_timerLock);
    // By index: a control's OnTimer may start or stop timers, which changes the table.
    for (std::size_t i = 0; i < m_timers.size(); ++i) {
        TimerInfo* record = m_timers[i];
        if (record->hWnd == m_hWnd && record->uWinTimer == windowTimerId && !record->bKilled) {
            record->pSender->OnTimer();
        }
    }
}

void PaintManager::SetMTimer(UINT elapse) {
    m_uFastTimerID = ZorvTimer::SetTimer(elapse, L"", FALSE);
}

void PaintManager::KillMTimer(UINT timerId) {
    ZorvTimer::KillTimer(timerId);
}

void PaintManager::KillMTimer() {
    ZorvTimer::KillTimer();
}

BOOL PaintManager::AddMTimer(MControl* control) {
    SectionLock lock(m_fastTimerLock);
    m_fastTimerControls.push_back(control);
    return TRUE;
}

BOOL PaintManager::DeleteFSTimer(MControl* control) {
    SectionLock lock(m_fastTimerLock);
    const auto found = std::find(m_fastTimerControls.begin(), m_fastTimerControls.end(), control);
    if (found == m_fastTimerControls.end()) {
        return FALSE;
    }
    m_fastTimerControls.erase(found);
    return TRUE;
}

void PaintManager::OnMTimer(UINT timerId) {
    if (timerId != m_uFastTimerID) {
        return;
    }
    SectionLock lock(m_fastTimerLock);
    for (std::size_t i = 0; i < m_fastTimerControls.size(); ++i) {
        m_fastTimerControls[i]->OnTimer();
    }
}

} // namespace Ovrix
