// The per-window engine that owns, routes input to, times and paints the controls of one window.
// So far only the window binding, focus, tooltip and fast-timer registration that controls call into.
// UI thread, except AddMTimer's list, which the multimedia-timer thread walks.
#pragma once

#include <string>
#include <vector>

#include "OvrixApi.h"

namespace Ovrix {

class OVRIX_API PaintManager {
public:
    PaintManager();
    virtual ~PaintManager();
    PaintManager(const PaintManager&) = delete;
    PaintManager& operator=(const PaintManager&) = delete;

    // Ignores a null or dead handle.
    void Init(HWND window, MWindow* owner);
    MWindow* GetMDialog() const { return m_pOwner; }
    HWND GetPaintWnd() const { return m_hWnd; }

    void SetLayeredWindow(BOOL layered) { m_bLayered = layered; }
    BOOL IsLayered() const { return m_bLayered; }

    MControl* GetFocusControl() const { return m_pFocusControl; }
    // The old focus control loses focus, the new one (if any) gains it.
    void SetFocusControl(MControl* control);

    // Creates the tooltip window on the first non-empty text; the rectangle is not used.
    void SetTooltip(std::wstring text, CRect rect);
    void ClearTooltip();
    void SetTooltipCtrlID(int id) { m_nTooltipCtrlID = id; }
    int GetTooltipCtrlID() const { return m_nTooltipCtrlID; }

    // Registers a control for the fast timer; a control may appear more than once.
    BOOL AddMTimer(MControl* control);

protected:
    void UpdateTooltipText(const wchar_t* text);

    MWindow* m_pOwner = nullptr;
    BOOL m_bInitialised = FALSE;
    HWND m_hWnd = nullptr;
    BOOL m_bLayered = FALSE;
    UINT m_uScrollVID = 0;
    UINT m_uScrollHID = 0;
    MControl* m_pFocusControl = nullptr;
    int m_nTooltipCtrlID = 0;
    HWND m_hTooltipWnd = nullptr;
    std::vector<MControl*> m_fastTimerControls;
    CRITICAL_SECTION m_fastTimerLock;
};

} // namespace Ovrix
