#include "Ovrix/MWindow.h"

#include "Ovrix/Manager.h"

namespace Ovrix {

namespace {

constexpr DWORD kShortFormStyle = 0x80B;
constexpr UINT kOwnClassStyles = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
constexpr UINT kKeepGeometryFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
constexpr UINT kModalResultNoWindow = 0xFFFFFFFF;
const wchar_t kControlProperty[] = L"Control";

HWND const kInvalidHandle = reinterpret_cast<HWND>(-1);

BOOL RegisteredOrExists(ATOM atom) {
    return atom != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

BOOL ChangeStyleBits(HWND window, int index, DWORD remove, DWORD add, UINT positionFlags) {
    const DWORD old = static_cast<DWORD>(::GetWindowLongPtrW(window, index));
    const DWORD changed = (old & ~remove) | add;
    if (changed == old) {
        return FALSE;
    }
    ::SetWindowLongPtrW(window, index, static_cast<LONG_PTR>(changed));
    if (positionFlags != 0) {
        ::SetWindowPos(window, nullptr, 0, 0, 0, 0, positionFlags | kKeepGeometryFlags);
    }
    return TRUE;
}

} // namespace

MWindow::~MWindow() = default;

const wchar_t* MWindow::GetWindowClassName() const {
    return L"MWindow";
}
const wchar_t* MWindow::GetSuperClassName() const {
    return nullptr;
}

BOOL MWindow::ShowWindow(int showCommand) {
    return HasHandle() ? ::ShowWindow(m_hWnd, showCommand) : FALSE;
}

LRESULT MWindow::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcW(m_default_proc, m_hWnd, message, wParam, lParam);
}

BOOL MWindow::PreTranslateMessage(MSG*) {
    return FALSE;
}
BOOL MWindow::OnInitDialog() {
    return TRUE;
}
void MWindow::OnDestroyMessage(HWND) {}

HWND MWindow::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect, HMENU menu) {
    if (IsLiveWindow()) {
        return m_hWnd;
    }
    m_hParentWnd = parent;
    const BOOL registered = GetSuperClassName() != nullptr ? RegisterSuperClass() : RegisterWindowClass();
    if (!registered) {
        return nullptr;
    }
    ::CreateWindowExW(exStyle, GetWindowClassName(), title, style, rect.left, rect.top, rect.Width(), rect.Height(),
                      parent, menu, Manager::m_hInstance, this);
    OnInitDialog();
    return m_hWnd;
}

HWND MWindow::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect) {
    return Create(parent, title, style, exStyle, rect, nullptr);
}

HWND MWindow::Create(HWND parent, CRect rect) {
    return Create(parent, L"MWindow", kShortFormStyle, 0, rect, nullptr);
}

HWND MWindow::Create(HWND parent) {
    return Create(parent, CRect(0, 0, 800, 600));
}

BOOL MWindow::RegisterWindowClass() {
    WNDCLASSW windowClass{};
    windowClass.style = kOwnClassStyles;
    windowClass.lpfnWndProc = WndProc;
    windowClass.hInstance = Manager::m_hInstance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = GetWindowClassName();
    return RegisteredOrExists(::RegisterClassW(&windowClass));
}

BOOL MWindow::RegisterSuperClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &windowClass) &&
        !::GetClassInfoExW(Manager::m_hInstance, GetSuperClassName(), &windowClass)) {
        return FALSE;
    }
    m_default_proc = windowClass.lpfnWndProc;
    windowClass.hInstance = Manager::m_hInstance;
    windowClass.lpfnWndProc = ControlProc;
    windowClass.lpszClassName = GetWindowClassName();
    return RegisteredOrExists(::RegisterClassExW(&windowClass));
}

LRESULT CALLBACK MWindow::WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* object = static_cast<MWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        object->m_hWnd = window;
        return object->OnWindowMessage(message, wParam, lParam);
    }
    auto* object = reinterpret_cast<MWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (object == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        const LRESULT result = ::CallWindowProcW(object->m_default_proc, window, message, wParam, lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        object->m_hWnd = nullptr;
        object->OnDestroyMessage(window);
        return result;
    }
    return object->OnWindowMessage(message, wParam, lParam);
}

LRESULT CALLBACK MWindow::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* object = static_cast<MWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetPropW(window, kControlProperty, object);
        object->m_hWnd = window;
        return object->OnWindowMessage(message, wParam, lParam);
    }
    auto* object = static_cast<MWindow*>(::GetPropW(window, kControlProperty));
    if (object == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        const LRESULT result = ::CallWindowProcW(object->m_default_proc, window, message, wParam, lParam);
        ::RemovePropW(window, kControlProperty);
        object->m_hWnd = nullptr;
        object->OnDestroyMessage(window);
        return result;
    }
    return object->OnWindowMessage(message, wParam, lParam);
}

UINT MWindow::ShowModal(int showCommand) {
    if (!IsLiveWindow()) {
        return kModalResultNoWindow;
    }
    const HWND window = m_hWnd;
    const HWND owner = ::GetWindow(window, GW_OWNER);
    ::ShowWindow(window, showCommand);
    if (owner != nullptr) {
        ::EnableWindow(owner, FALSE);
    }
    UINT result = 0;
    bool quit = false;
    MSG message{};
    while (::IsWindow(window)) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            quit = true;
            break;
        }
        if (got == -1) {
            continue;
        }
        // Re-enable the owner before the close is dispatched, so activation goes back to it, not elsewhere.
        if (message.message == WM_CLOSE && message.hwnd == window) {
            result = static_cast<UINT>(message.wParam);
            if (owner != nullptr) {
                ::EnableWindow(owner, TRUE);
                ::SetFocus(owner);
            }
        }
        if (!PreTranslateMessage(&message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    if (owner != nullptr) {
        ::EnableWindow(owner, TRUE);
        ::SetFocus(owner);
    }
    if (quit) {
        ::PostQuitMessage(static_cast<int>(message.wParam));
    }
    return result;
}

BOOL MWindow::DestroyWindow() {
    return IsLiveWindow() ? ::DestroyWindow(m_hWnd) : FALSE;
}

void MWindow::CenterWindow(MWindow* centreOn) {
    const DWORD style = HasHandle() ? GetStyle() : 0;
    const bool child = (style & WS_CHILD) != 0;
    HWND centre = nullptr;
    if (centreOn != nullptr && centreOn->GetSafeHwnd() != nullptr) {
        centre = centreOn->GetSafeHwnd();
    } else if (child) {
        centre = ::GetParent(m_hWnd);
    } else {
        centre = ::GetWindow(m_hWnd, GW_OWNER);
    }

    RECT own{};
    ::GetWindowRect(m_hWnd, &own);
    RECT area{};
    RECT centreRect{};
    if (child) {
        const HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &area);
        ::GetClientRect(centre, &centreRect);
        ::MapWindowPoints(centre, parent, reinterpret_cast<POINT*>(&centreRect), 2);
    } else {
        if (centre != nullptr && !(::IsWindowVisible(centre) && !::IsIconic(centre))) {
            centre = nullptr;
        }
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        ::GetMonitorInfoW(::MonitorFromWindow(centre != nullptr ? centre : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
        area = monitor.rcWork;
        if (centre != nullptr) {
            ::GetWindowRect(centre, &centreRect);
        } else {
            centreRect = area;
        }
    }

    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    int left = (centreRect.left + centreRect.right) / 2 - width / 2;
    int top = (centreRect.top + centreRect.bottom) / 2 - height / 2;
    if (left + width > area.right) {
        left = area.right - width;
    }
    if (left < area.left) {
        left = area.left;
    }
    if (top + height > area.bottom) {
        top = area.bottom - height;
    }
    if (top < area.top) {
        top = area.top;
    }
    ::SetWindowPos(m_hWnd, nullptr, left, top, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MWindow::BringToTop() {
    const HWND foreground = ::GetForegroundWindow();
    const DWORD foregroundThread = ::GetWindowThreadProcessId(foreground, nullptr);
    const DWORD ownThread = ::GetWindowThreadProcessId(m_hWnd, nullptr);
    if (foregroundThread == ownThread) {
        ::SetForegroundWindow(m_hWnd);
    } else {
        // Windows refuses the foreground to a thread that has no input; borrowing the foreground thread's lets it.
        ::AttachThreadInput(foregroundThread, ownThread, TRUE);
        ::AllowSetForegroundWindow(ASFW_ANY);
        ::SetForegroundWindow(m_hWnd);
        ::AttachThreadInput(foregroundThread, ownThread, FALSE);
    }
    ::ShowWindow(m_hWnd, ::IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW);
}

void MWindow::SetIcon(UINT resourceId) {
    const auto load = [resourceId](int sizeX, int sizeY) {
        return static_cast<HICON>(::LoadImageW(Manager::m_hInstance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                               ::GetSystemMetrics(sizeX), ::GetSystemMetrics(sizeY), LR_DEFAULTCOLOR));
    };
    const HICON big = load(SM_CXICON, SM_CYICON);
    const HICON small = load(SM_CXSMICON, SM_CYSMICON);
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

DWORD MWindow::GetStyle() const {
    return HasHandle() ? static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)) : 0;
}

DWORD MWindow::GetExStyle() const {
    return HasHandle() ? static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)) : 0;
}

BOOL MWindow::ModifyStyle(DWORD remove, DWORD add, UINT positionFlags) {
    return HasHandle() ? ChangeStyleBits(m_hWnd, GWL_STYLE, remove, add, positionFlags) : FALSE;
}

BOOL MWindow::ModifyExStyle(DWORD remove, DWORD add, UINT positionFlags) {
    return HasHandle() ? ChangeStyleBits(m_hWnd, GWL_EXSTYLE, remove, add, positionFlags) : FALSE;
}

LRESULT MWindow::SendMessageW(UINT message, WPARAM wParam, LPARAM lParam) {
    return HasHandle() ? ::SendMessageW(m_hWnd, message, wParam, lParam) : 0;
}

LRESULT MWindow::PostMessageW(UINT message, WPARAM wParam, LPARAM lParam) {
    return HasHandle() ? ::PostMessageW(m_hWnd, message, wParam, lParam) : 0;
}

BOOL MWindow::GetClientRect(RECT* rect) const {
    return IsLiveWindow() ? ::GetClientRect(m_hWnd, rect) : FALSE;
}
BOOL MWindow::GetWindowRect(RECT* rect) const {
    return IsLiveWindow() ? ::GetWindowRect(m_hWnd, rect) : FALSE;
}

void MWindow::SetWindowTextW(const wchar_t* text) {
    if (IsLiveWindow()) {
        ::SetWindowTextW(m_hWnd, text);
    }
}

void MWindow::GetWindowTextW(std::wstring& text) const {
    if (!IsLiveWindow()) {
        return;
    }
    const int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, buffer.data(), length + 1);
    buffer.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    text = std::move(buffer);
}

int MWindow::GetWindowTextLengthW() const {
    return IsLiveWindow() ? ::GetWindowTextLengthW(m_hWnd) : -1;
}
BOOL MWindow::EnableWindow(BOOL enable) {
    return IsLiveWindow() ? ::EnableWindow(m_hWnd, enable) : FALSE;
}
BOOL MWindow::IsWindowEnabled() const {
    return IsLiveWindow() ? ::IsWindowEnabled(m_hWnd) : FALSE;
}
BOOL MWindow::IsWindowVisible() const {
    return IsLiveWindow() ? ::IsWindowVisible(m_hWnd) : FALSE;
}
BOOL MWindow::IsIconic() const {
    return IsLiveWindow() ? ::IsIconic(m_hWnd) : FALSE;
}

void MWindow::InvalidateRect(CRect rect, BOOL erase) {
    if (IsLiveWindow()) {
        ::InvalidateRect(m_hWnd, &rect, erase);
    }
}

HWND MWindow::SetCapture() {
    return IsLiveWindow() ? ::SetCapture(m_hWnd) : nullptr;
}
HWND MWindow::SetFocus() {
    return IsLiveWindow() ? ::SetFocus(m_hWnd) : nullptr;
}
BOOL MWindow::ReleaseCapture() {
    return IsLiveWindow() ? ::ReleaseCapture() : FALSE;
}

UINT_PTR MWindow::SetTimer(UINT_PTR id, UINT interval, TIMERPROC procedure) {
    return IsLiveWindow() ? ::SetTimer(m_hWnd, id, interval, procedure) : 0;
}

BOOL MWindow::KillTimer(UINT_PTR id) {
    return IsLiveWindow() ? ::KillTimer(m_hWnd, id) : FALSE;
}

BOOL MWindow::ClientToScreen(POINT* point) const {
    return IsLiveWindow() ? ::ClientToScreen(m_hWnd, point) : FALSE;
}
BOOL MWindow::ScreenToClient(POINT* point) const {
    return IsLiveWindow() ? ::ScreenToClient(m_hWnd, point) : FALSE;
}

BOOL MWindow::ClientToScreen(RECT* rect) const {
    if (!IsLiveWindow()) {
        return FALSE;
    }
    auto* corners = reinterpret_cast<POINT*>(rect);
    return ::ClientToScreen(m_hWnd, &corners[0]) && ::ClientToScreen(m_hWnd, &corners[1]);
}

BOOL MWindow::ScreenToClient(RECT* rect) const {
    if (!IsLiveWindow()) {
        return FALSE;
    }
    auto* corners = reinterpret_cast<POINT*>(rect);
    return ::ScreenToClient(m_hWnd, &corners[0]) && ::ScreenToClient(m_hWnd, &corners[1]);
}

BOOL MWindow::SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags) {
    return IsLiveWindow() ? ::SetWindowPos(m_hWnd, insertAfter, x, y, width, height, flags) : FALSE;
}

BOOL MWindow::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    return IsLiveWindow() ? ::MoveWindow(m_hWnd, x, y, width, height, repaint) : FALSE;
}

BOOL MWindow::MoveWindow(const RECT* rect, BOOL repaint) {
    return IsLiveWindow() ? ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left,
                                         rect->bottom - rect->top, repaint)
                          : FALSE;
}

BOOL MWindow::HasHandle() const {
    return m_hWnd != nullptr && m_hWnd != kInvalidHandle;
}
BOOL MWindow::IsLiveWindow() const {
    return m_hWnd != nullptr && ::IsWindow(m_hWnd);
}

} // namespace Ovrix
