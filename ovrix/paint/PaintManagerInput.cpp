// Input routing: hover, focus, press and capture, mouse leave, wheel, keys, Tab moves, the window drag and the
// message dispatch that a window hands every message to.
#include "Ovrix/PaintManager.h"

#include <windowsx.h>

#include <commctrl.h>

#include <cstdlib>

#include "Ovrix/MControl.h"
#include "controls/SectionLock.h"

namespace Ovrix {

namespace {

constexpr DWORD kHoverTimeMs = 400;
constexpr UINT kReflectedMessageOffset = 0x2000;
constexpr int kWheelNotch = 120;
// A press on a drag-enabled control becomes an OLE drag once the pointer has left this distance.
constexpr int kDragThreshold = 2;
const CPoint kOutside(-1, -1);

UINT ModifierState() {
    UINT modifiers = 0;
    if (::GetKeyState(VK_SHIFT) < 0) {
        modifiers |= 0x10;
    }
    if (::GetKeyState(VK_CONTROL) < 0) {
        modifiers |= 0x11;
    }
    if (::GetKeyState(VK_MENU) < 0) {
        modifiers |= 0x12;
    }
    return modifiers;
}

bool IsTabCandidate(MControl* control) {
    return control->IsVisible() && control->IsEnabled() && control->IsTabStop();
}

bool Responsive(MControl* control) {
    return control->IsVisible() && control->GetRresponse();
}

CPoint PointOf(LPARAM lParam) {
    return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

} // namespace

LRESULT PaintManager::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    {
        SectionLock lock(m_controlLock);
        // By index: a control may remove controls while it handles the message.
        for (std::size_t i = 0; i < m_controls.size(); ++i) {
            if (m_controls[i]->OnWindowMessage(message, wParam, lParam) != 0) {
                return 0;
            }
        }
    }
    const UINT flags = static_cast<UINT>(wParam);
    switch (message) {
    case WM_PAINT:
        return OnPaint();
    case WM_GETMINMAXINFO:
        return OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_CHAR:
    case WM_MOUSEHOVER:
        return 1;
    case WM_NCDESTROY:
        DestroyData();
        return 1;
    case WM_NCACTIVATE:
        OnNcActivate(static_cast<BOOL>(wParam));
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), lParam);
        return 1;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return OnKeyUp(static_cast<UINT>(wParam), lParam);
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lParam == 0) {
            return 0;
        }
        return ::SendMessageW(reinterpret_cast<HWND>(lParam), message + kReflectedMessageOffset, wParam, lParam);
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_MOUSEMOVE:
        return OnMouseMove(flags, PointOf(lParam));
    case WM_LBUTTONDOWN:
        return OnLButtonDown(flags, PointOf(lParam));
    case WM_LBUTTONUP:
        return OnLButtonUp(flags, PointOf(lParam));
    case WM_LBUTTONDBLCLK:
        return OnLButtonDblClk(flags, PointOf(lParam));
    case WM_RBUTTONDOWN:
        return OnRButtonDown(flags, PointOf(lParam));
    case WM_RBUTTONUP:
        return OnRButtonUp(flags, PointOf(lParam));
    case WM_RBUTTONDBLCLK:
        return OnRButtonDblClk(flags, PointOf(lParam));
    case WM_MOUSEWHEEL:
        return OnMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), PointOf(lParam));
    case WM_MOUSELEAVE:
        OnMouseLeave(wParam, lParam);
        return 1;
    default:
        return 0;
    }
}

BOOL PaintManager::PreTranslateMessage(MSG* message) {
    if (message == nullptr) {
        return FALSE;
    }
    if ((message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) && message->wParam == VK_TAB) {
        const UINT modifiers = ModifierState();
        if (modifiers == 0 || modifiers == 0x10) {
            MControl* next = modifiers == 0 ? GetNextFocusableControl() : GetPrevFocusableControl();
            if (next != m_pFocusControl) {
                SetFocusControl(next);
                return TRUE;
            }
        }
    }
    switch (message->message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
        if (m_hTooltipWnd != nullptr) {
            ::SendMessageW(m_hTooltipWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message));
        }
        break;
    default:
        break;
    }
    return FALSE;
}

BOOL PaintManager::OnMouseMove(UINT flags, CPoint point) {
    if (!m_bMouseTracking && HasWindow()) {
        TRACKMOUSEEVENT tracking{sizeof(tracking), TME_LEAVE | TME_HOVER, m_hWnd, kHoverTimeMs};
        m_bMouseTracking = ::TrackMouseEvent(&tracking);
    }
    if (m_bDragPending && (flags & MK_LBUTTON) != 0) {
        if (std::abs(point.x - m_nDragLastX) > kDragThreshold || std::abs(point.y - m_nDragLastY) > kDragThreshold) {
            return StartDragControl();
        }
    }
    if (m_pHoverControl != nullptr) {
        if (m_pHoverControl->PtInRect(point) && m_pHoverControl->OnCheckMouseResponse(flags, point) &&
            m_bMouseTracking) {
            m_pHoverControl->OnMouseMove(flags, point);
            return TRUE;
        }
        ClearTooltip();
    }
    if (m_bLeftPressed) {
        return TRUE;
    }
    if (!m_bMouseTracking) {
        m_pHoverControl = nullptr;
        return TRUE;
    }
    MControl* hover = nullptr;
    {
        SectionLock lock(m_controlLock);
        for (std::size_t i = 0; i < m_controls.size(); ++i) {
            MControl* control = m_controls[i];
            control->OnMouseMove(flags, point);
            if (control->PtInRect(point) && control->GetRresponse()) {
                hover = control;
            }
        }
    }
    m_pHoverControl = hover;
    return TRUE;
}

BOOL PaintManager::OnMouseLeave(WPARAM, LPARAM) {
    ClearTooltip();
    m_bMouseTracking = FALSE;
    if (m_bLeftPressed) {
        return TRUE;
    }
    if (m_pHoverControl != nullptr) {
        m_pHoverControl->OnMouseMove(0, kOutside);
    }
    m_pHoverControl = nullptr;
    m_bLeftPressed = FALSE;
    return TRUE;
}

BOOL PaintManager::OnMouseHover(WPARAM, LPARAM) {
    return TRUE;
}

BOOL PaintManager::OnLButtonDown(UINT flags, CPoint point) {
    if (m_pFocusControl != nullptr && m_pFocusControl != m_pHoverControl) {
        m_pFocusControl->SetControlFocus(FALSE);
        m_pFocusControl = nullptr;
    }
    // A drag armed by an earlier press that never moved must not carry over to this one.
    m_bDragPending = FALSE;
    MControl* hover = m_pHoverControl;
    if (hover != nullptr && Responsive(hover) && hover->PtInRect(point) && hover->OnCheckMouseResponse(flags, point)) {
        if (hover->IsDragDrop() && hover->IsEnabled()) {
            if (m_hDragBitmap != nullptr) {
                ::DeleteObject(m_hDragBitmap);
            }
            m_hDragBitmap = hover->GetControlDropBitmap();
            m_bDragPending = m_hDragBitmap != nullptr;
            m_nDragLastX = point.x;
            m_nDragLastY = point.y;
        }
        m_bLeftPressed = TRUE;
        m_pFocusControl = hover;
        const BOOL taken = hover->OnLButtonDown(flags, point);
        if (!m_bCaptured && (m_pHoverControl == nullptr || m_pHoverControl->OnCheckMouseResponse(flags, point))) {
            if (HasWindow()) {
                ::SetCapture(m_hWnd);
            }
            m_bCaptured = TRUE;
            return TRUE;
        }
        if (taken) {
            return TRUE;
        }
    }
    if (!m_bWndDrag || !HasWindow()) {
        return TRUE;
    }
    // The system moves the window with the pointer until the button goes up.
    ::ReleaseCapture();
    ::SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    return TRUE;
}

BOOL PaintManager::OnLButtonUp(UINT flags, CPoint point) {
    if (m_bCaptured) {
        ::ReleaseCapture();
        m_bCaptured = FALSE;
    }
    m_bLeftPressed = FALSE;
    m_bDragPending = FALSE;
    if (m_pHoverControl != nullptr) {
        if (Responsive(m_pHoverControl)) {
            const CRect rect = m_pHoverControl->GetRect();
            m_pHoverControl->OnLButtonUp(flags, point);
            if (!rect.PtInRect(point)) {
                m_pHoverControl = nullptr;
            }
        } else {
            m_pHoverControl = nullptr;
        }
    }
    return TRUE;
}

BOOL PaintManager::OnLButtonDblClk(UINT flags, CPoint point) {
    if (m_pHoverControl == nullptr) {
        return TRUE;
    }
    if (Responsive(m_pHoverControl)) {
        const CRect rect = m_pHoverControl->GetRect();
        m_pHoverControl->OnLButtonDblClk(flags, point);
        if (rect.PtInRect(point)) {
            return TRUE;
        }
    }
    m_pHoverControl = nullptr;
    return TRUE;
}

BOOL PaintManager::OnRButtonDown(UINT flags, CPoint point) {
    if (m_pFocusControl != nullptr && m_pFocusControl != m_pHoverControl) {
        m_pFocusControl->SetControlFocus(FALSE);
        m_pFocusControl = nullptr;
    }
    MControl* hover = m_pHoverControl;
    if (hover == nullptr || !Responsive(hover) || !hover->PtInRect(point) ||
        !hover->OnCheckMouseResponse(flags, point)) {
        return TRUE;
    }
    m_pFocusControl = hover;
    hover->OnRButtonDown(flags, point);
    if (!m_bCaptured && (m_pHoverControl == nullptr || m_pHoverControl->OnCheckMouseResponse(flags, point))) {
        if (HasWindow()) {
            ::SetCapture(m_hWnd);
        }
        m_bCaptured = TRUE;
    }
    return TRUE;
}

BOOL PaintManager::OnRButtonUp(UINT flags, CPoint point) {
    if (m_bCaptured) {
        ::ReleaseCapture();
        m_bCaptured = FALSE;
    }
    if (m_pHoverControl != nullptr) {
        if (Responsive(m_pHoverControl)) {
            const CRect rect = m_pHoverControl->GetRect();
            m_pHoverControl->OnRButtonUp(flags, point);
            if (!rect.PtInRect(point)) {
                m_pHoverControl = nullptr;
            }
        } else {
            m_pHoverControl = nullptr;
        }
    }
    return TRUE;
}

BOOL PaintManager::OnRButtonDblClk(UINT flags, CPoint point) {
    if (m_pHoverControl == nullptr) {
        return TRUE;
    }
    if (Responsive(m_pHoverControl)) {
        const CRect rect = m_pHoverControl->GetRect();
        m_pHoverControl->OnRButtonDblClk(flags, point);
        if (rect.PtInRect(point)) {
            return TRUE;
        }
    }
    m_pHoverControl = nullptr;
    return TRUE;
}

BOOL PaintManager::OnMouseWheel(UINT, short delta, CPoint point) {
    if (HasWindow()) {
        ::ScreenToClient(m_hWnd, &point);
    }
    const int notches = delta / kWheelNotch;
    const UINT direction = notches <= 0 ? 1 : 0;
    BOOL taken = FALSE;
    for (int notch = 0; notch < std::abs(notches); ++notch) {
        if (m_pHoverControl != nullptr && m_pHoverControl->OnScroll(1, direction, point)) {
            taken = TRUE;
            continue;
        }
        SectionLock lock(m_controlLock);
        for (std::size_t i = 0; i < m_controls.size(); ++i) {
            if (m_controls[i]->OnScroll(1, direction, point)) {
                taken = TRUE;
                break;
            }
        }
    }
    return taken;
}

BOOL PaintManager::OnKeyDown(UINT key, LPARAM) {
    const UINT modifiers = ModifierState();
    if (m_pHoverControl != nullptr && m_pHoverControl->OnKeyDown(key, 1, modifiers)) {
        return TRUE;
    }
    SectionLock lock(m_controlLock);
    for (std::size_t i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i]->OnKeyDown(key, 1, modifiers)) {
            break;
        }
    }
    return TRUE;
}

BOOL PaintManager::OnKeyUp(UINT, LPARAM) {
    return FALSE;
}

BOOL PaintManager::OnNcActivate(BOOL active) {
    if (!active) {
        m_bMouseTracking = FALSE;
        m_bCaptured = FALSE;
        if (m_bLeftPressed) {
            m_bLeftPressed = FALSE;
            if (m_pHoverControl != nullptr) {
                m_pHoverControl->OnLButtonUp(0, kOutside);
            }
        } else if (m_pHoverControl != nullptr) {
            m_pHoverControl->OnMouseMove(0, kOutside);
        }
        m_pHoverControl = nullptr;
    }
    if (HasWindow()) {
        if (m_bLayered) {
            InvalidateWhole();
        } else {
            CRect client;
            ::GetClientRect(m_hWnd, &client);
            ::InvalidateRect(m_hWnd, &client, FALSE);
        }
    }
    return TRUE;
}

void PaintManager::SetFocusControl(MControl* control) {
    if (control == m_pFocusControl) {
        return;
    }
    if (m_pFocusControl != nullptr) {
        m_pFocusControl->SetControlFocus(FALSE);
    }
    if (control != nullptr) {
        control->SetControlFocus(TRUE);
    }
    m_pFocusControl = control;
}

MControl* PaintManager::GetNextFocusableControl() {
    SectionLock lock(m_controlLock);
    bool focusInList = false;
    if (m_pFocusControl != nullptr) {
        for (MControl* control : m_controls) {
            if (focusInList && IsTabCandidate(control)) {
                return control;
            }
            if (control == m_pFocusControl) {
                focusInList = true;
            }
        }
        if (!focusInList) {
            return nullptr;
        }
    }
    for (MControl* control : m_controls) {
        if (m_pHoverControl == nullptr) {
            m_pHoverControl = control;
        }
        if (IsTabCandidate(control)) {
            return control;
        }
    }
    return nullptr;
}

MControl* PaintManager::GetPrevFocusableControl() {
    SectionLock lock(m_controlLock);
    bool focusInList = false;
    if (m_pFocusControl != nullptr) {
        for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
            if (focusInList && IsTabCandidate(*it)) {
                return *it;
            }
            if (*it == m_pFocusControl) {
                focusInList = true;
            }
        }
        if (!focusInList) {
            return nullptr;
        }
    }
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        if (m_pHoverControl == nullptr) {
            m_pHoverControl = *it;
        }
        if (IsTabCandidate(*it)) {
            return *it;
        }
    }
    return nullptr;
}

HWND PaintManager::SetCapture() {
    return HasWindow() ? ::SetCapture(m_hWnd) : nullptr;
}

BOOL PaintManager::ReleaseCapture() {
    return HasWindow() ? ::ReleaseCapture() : FALSE;
}

LRESULT PaintManager::SendMessageW(UINT message, WPARAM wParam, LPARAM lParam) {
    return HasWindow() ? ::SendMessageW(m_hWnd, message, wParam, lParam) : 0;
}

LRESULT PaintManager::PostMessageW(UINT message, WPARAM wParam, LPARAM lParam) {
    return HasWindow() ? ::PostMessageW(m_hWnd, message, wParam, lParam) : 0;
}

} // namespace Ovrix
