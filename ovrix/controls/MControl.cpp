#include "Ovrix/MControl.h"

#include <algorithm>
#include <cwchar>

#include "Ovrix/PaintManager.h"
#include "SectionLock.h"

namespace Ovrix {

namespace {

// A container's own scroll bars; they stay put while the content scrolls.
constexpr UINT kVerticalScrollBarId = 1;
constexpr UINT kHorizontalScrollBarId = 2;

struct NamedCursor {
    const wchar_t* name;
    const wchar_t* resource;
};

const NamedCursor kNamedCursors[] = {
    {L"arrow", IDC_ARROW},   {L"wait", IDC_WAIT}, {L"cross", IDC_CROSS}, {L"sizewe", IDC_SIZEWE},
    {L"sizens", IDC_SIZENS}, {L"hand", IDC_HAND}, {L"help", IDC_HELP},
};

} // namespace

MControl::MControl(MObject* parent, UINT id, CRect rect, BOOL visible, BOOL enabled, BOOL response)
    : m_pParent(parent), m_uID(id), m_rect(rect), m_bVisible(visible), m_bEnabled(enabled), m_bResponse(response) {
    ::InitializeCriticalSection(&m_areaLock);
    ::InitializeCriticalSection(&m_controlLock);
}

MControl::~MControl() {
    RemoveAllControl();
    ReleaseSurface(m_hMemDC, m_hMemBitmap, m_hOldMemBitmap);
    ReleaseSurface(m_hAnimateDC, m_hAnimateBitmap, m_hOldAnimateBitmap);
    ::DeleteCriticalSection(&m_controlLock);
    ::DeleteCriticalSection(&m_areaLock);
}

const wchar_t* MControl::GetClassNameW() const {
    return L"MControl";
}

void MControl::InitControl(PaintManager*) {}

BOOL MControl::OnScroll(int kind, UINT direction, CPoint point) {
    if (!m_bVisible || !m_bResponse || !m_bEnabled) {
        return FALSE;
    }
    CPoint changed = point;
    OnMousePointChange(changed);
    if (m_pCurrentChild != nullptr) {
        const CPoint childPoint = PointForChild(m_pCurrentChild, point, changed);
        if (m_pCurrentChild->PtInRect(childPoint) && m_pCurrentChild->OnCheckMouseResponse(0, childPoint)) {
            return m_pCurrentChild->OnScroll(kind, direction, childPoint);
        }
    }
    if (!PtInRect(changed)) {
        return FALSE;
    }
    if (OnControlScroll(kind, direction, changed)) {
        return TRUE;
    }
    SectionLock lock(m_controlLock);
    for (MControl* child : m_controls) {
        const CPoint childPoint = PointForChild(child, point, changed);
        if (child->PtInRect(childPoint) && child->OnScroll(kind, direction, childPoint)) {
            return TRUE;
        }
    }
    return FALSE;
}

BOOL MControl::PtInRect(CPoint point) {
    return m_bVisible && m_rect.PtInRect(point);
}

BOOL MControl::DrawSubControls(HDC& dc, CRect paintArea) {
    SectionLock lock(m_controlLock);
    for (MControl* child : m_controls) {
        if (child->IsVisible()) {
            child->Draw(dc, paintArea);
        }
    }
    return TRUE;
}

BOOL MControl::IsDraw(CPoint) {
    return FALSE;
}

void MControl::SetUpdate(BOOL update, COLORREF backColor) {
    m_bUpdate = update;
    for (MControl* child : m_controls) {
        if (child->GetRect().Intersects(m_rect)) {
            child->SetUpdate(update, backColor);
        }
    }
}

BOOL MControl::SetControlFocus(BOOL focus) {
    if (focus) {
        return FALSE;
    }
    SectionLock lock(m_controlLock);
    for (MControl* child : m_controls) {
        child->SetControlFocus(FALSE);
    }
    return FALSE;
}

void MControl::InitUI(CRect) {}
BOOL MControl::OnMousePointChange(CPoint&) {
    return FALSE;
}
BOOL MControl::OnCheckMouseResponse(UINT, CPoint) {
    return TRUE;
}
LRESULT MControl::OnWindowMessage(UINT, WPARAM, LPARAM) {
    return 0;
}
LRESULT MControl::OnMessage(UINT, UINT, WPARAM, LPARAM) {
    return 0;
}
void MControl::SetControlRect(CRect rect) {
    m_rect = rect;
}
void MControl::SetControlVisible(BOOL visible) {
    m_bVisible = visible;
}
void MControl::SetControlWndVisible(BOOL) {}
void MControl::SetControlEnabled(BOOL enabled) {
    m_bEnabled = enabled;
}
BOOL MControl::OnControlTimer() {
    return FALSE;
}
HBITMAP MControl::GetControlDropBitmap() {
    return nullptr;
}
BOOL MControl::OnControlMouseMove(UINT, CPoint) {
    return FALSE;
}

BOOL MControl::OnControlSetCursor(UINT, CPoint point) {
    if (m_hCursor == nullptr || !m_rect.PtInRect(point)) {
        return FALSE;
    }
    ::SetCursor(m_hCursor);
    return TRUE;
}

BOOL MControl::OnControlLButtonDown(UINT, CPoint) {
    return FALSE;
}
BOOL MControl::OnControlLButtonUp(UINT, CPoint) {
    return FALSE;
}
BOOL MControl::OnControlLButtonDblClk(UINT, CPoint) {
    return FALSE;
}
BOOL MControl::OnControlScroll(int, UINT, CPoint) {
    return FALSE;
}
BOOL MControl::OnControlRButtonDown(UINT, CPoint) {
    return FALSE;
}
BOOL MControl::OnControlRButtonUp(UINT, CPoint) {
    return FALSE;
}
BOOL MControl::OnControlRButtonDblClk(UINT, CPoint) {
    return FALSE;
}

BOOL MControl::OnControlKeyDown(UINT key, UINT, UINT modifiers) {
    return m_uHotKey != 0 && key == m_uHotKey && modifiers == m_uHotKeyModifiers;
}

void MControl::OnPositionChange() {}

void MControl::InvalidateRect(const RECT*, BOOL erase) {
    if (m_pManager == nullptr || !::IsWindow(m_pManager->GetPaintWnd())) {
        return;
    }
    // A layered window is always shown whole, so any change repaints all of it.
    if (m_pManager->IsLayered()) {
        ::InvalidateRect(m_pManager->GetPaintWnd(), nullptr, TRUE);
    } else {
        ::InvalidateRect(m_pManager->GetPaintWnd(), &m_rect, erase);
    }
}

BOOL MControl::OnMouseMove(UINT flags, CPoint point) {
    if (!m_bVisible || !m_bResponse) {
        return FALSE;
    }
    CPoint changed = point;
    OnMousePointChange(changed);
    if (m_pCurrentChild != nullptr) {
        const CPoint childPoint = PointForChild(m_pCurrentChild, point, changed);
        if (m_pCurrentChild->PtInRect(childPoint) && m_pCurrentChild->OnCheckMouseResponse(flags, childPoint)) {
            return m_pCurrentChild->OnMouseMove(flags, childPoint);
        }
        // A press made here keeps feeding the child until the release, even outside it.
        if (m_bPressedInside) {
            return m_pCurrentChild->OnMouseMove(flags, childPoint);
        }
    }
    MControl* previous = m_pCurrentChild;
    m_pCurrentChild = nullptr;

    if (!m_tooltip.empty() && PtInRect(changed) && OnCheckMouseResponse(flags, changed) && m_pManager != nullptr &&
        m_pManager->GetTooltipCtrlID() != static_cast<int>(m_uID)) {
        m_pManager->SetTooltip(m_tooltip, m_rect);
        m_pManager->SetTooltipCtrlID(static_cast<int>(m_uID));
    }
    OnControlSetCursor(flags, changed);
    BOOL result = OnControlMouseMove(flags, changed);
    if (m_bPressedInside) {
        return result;
    }
    {
        SectionLock lock(m_controlLock);
        for (MControl* child : m_controls) {
            const CPoint childPoint = PointForChild(child, point, changed);
            if (child->OnMouseMove(flags, childPoint)) {
                result = TRUE;
                if (child->PtInRect(childPoint)) {
                    m_pCurrentChild = child;
                }
            }
        }
    }
    return (m_pCurrentChild != nullptr || previous != nullptr) ? TRUE : result;
}

BOOL MControl::OnLButtonDown(UINT flags, CPoint point) {
    return RouteButtonDown(flags, point, false);
}
BOOL MControl::OnRButtonDown(UINT flags, CPoint point) {
    return RouteButtonDown(flags, point, true);
}
BOOL MControl::OnLButtonUp(UINT flags, CPoint point) {
    return RouteButtonUp(flags, point, false);
}
BOOL MControl::OnRButtonUp(UINT flags, CPoint point) {
    return RouteButtonUp(flags, point, true);
}
BOOL MControl::OnLButtonDblClk(UINT flags, CPoint point) {
    return RouteButtonDblClk(flags, point, false);
}
BOOL MControl::OnRButtonDblClk(UINT flags, CPoint point) {
    return RouteButtonDblClk(flags, point, true);
}

BOOL MControl::RouteButtonDown(UINT flags, CPoint point, bool right) {
    if (!m_bVisible || !m_bResponse) {
        return FALSE;
    }
    CPoint changed = point;
    OnMousePointChange(changed);
    m_bPressedInside = m_rect.PtInRect(changed);
    {
        SectionLock lock(m_controlLock);
        for (MControl* child : m_controls) {
            const CPoint childPoint = PointForChild(child, point, changed);
            if (child->PtInRect(childPoint) && child->IsVisible() && child->IsEnabled() && child->GetRresponse()) {
                m_pCurrentChild = child;
            }
        }
    }
    if (m_pCurrentChild != nullptr) {
        const CPoint childPoint = PointForChild(m_pCurrentChild, point, changed);
        return right ? m_pCurrentChild->OnRButtonDown(flags, childPoint)
                     : m_pCurrentChild->OnLButtonDown(flags, childPoint);
    }
    if (m_pManager != nullptr && m_pManager->GetFocusControl() != this) {
        m_pManager->SetFocusControl(this);
    }
    return right ? OnControlRButtonDown(flags, changed) : OnControlLButtonDown(flags, changed);
}

BOOL MControl::RouteButtonUp(UINT flags, CPoint point, bool right) {
    if (!m_bVisible || !m_bResponse) {
        return FALSE;
    }
    CPoint changed = point;
    OnMousePointChange(changed);
    m_bPressedInside = FALSE;
    if (m_pCurrentChild != nullptr) {
        const CPoint childPoint = PointForChild(m_pCurrentChild, point, changed);
        return right ? m_pCurrentChild->OnRButtonUp(flags, childPoint)
                     : m_pCurrentChild->OnLButtonUp(flags, childPoint);
    }
    return right ? OnControlRButtonUp(flags, changed) : OnControlLButtonUp(flags, changed);
}

BOOL MControl::RouteButtonDblClk(UINT flags, CPoint point, bool right) {
    if (!m_bVisible || !m_bResponse) {
        return FALSE;
    }
    CPoint changed = point;
    OnMousePointChange(changed);
    m_bPressedInside = FALSE;
    if (m_pCurrentChild == nullptr) {
        if (m_bDblClk) {
            return right ? OnControlRButtonDblClk(flags, changed) : OnControlLButtonDblClk(flags, changed);
        }
        return right ? OnControlRButtonDown(flags, changed) : OnControlLButtonDown(flags, changed);
    }
    MControl* child = m_pCurrentChild;
    const CPoint childPoint = PointForChild(child, point, changed);
    if (right ? child->OnRButtonDblClk(flags, childPoint) : child->OnLButtonDblClk(flags, childPoint)) {
        return TRUE;
    }
    if (child->GetDblClk()) {
        return FALSE;
    }
    return right ? child->OnRButtonDown(flags, childPoint) : child->OnLButtonDown(flags, childPoint);
}

BOOL MControl::OnKeyDown(UINT key, UINT repeat, UINT modifiers) {
    MControl* control = this;
    while (control->m_bVisible && control->m_bResponse) {
        MControl* focusedChild = nullptr;
        {
            SectionLock lock(control->m_controlLock);
            for (MControl* child : control->m_controls) {
                if (child->IsFocused()) {
                    focusedChild = child;
                    break;
                }
            }
        }
        if (focusedChild != nullptr) {
            control = focusedChild;
            continue;
        }
        if (control->m_pCurrentChild != nullptr && control->m_pCurrentChild->OnKeyDown(key, repeat, modifiers)) {
            return TRUE;
        }
        if (control->OnControlKeyDown(key, repeat, modifiers)) {
            return TRUE;
        }
        SectionLock lock(control->m_controlLock);
        for (MControl* child : control->m_controls) {
            if (child->OnKeyDown(key, repeat, modifiers)) {
                return TRUE;
            }
        }
        return FALSE;
    }
    return FALSE;
}

BOOL MControl::OnKeyUp(UINT, UINT, UINT) {
    return FALSE;
}

BOOL MControl::OnTimer() {
    BOOL result = OnControlTimer();
    SectionLock lock(m_controlLock);
    for (MControl* child : m_controls) {
        if (child->IsRunTimer() && child->IsVisible() && child->OnTimer()) {
            result = TRUE;
        }
    }
    return result;
}

BOOL MControl::OnFocus(BOOL focus) {
    return SetControlFocus(focus);
}

void MControl::Draw(HDC& dc, CRect paintArea) {
    if (!m_bVisible || !m_rect.Intersects(paintArea)) {
        return;
    }
    {
        SectionLock lock(m_areaLock);
        for (MControl* area : m_areaControls) {
            if (area->GetRect().Intersects(m_rect)) {
                area->Draw(dc, paintArea);
            }
        }
    }
    DrawControl(dc, paintArea);
    DrawSubControls(dc, paintArea);
}

void MControl::SetRect(CRect rect) {
    const CRect old = m_rect;
    SetControlRect(rect);
    if (m_bVisible && m_pParent != nullptr) {
        m_pParent->OnControlUpdate(old.United(rect), TRUE, this);
    }
}

void MControl::SetRect(int x, int y, int width, int height) {
    SetRect(CRect(x, y, x + width, y + height));
}

void MControl::SetVisible(BOOL visible) {
    SetVisible(visible, TRUE);
}

void MControl::SetVisible(BOOL visible, BOOL notify) {
    if (visible == m_bVisible) {
        return;
    }
    SetControlVisible(visible);
    if (notify && m_pParent != nullptr) {
        m_pParent->OnControlUpdate(m_rect, TRUE, this);
    }
}

void MControl::SetEnabled(BOOL enabled) {
    if (enabled == m_bEnabled) {
        return;
    }
    SetControlEnabled(enabled);
    if (m_bVisible && m_pParent != nullptr) {
        m_pParent->OnControlUpdate(m_rect, TRUE, this);
    }
}

BOOL MControl::IsParentVisible() {
    if (m_pParent == nullptr) {
        return FALSE;
    }
    const wchar_t* parentClass = m_pParent->GetClassNameW();
    if (parentClass != nullptr && std::wcscmp(parentClass, L"MDialog") == 0) {
        return TRUE;
    }
    // A parent that is a window rather than a control is treated like the dialog: it ends the chain.
    auto* parentControl = dynamic_cast<MControl*>(m_pParent);
    if (parentControl == nullptr) {
        return TRUE;
    }
    return parentControl->IsVisible() && parentControl->IsParentVisible();
}

void MControl::UpdateControl(BOOL rebuild, BOOL force) {
    if ((m_bVisible || force) && m_pParent != nullptr) {
        m_pParent->OnControlUpdate(m_rect, rebuild, this);
    }
}

void MControl::UpdateControl(CRect rect, BOOL force, BOOL rebuild) {
    if ((m_bVisible || force) && m_pParent != nullptr) {
        m_pParent->OnControlUpdate(rect, rebuild, this);
    }
}

void MControl::UpdateAControl(BOOL keep, BOOL force) {
    if ((m_bVisible || force) && m_pParent != nullptr) {
        m_bAnimateUpdate = !keep;
        m_pParent->OnControlUpdate(m_rect, FALSE, this);
    }
}

void MControl::UpdateMemDC(HDC& dc, int width, int height) {
    m_bUpdate = TRUE;
    if (width == m_nMemWidth && height == m_nMemHeight) {
        return;
    }
    m_nMemWidth = width;
    m_nMemHeight = height;
    ReleaseSurface(m_hMemDC, m_hMemBitmap, m_hOldMemBitmap);
    CreateSurface(dc, width, height, m_hMemDC, m_hMemBitmap, m_hOldMemBitmap);
}

void MControl::UpdateAnimateDC(HDC& dc, int width, int height) {
    m_bAnimateUpdate = TRUE;
    m_nAnimateWidth = width;
    m_nAnimateHeight = height;
    ReleaseSurface(m_hAnimateDC, m_hAnimateBitmap, m_hOldAnimateBitmap);
    CreateSurface(dc, width, height, m_hAnimateDC, m_hAnimateBitmap, m_hOldAnimateBitmap);
}

MControl* MControl::GetControl(UINT id) {
    for (const std::vector<MControl*>* list : {&m_controls, &m_areaControls}) {
        for (MControl* child : *list) {
            if (child->GetControlID() == id) {
                return child;
            }
            if (MControl* found = child->GetControl(id)) {
                return found;
            }
        }
    }
    return nullptr;
}

BOOL MControl::RemoveControl(MControl* control) {
    if (m_pManager != nullptr && m_pManager->GetFocusControl() == control) {
        m_pManager->SetFocusControl(nullptr);
    }
    SectionLock lock(m_controlLock);
    const auto found = std::find(m_controls.begin(), m_controls.end(), control);
    if (found != m_controls.end()) {
        // Routing must not reach a destroyed child through the mouse state.
        if (m_pCurrentChild == control) {
            m_pCurrentChild = nullptr;
        }
        m_controls.erase(found);
        delete control;
    }
    return FALSE;
}

void MControl::RemoveAllControl() {
    {
        SectionLock lock(m_areaLock);
        for (MControl* area : m_areaControls) {
            delete area;
        }
        m_areaControls.clear();
    }
    SectionLock lock(m_controlLock);
    for (MControl* child : m_controls) {
        delete child;
    }
    m_controls.clear();
    m_pCurrentChild = nullptr;
}

void MControl::AddMTimer() {
    if (m_pManager != nullptr) {
        m_pManager->AddMTimer(this);
    }
}

LRESULT MControl::SendMessageW(UINT code, WPARAM wParam, LPARAM lParam) {
    return m_pParent != nullptr ? m_pParent->OnBaseMessage(m_uID, code, wParam, lParam) : 0;
}

LRESULT MControl::SetCursorEx(const wchar_t* name) {
    if (name == nullptr) {
        return 0;
    }
    for (const NamedCursor& cursor : kNamedCursors) {
        if (std::wcscmp(cursor.name, name) == 0) {
            m_hCursor = ::LoadCursorW(nullptr, cursor.resource);
            break;
        }
    }
    return 0;
}

void MControl::SetTooltip(std::wstring text, CRect rect) {
    if (m_pManager != nullptr) {
        m_pManager->SetTooltip(std::move(text), rect);
        m_pManager->SetTooltipCtrlID(static_cast<int>(m_uID));
    }
}

void MControl::SetTooltip(const wchar_t* text) {
    m_tooltip = text != nullptr ? text : L"";
}

void MControl::ClearTooltip() {
    if (m_pManager != nullptr) {
        m_pManager->ClearTooltip();
        m_pManager->SetTooltipCtrlID(0);
    }
}

BOOL MControl::IsFocusControl() {
    return m_pManager != nullptr && m_pManager->GetFocusControl() == this;
}
void MControl::SetTooltipCtrlID(int) {}
int MControl::GetTooltipCtrlID() {
    return 0;
}
MControl* MControl::GetNextFocusableControl(MControl*) {
    return nullptr;
}
MControl* MControl::GetPrevFocusableControl(MControl*) {
    return nullptr;
}
MControl* MControl::GetFocusControl(MControl*) {
    return nullptr;
}
HBITMAP MControl::GetDropBitmap() {
    return GetControlDropBitmap();
}

int MControl::PositionItem2Value(FS_POSITION_ITEM item, int low, int high) {
    switch (item.m_mode) {
    case 0: {
        const int amount = static_cast<int>(item.m_value);
        return item.m_bFar ? high - amount : low + amount;
    }
    case 1: {
        const int amount = static_cast<int>(item.m_value);
        return low + (high - low) / 2 + (item.m_bFar ? -amount : amount);
    }
    case 2: {
        const int percent =
            static_cast<int>(static_cast<float>(low) + static_cast<float>(high - low) * item.m_value / 100.0f);
        return std::min(high, percent);
    }
    default:
        return 0;
    }
}

void MControl::SetManager(PaintManager* manager) {
    m_pManager = manager;
    InitControl(manager);
}

CPoint MControl::PointForChild(const MControl* child, CPoint incoming, CPoint changed) {
    const UINT id = child->GetControlID();
    return (id == kVerticalScrollBarId || id == kHorizontalScrollBarId) ? incoming : changed;
}

void MControl::ReleaseSurface(HDC& dc, HBITMAP& bitmap, HBITMAP& oldBitmap) {
    if (dc != nullptr) {
        ::SelectObject(dc, oldBitmap);
        ::DeleteDC(dc);
    }
    if (bitmap != nullptr) {
        ::DeleteObject(bitmap);
    }
    dc = nullptr;
    bitmap = nullptr;
    oldBitmap = nullptr;
}

void MControl::CreateSurface(HDC& target, int width, int height, HDC& dc, HBITMAP& bitmap, HBITMAP& oldBitmap) {
    dc = ::CreateCompatibleDC(target);
    bitmap = ::CreateCompatibleBitmap(target, width, height);
    if (dc != nullptr && bitmap != nullptr) {
        oldBitmap = static_cast<HBITMAP>(::SelectObject(dc, bitmap));
    }
}

} // namespace Ovrix
