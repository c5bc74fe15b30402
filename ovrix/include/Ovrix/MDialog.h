// The library's top-level window: a borderless native window whose whole content is drawn by its embedded paint
// manager. As an MWindow it receives the window's messages; as an MObject it is the parent its top-level controls
// report to. Applications derive from it, build their controls in InitUI and run it with ShowModal.
// UI thread (the window's); other threads only post messages to it.
#pragma once

#include <string>
#include <vector>

#include "MObject.h"
#include "MWindow.h"
#include "PaintManager.h"

namespace Ovrix {

// The dialog closing message; wParam carries the modal result.
constexpr UINT WM_USERCLOSE = WM_USER + 66;

// Modal results that DoOK and its kin post.
constexpr UINT kModalOK = 1;
constexpr UINT kModalCancel = 2;
constexpr UINT kModalYes = 6;
constexpr UINT kModalNo = 7;

class OVRIX_API MDialog : public MWindow, public MObject {
public:
    MDialog();
    // Does not destroy the window; the paint manager goes with the object.
    ~MDialog() override;

    // MWindow side.
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnInitDialog() override;
    void OnDestroyMessage(HWND window) override;

    // Screen point below the control: placement 1 its middle, 2 its right edge, anything else its left edge.
    virtual CPoint GetAirBladderPoint(MControl* control, UINT placement);
    virtual void OnMinimize();
    virtual void OnMaximize();
    virtual void InitUI(CRect client);
    virtual void UISize(CRect client);
    virtual LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam);
    // Posts the close message with the same values; an override may refuse by not posting.
    virtual LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCreate(LPCREATESTRUCTW create);
    virtual BOOL OnSize(UINT type, int width, int height);
    virtual BOOL OnMouseMove(UINT flags, CPoint point);
    virtual BOOL OnMouseLeave(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnMouseHover(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    virtual BOOL OnLButtonDown(UINT flags, CPoint point);
    virtual BOOL OnLButtonUp(UINT flags, CPoint point);
    virtual BOOL OnLButtonDblClk(UINT flags, CPoint point);
    virtual BOOL OnRButtonDown(UINT flags, CPoint point);
    virtual BOOL OnRButtonUp(UINT flags, CPoint point);
    virtual BOOL OnRButtonDblClk(UINT flags, CPoint point);
    virtual BOOL OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual BOOL OnNcHitTest(CPoint point);
    virtual BOOL OnGetMinMaxInfo(MINMAXINFO* info);
    virtual BOOL OnNcCalcSize(BOOL calculate, NCCALCSIZE_PARAMS* sizes);
    virtual BOOL OnNcActivate(BOOL active);
    virtual BOOL OnWindowPosChanging(WINDOWPOS* position);
    virtual BOOL OnWindowPosChanged(WINDOWPOS* position);
    virtual BOOL OnPaint();
    virtual void OnTimer(UINT_PTR timerId);
    virtual BOOL OnNcPaint();
    virtual BOOL OnClose();
    virtual BOOL OnDestroy();
    virtual BOOL PostNcDestroy();

    // MObject side.
    const wchar_t* GetClassNameW() const override;
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnControlUpdate(CRect area, BOOL rebuild, MControl* control) override;

    // Controls, created by class name with the dialog as their parent.
    MControl* CreateControl(const wchar_t* className, UINT id, CRect rect, const wchar_t* text, int a, int b);
    MControl* CreateArea(const wchar_t* className, UINT id, CRect rect, const wchar_t* text, int a, int b);
    MControl* GetControl(UINT id);
    std::vector<MControl*>& GetControls();
    void SetFocusControl(MControl* control);

    // Painting, input and timers of the paint manager.
    BOOL LoadBKImage(const wchar_t* fileName);
    BOOL LoadBKImage(UINT resourceId, const wchar_t* resourceType);
    void SetBackMode(enumBackMode mode, int value);
    void SetScrollResID(UINT vertical, UINT horizontal);
    void SetLayeredWindow(BOOL layered);
    void EnableWndDrag(BOOL enable);
    void SetMTimer(UINT elapse);
    void KillMTimer(UINT timerId);

    // Tips, banner and balloon.
    void SetTooltip(std::wstring text, CRect rect);
    void ClearTooltip();
    void SetTooltipCtrlID(int id);
    int GetTooltipCtrlID() const;
    // An empty rectangle becomes a 200 x 58 strip centred 2 pixels above the bottom of the client area.
    void SetMessage(std::wstring text, CRect rect, MsgLevel level);
    void SetProgress(int value, std::wstring text, CRect rect);
    // FALSE, showing nothing, for a point on the x = 0 or y = 0 line.
    BOOL SetAirBladderMsg(const wchar_t* text, POINT point, AIRBLADDER_TYPE type);

    // The window shadow.
    void CreateShadow(BOOL show, bool reRegister);
    void SetShadowShow(BOOL show);
    BOOL SetSize(int size);
    BOOL SetSharpness(UINT sharpness);
    BOOL SetDarkness(UINT darkness);
    BOOL SetPosition(int x, int y);
    BOOL SetShadowColor(COLORREF color);
    BOOL SetShadowImage(const wchar_t* fileName, CRect corners);
    BOOL SetShadowImage(UINT resourceId, CRect corners);

    // Post WM_USERCLOSE with the modal result; nothing without a window.
    void DoOK();
    void DoCancel();
    void DoClose();
    void DoYes();
    void DoNo();
    // Whole-window opacity from m_alpha, else the colour key m_transparent_color; opacity wins.
    void SetupBackTranslucent();

protected:
    void SetupRegion(int);
    void PostUserClose(UINT result);

    PaintManager m_PaintManager;
    // 0xFFFFFF: no colour key.
    COLORREF m_transparent_color = 0xFFFFFF;
    // 255: opaque; only the low byte is used.
    int m_alpha = 255;
    int m_message_offset_y = 0;
    int m_tooltip_ctrl_id = 0;
    CRect m_rcClient;
};

} // namespace Ovrix
