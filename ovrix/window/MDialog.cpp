#include "Ovrix/MDialog.h"

#include <windowsx.h>

#include "Ovrix/MControl.h"

namespace Ovrix {

namespace {

// Caption, border, dialog frame and sizing frame off; clip-children, clip-siblings and the low bit 0x8 on.
constexpr DWORD kCreationStyleMask = 0xFF3BFFFF;
constexpr DWORD kCreationStyleAdd = 0x06000008;
constexpr COLORREF kNoColourKey = 0xFFFFFF;
constexpr int kOpaque = 255;
constexpr int kMessageWidth = 200;
constexpr int kMessageTopAboveBottom = 60;
constexpr int kMessageBottomAboveBottom = 2;
constexpr AIRBLADDER_MODE kDialogBalloonMode = static_cast<AIRBLADDER_MODE>(3);

CPoint PointOf(LPARAM lParam) {
    return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

} // namespace

MDialog::MDialog() = default;
MDialog::~MDialog() = default;

LRESULT MDialog::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT flags = static_cast<UINT>(wParam);
    switch (message) {
    case WM_CREATE:
        OnCreate(reinterpret_cast<LPCREATESTRUCTW>(lParam));
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    case WM_SIZE:
        OnSize(flags, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
        break;
    case WM_PAINT:
        OnPaint();
        break;
    case WM_CLOSE:
        OnClose();
        break;
    case WM_ERASEBKGND:
        // The paint manager paints every pixel; erasing first would only flicker.
        return 1;
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case WM_NCACTIVATE:
        OnNcActivate(static_cast<BOOL>(wParam));
        break;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(flags, PointOf(lParam));
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(flags, PointOf(lParam));
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(flags, PointOf(lParam));
        break;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(flags, PointOf(lParam));
        break;
    case WM_RBUTTONDOWN:
        OnRButtonDown(flags, PointOf(lParam));
        break;
    case WM_RBUTTONUP:
        OnRButtonUp(flags, PointOf(lParam));
        break;
    case WM_RBUTTONDBLCLK:
        OnRButtonDblClk(flags, PointOf(lParam));
        break;
    case WM_MOUSEHOVER:
        OnMouseHover(wParam, lParam);
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave(wParam, lParam);
        break;
    case WM_USERCLOSE:
        return OnUserCloseWindow(wParam, lParam);
    default:
        break;
    }
    const LRESULT handled = m_PaintManager.OnWindowMessage(message, wParam, lParam);
    if (handled != 0) {
        return handled;
    }
    return ::CallWindowProcW(m_default_proc, m_hWnd, message, wParam, lParam);
}

BOOL MDialog::PreTranslateMessage(MSG* message) {
    return m_PaintManager.PreTranslateMessage(message) != 0;
}

BOOL MDialog::OnInitDialog() {
    m_PaintManager.Init(m_hWnd, this);
    if (IsLiveWindow()) {
        ::GetClientRect(m_hWnd, &m_rcClient);
    }
    InitUI(m_rcClient);
    return TRUE;
}

void MDialog::OnDestroyMessage(HWND window) {
    if (window == m_PaintManager.GetPaintWnd()) {
        m_PaintManager.DestroyData();
    }
    PostNcDestroy();
}

CPoint MDialog::GetAirBladderPoint(MControl* control, UINT placement) {
    if (control == nullptr) {
        return CPoint(0, 0);
    }
    const CRect rect = control->GetRect();
    CPoint point(rect.left, rect.bottom);
    if (placement == 1) {
        point.x = rect.left + (rect.right - rect.left) / 2;
    } else if (placement == 2) {
        point.x = rect.right;
    }
    ClientToScreen(&point);
    return point;
}

void MDialog::OnMinimize() {
    ShowWindow(SW_MINIMIZE);
}

void MDialog::OnMaximize() {
    ShowWindow(IsLiveWindow() && ::IsZoomed(m_hWnd) ? SW_RESTORE : SW_MAXIMIZE);
}

void MDialog::InitUI(CRect) {}
void MDialog::UISize(CRect) {}

LRESULT MDialog::OnMessage(UINT, UINT, WPARAM, LPARAM) {
    return 0;
}

LRESULT MDialog::OnUserCloseWindow(WPARAM wParam, LPARAM lParam) {
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

BOOL MDialog::OnCreate(LPCREATESTRUCTW) {
    if (!HasHandle()) {
        return TRUE;
    }
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE));
    const DWORD rewritten = (style & kCreationStyleMask) | kCreationStyleAdd;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(rewritten));
    // The frame was measured with the old style; without a new measurement a dead caption strip would remain.
    if ((style & ~kCreationStyleMask) != 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return TRUE;
}

BOOL MDialog::OnSize(UINT, int, int) {
    if (!IsLiveWindow() || !::IsIconic(m_hWnd)) {
        SetupBackTranslucent();
    }
    if (IsLiveWindow()) {
        ::GetClientRect(m_hWnd, &m_rcClient);
    }
    if (m_rcClient.Width() > 1 && m_rcClient.Height() > 1) {
        UISize(m_rcClient);
    }
    if (IsLiveWindow()) {
        ::InvalidateRect(m_hWnd, &m_rcClient, FALSE);
    }
    return 0;
}

BOOL MDialog::OnMouseMove(UINT, CPoint) {
    return 0;
}
BOOL MDialog::OnMouseLeave(WPARAM, LPARAM) {
    return 0;
}
BOOL MDialog::OnMouseHover(WPARAM, LPARAM) {
    return 0;
}
BOOL MDialog::OnMouseWheel(UINT, short, CPoint) {
    return 0;
}
BOOL MDialog::OnLButtonDown(UINT, CPoint) {
    return 0;
}
BOOL MDialog::OnLButtonUp(UINT, CPoint) {
    return 0;
}
BOOL MDialog::OnLButtonDblClk(UINT, CPoint) {
    return 0;
}
BOOL MDialog::OnRButtonDown(UINT, CPoint) {
    return 0;
}
BOOL MDialog::OnRButtonUp(UINT, CPoint) {
    return 0;
}
BOOL MDialog::OnRButtonDblClk(UINT, CPoint) {
    return 0;
}
BOOL MDialog::OnKeyDown(UINT, UINT, UINT) {
    return 0;
}
BOOL MDialog::OnNcHitTest(CPoint) {
    return 0;
}
BOOL MDialog::OnGetMinMaxInfo(MINMAXINFO*) {
    return 0;
}
BOOL MDialog::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) {
    return 0;
}
BOOL MDialog::OnNcActivate(BOOL) {
    return 0;
}
BOOL MDialog::OnWindowPosChanging(WINDOWPOS*) {
    return 1;
}
BOOL MDialog::OnWindowPosChanged(WINDOWPOS*) {
    return 1;
}
BOOL MDialog::OnPaint() {
    return 0;
}
void MDialog::OnTimer(UINT_PTR) {}
BOOL MDialog::OnNcPaint() {
    return 0;
}
BOOL MDialog::OnClose() {
    return 1;
}
BOOL MDialog::OnDestroy() {
    return 0;
}
BOOL MDialog::PostNcDestroy() {
    return 0;
}

const wchar_t* MDialog::GetClassNameW() const {
    return L"MDialog";
}

LRESULT MDialog::OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    return OnMessage(id, code, wParam, lParam);
}

LRESULT MDialog::OnControlUpdate(CRect area, BOOL rebuild, MControl* control) {
    return m_PaintManager.OnControlUpdate(area, rebuild, control);
}

MControl* MDialog::CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* text, int a, int b) {
    return m_PaintManager.CreateControl(1, this, className, id, rect, text, a, b);
}

MControl* MDialog::CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* text, int a, int b) {
    return m_PaintManager.CreateControl(0, this, className, id, rect, text, a, b);
}

MControl* MDialog::GetControl(UINT id) {
    return m_PaintManager.GetControl(id);
}

std::vector<MControl*>& MDialog::GetControls() {
    return m_PaintManager.GetControls();
}

void MDialog::SetFocusControl(MControl* control) {
    m_PaintManager.SetFocusControl(control);
}

BOOL MDialog::LoadBKImage(const wchar_t* fileName) {
    return m_PaintManager.LoadBKImage(fileName);
}

BOOL MDialog::LoadBKImage(UINT resourceId, const wchar_t* resourceType) {
    return m_PaintManager.LoadBKImage(resourceId, resourceType);
}

void MDialog::SetBackMode(enumBackMode mode, int value) {
    m_PaintManager.SetBackMode(mode, value);
}

void MDialog::SetScrollResID(UINT vertical, UINT horizontal) {
    m_PaintManager.SetScrollResID(vertical, horizontal);
}

void MDialog::SetLayeredWindow(BOOL layered) {
    m_PaintManager.SetLayeredWindow(layered);
}

void MDialog::EnableWndDrag(BOOL enable) {
    m_PaintManager.EnableWndDrag(enable);
}

void MDialog::SetMTimer(UINT elapse) {
    m_PaintManager.SetMTimer(elapse);
}

void MDialog::KillMTimer(UINT timerId) {
    m_PaintManager.KillMTimer(timerId);
}

void MDialog::SetTooltip(std::wstring text, CRect rect) {
    m_PaintManager.SetTooltip(std::move(text), rect);
}

void MDialog::ClearTooltip() {
    m_PaintManager.ClearTooltip();
}

void MDialog::SetTooltipCtrlID(int id) {
    m_tooltip_ctrl_id = id;
}

int MDialog::GetTooltipCtrlID() const {
    return m_tooltip_ctrl_id;
}

void MDialog::SetMessage(std::wstring text, CRect rect, MsgLevel level) {
    const bool allZero = rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0;
    if (rect.IsRectEmpty() || allZero) {
        if (IsLiveWindow()) {
            ::GetClientRect(m_hWnd, &rect);
        }
        rect.left = (rect.right - rect.left) / 2 - kMessageWidth / 2;
        rect.right = rect.left + kMessageWidth;
        rect.top = rect.bottom - kMessageTopAboveBottom;
        rect.bottom -= kMessageBottomAboveBottom;
        rect.OffsetRect(0, m_message_offset_y);
    }
    m_PaintManager.SetMessage(std::move(text), rect, level);
}

void MDialog::SetProgress(int value, std::wstring text, CRect rect) {
    m_PaintManager.SetProgress(value, std::move(text), rect);
}

BOOL MDialog::SetAirBladderMsg(const wchar_t* text, POINT point, AIRBLADDER_TYPE type) {
    if (point.x == 0 || point.y == 0) {
        return FALSE;
    }
    m_PaintManager.SetAirBladderMsg(text, point, type, kDialogBalloonMode);
    if (MWindow* balloon = m_PaintManager.GetAirBladderWindow()) {
        balloon->ShowWindow(SW_SHOW);
    }
    return TRUE;
}

void MDialog::CreateShadow(BOOL show, bool reRegister) {
    m_PaintManager.CreateShadow(show, reRegister);
}

void MDialog::SetShadowShow(BOOL show) {
    m_PaintManager.SetShadowShow(show);
}

BOOL MDialog::SetSize(int size) {
    return m_PaintManager.SetSize(size);
}

BOOL MDialog::SetSharpness(UINT sharpness) {
    return m_PaintManager.SetSharpness(sharpness);
}

BOOL MDialog::SetDarkness(UINT darkness) {
    return m_PaintManager.SetDarkness(darkness);
}

BOOL MDialog::SetPosition(int x, int y) {
    return m_PaintManager.SetPosition(x, y);
}

BOOL MDialog::SetShadowColor(COLORREF color) {
    return m_PaintManager.SetShadowColor(color);
}

BOOL MDialog::SetShadowImage(const wchar_t* fileName, CRect corners) {
    return m_PaintManager.SetShadowImage(fileName, corners);
}

BOOL MDialog::SetShadowImage(UINT resourceId, CRect corners) {
    return m_PaintManager.SetShadowImage(resourceId, corners);
}

void MDialog::DoOK() {
    PostUserClose(kModalOK);
}
void MDialog::DoCancel() {
    PostUserClose(kModalCancel);
}
void MDialog::DoClose() {
    PostUserClose(kModalCancel);
}
void MDialog::DoYes() {
    PostUserClose(kModalYes);
}
void MDialog::DoNo() {
    PostUserClose(kModalNo);
}

void MDialog::PostUserClose(UINT result) {
    PostMessageW(WM_USERCLOSE, result, 0);
}

void MDialog::SetupBackTranslucent() {
    if (!HasHandle()) {
        return;
    }
    if (m_alpha != kOpaque) {
        ModifyExStyle(0, WS_EX_LAYERED, 0);
        ::SetLayeredWindowAttributes(m_hWnd, 0, static_cast<BYTE>(m_alpha & 0xFF), LWA_ALPHA);
    } else if (m_transparent_color != kNoColourKey) {
        ModifyExStyle(0, WS_EX_LAYERED, 0);
        ::SetLayeredWindowAttributes(m_hWnd, m_transparent_color, kOpaque, LWA_COLORKEY);
    }
}

void MDialog::SetupRegion(int) {}

} // namespace Ovrix
