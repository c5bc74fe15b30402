// One native window bound to its object: class registration, creation, message routing to OnWindowMessage,
// a modal loop and guarded wrappers. UI thread only (the thread that created the window); other threads may only
// call PostMessageW.
#pragma once

#include <string>

#include "OvrixApi.h"

namespace Ovrix {

class OVRIX_API MWindow {
public:
    MWindow() = default;
    // Does not destroy the window: owners destroy the window before the object.
    virtual ~MWindow();
    MWindow(const MWindow&) = delete;
    MWindow& operator=(const MWindow&) = delete;

    virtual const wchar_t* GetWindowClassName() const;
    // Non-null: the object superclasses that existing window class.
    virtual const wchar_t* GetSuperClassName() const;
    virtual BOOL ShowWindow(int showCommand);
    virtual LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Offered every message of ShowModal's loop; TRUE consumes it.
    virtual BOOL PreTranslateMessage(MSG* message);
    // Runs after every Create that got past class registration, even when the window could not be created.
    virtual BOOL OnInitDialog();
    // After the window's last message; the object is unbound by then.
    virtual void OnDestroyMessage(HWND window);

    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect, HMENU menu);
    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, CRect rect);
    HWND Create(HWND parent, CRect rect);
    HWND Create(HWND parent);
    BOOL RegisterWindowClass();
    BOOL RegisterSuperClass();
    static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // 0xFFFFFFFF without a window; otherwise the wParam of a WM_CLOSE posted to the window, or 0.
    UINT ShowModal(int showCommand);
    BOOL DestroyWindow();
    // Centres on the given window, else on the parent (child windows) or the owner, else on the work area;
    // keeps the window inside the area.
    void CenterWindow(MWindow* centreOn);
    void BringToTop();
    void SetIcon(UINT resourceId);

    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    // FALSE and nothing done when the bits would not change.
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT positionFlags);
    BOOL ModifyExStyle(DWORD remove, DWORD add, UINT positionFlags);
    LRESULT SendMessageW(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PostMessageW(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL GetClientRect(RECT* rect) const;
    BOOL GetWindowRect(RECT* rect) const;
    void SetWindowTextW(const wchar_t* text);
    void GetWindowTextW(std::wstring& text) const;
    int GetWindowTextLengthW() const;
    BOOL EnableWindow(BOOL enable);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    BOOL IsIconic() const;
    void InvalidateRect(CRect rect, BOOL erase);
    HWND SetCapture();
    HWND SetFocus();
    BOOL ReleaseCapture();
    UINT_PTR SetTimer(UINT_PTR id, UINT interval, TIMERPROC procedure);
    BOOL KillTimer(UINT_PTR id);
    BOOL ClientToScreen(POINT* point) const;
    BOOL ClientToScreen(RECT* rect) const;
    BOOL ScreenToClient(POINT* point) const;
    BOOL ScreenToClient(RECT* rect) const;
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags);
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint);
    BOOL MoveWindow(const RECT* rect, BOOL repaint);
    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetParentHwnd() const { return m_hParentWnd; }

protected:
    // Neither null nor the -1 sentinel; says nothing about whether the window still exists.
    BOOL HasHandle() const;
    BOOL IsLiveWindow() const;

    HWND m_hParentWnd = nullptr;
    HWND m_hWnd = nullptr;
    WNDPROC m_default_proc = DefWindowProcW;
};

} // namespace Ovrix
