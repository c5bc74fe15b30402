// Root of every windowless control: geometry and state, two owned child lists, mouse/key/timer routing to the
// children, drawing between the lists and two cached drawing surfaces. UI thread, except OnTimer, which the fast
// timer also calls from the multimedia-timer thread; the two list locks exist for that.
#pragma once

#include <string>
#include <vector>

#include "MObject.h"

namespace Ovrix {

// Mode 0: from the low end (or the high end when m_bFar); 1: offset from the middle; 2: percentage of the range.
struct FS_POSITION_ITEM {
    int m_mode = 0;
    BOOL m_bFar = FALSE;
    float m_value = 0.0f;
};

class OVRIX_API MControl : public MObject {
public:
    MControl(MObject* parent, UINT id, CRect rect, BOOL visible, BOOL enabled, BOOL response);
    ~MControl() override;
    MControl(const MControl&) = delete;
    MControl& operator=(const MControl&) = delete;

    const wchar_t* GetClassNameW() const override;

    virtual void InitControl(PaintManager* manager);
    // kind 1 is the wheel; direction 1 means turned toward the user.
    virtual BOOL OnScroll(int kind, UINT direction, CPoint point);
    virtual BOOL PtInRect(CPoint point);
    virtual void DrawControl(HDC& dc, CRect paintArea) = 0;
    virtual BOOL DrawSubControls(HDC& dc, CRect paintArea);
    virtual BOOL IsDraw(CPoint point);
    // Passed down to every child overlapping this control; the colour is only handed on.
    virtual void SetUpdate(BOOL update, COLORREF backColor);
    virtual BOOL SetControlFocus(BOOL focus);
    virtual void InitUI(CRect rect);
    // Scrolling containers move the point into their content coordinates here.
    virtual BOOL OnMousePointChange(CPoint& point);
    virtual BOOL OnCheckMouseResponse(UINT flags, CPoint point);
    virtual LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT OnMessage(UINT message, UINT code, WPARAM wParam, LPARAM lParam);
    virtual void SetControlRect(CRect rect);
    virtual void SetControlVisible(BOOL visible);
    virtual void SetControlWndVisible(BOOL visible);
    virtual void SetControlEnabled(BOOL enabled);
    virtual BOOL OnControlTimer();
    virtual HBITMAP GetControlDropBitmap();
    virtual BOOL OnControlMouseMove(UINT flags, CPoint point);
    virtual BOOL OnControlSetCursor(UINT flags, CPoint point);
    virtual BOOL OnControlLButtonDown(UINT flags, CPoint point);
    virtual BOOL OnControlLButtonUp(UINT flags, CPoint point);
    virtual BOOL OnControlLButtonDblClk(UINT flags, CPoint point);
    virtual BOOL OnControlScroll(int kind, UINT direction, CPoint point);
    virtual BOOL OnControlRButtonDown(UINT flags, CPoint point);
    virtual BOOL OnControlRButtonUp(UINT flags, CPoint point);
    virtual BOOL OnControlRButtonDblClk(UINT flags, CPoint point);
    virtual BOOL OnControlKeyDown(UINT key, UINT repeat, UINT modifiers);
    virtual void OnPositionChange();
    virtual void InvalidateRect(const RECT* rect, BOOL erase);

    // Event entry points used by the paint manager and by container controls.
    BOOL OnMouseMove(UINT flags, CPoint point);
    BOOL OnLButtonDown(UINT flags, CPoint point);
    BOOL OnRButtonDown(UINT flags, CPoint point);
    BOOL OnLButtonUp(UINT flags, CPoint point);
    BOOL OnRButtonUp(UINT flags, CPoint point);
    BOOL OnLButtonDblClk(UINT flags, CPoint point);
    BOOL OnRButtonDblClk(UINT flags, CPoint point);
    BOOL OnKeyDown(UINT key, UINT repeat, UINT modifiers);
    BOOL OnKeyUp(UINT key, UINT repeat, UINT modifiers);
    BOOL OnTimer();
    BOOL OnFocus(BOOL focus);
    void Draw(HDC& dc, CRect paintArea);

    void SetRect(CRect rect);
    void SetRect(int x, int y, int width, int height);
    void SetVisible(BOOL visible);
    void SetVisible(BOOL visible, BOOL notify);
    void SetEnabled(BOOL enabled);
    BOOL IsParentVisible();
    void UpdateControl(BOOL rebuild, BOOL force);
    void UpdateControl(CRect rect, BOOL force, BOOL rebuild);
    void UpdateAControl(BOOL keep, BOOL force);
    void UpdateMemDC(HDC& dc, int width, int height);
    void UpdateAnimateDC(HDC& dc, int width, int height);
    MControl* GetControl(UINT id);
    // Destroys the first child control equal to the argument; area children are not searched.
    BOOL RemoveControl(MControl* control);
    void RemoveAllControl();
    void AddMTimer();
    LRESULT SendMessageW(UINT code, WPARAM wParam, LPARAM lParam);
    LRESULT SetCursorEx(const wchar_t* name);
    void SetTooltip(std::wstring text, CRect rect);
    void SetTooltip(const wchar_t* text);
    void ClearTooltip();
    BOOL IsFocusControl();
    void SetTooltipCtrlID(int id);
    int GetTooltipCtrlID();
    MControl* GetNextFocusableControl(MControl* from);
    MControl* GetPrevFocusableControl(MControl* from);
    MControl* GetFocusControl(MControl* from);
    HBITMAP GetDropBitmap();
    int PositionItem2Value(FS_POSITION_ITEM item, int low, int high);

    BOOL IsVisible() const { return m_bVisible; }
    BOOL IsEnabled() const { return m_bEnabled; }
    UINT GetControlID() const { return m_uID; }
    CRect GetRect() const { return m_rect; }
    MObject* GetParantObject() const { return m_pParent; }
    void SetParent(MObject* parent) { m_pParent = parent; }
    PaintManager* GetManager() const { return m_pManager; }
    void SetManager(PaintManager* manager);
    std::vector<MControl*>& GetControls() { return m_controls; }
    BOOL IsDragDrop() const { return m_bDragDrop; }
    void SetDragDrop(BOOL dragDrop) { m_bDragDrop = dragDrop; }
    BOOL GetRresponse() const { return m_bResponse; }
    void SetRresponse(BOOL response) { m_bResponse = response; }
    BOOL IsTabStop() const { return m_bTabStop; }
    void SetTabStop(BOOL tabStop) { m_bTabStop = tabStop; }
    BOOL GetDblClk() const { return m_bDblClk; }
    BOOL IsFocused() const { return m_bFocused; }
    BOOL IsKeyDown() const { return m_bKeyDown; }
    BOOL GetUpdate() const { return m_bUpdate; }
    BOOL IsRunTimer() const { return m_bRunTimer; }
    void SetRunTimer(BOOL run) { m_bRunTimer = run; }
    BOOL UseImageECM() const { return m_bImageECM; }
    std::wstring GetTooltip() const { return m_tooltip; }

private:
    // The left and right buttons route alike.
    BOOL RouteButtonDown(UINT flags, CPoint point, bool right);
    BOOL RouteButtonUp(UINT flags, CPoint point, bool right);
    BOOL RouteButtonDblClk(UINT flags, CPoint point, bool right);

protected:
    // The point a child is served: the container's own scroll bars (ids 1 and 2) keep the unshifted point.
    static CPoint PointForChild(const MControl* child, CPoint incoming, CPoint changed);
    static void ReleaseSurface(HDC& dc, HBITMAP& bitmap, HBITMAP& oldBitmap);
    static void CreateSurface(HDC& target, int width, int height, HDC& dc, HBITMAP& bitmap, HBITMAP& oldBitmap);

    MObject* m_pParent;
    PaintManager* m_pManager = nullptr;
    UINT m_uID;
    CRect m_rect;
    BOOL m_bVisible;
    BOOL m_bEnabled;
    BOOL m_bDragDrop = FALSE;
    BOOL m_bResponse;
    BOOL m_bTabStop = FALSE;
    int m_nSpare1 = 0;
    BOOL m_bDblClk = FALSE;
    BOOL m_bPressedInside = FALSE;
    BOOL m_bKeyDown = FALSE;
    int m_nSpare2 = 0;
    BOOL m_bFocused = FALSE;
    UINT m_uHotKey = 0;
    UINT m_uHotKeyModifiers = 0;
    BOOL m_bUpdate = FALSE;
    BOOL m_bAnimateUpdate = FALSE;
    BOOL m_bRunTimer = FALSE;
    int m_nSpare3 = 0;
    BOOL m_bImageECM = FALSE;
    std::vector<MControl*> m_areaControls;
    std::vector<MControl*> m_controls;
    CRITICAL_SECTION m_areaLock;
    CRITICAL_SECTION m_controlLock;
    MControl* m_pCurrentChild = nullptr;
    int m_nMemWidth = 0;
    int m_nMemHeight = 0;
    HBITMAP m_hMemBitmap = nullptr;
    HDC m_hMemDC = nullptr;
    HBITMAP m_hOldMemBitmap = nullptr;
    int m_nAnimateWidth = 0;
    int m_nAnimateHeight = 0;
    HBITMAP m_hAnimateBitmap = nullptr;
    HDC m_hAnimateDC = nullptr;
    HBITMAP m_hOldAnimateBitmap = nullptr;
    std::wstring m_tooltip;
    int m_nSpareField = 0;
    HCURSOR m_hCursor = nullptr;
    int m_nSpare4 = 0;
    int m_nSpare5 = 0;
    int m_nSpare6 = 0;
    int m_nSpare7 = 0;
    int m_nSpare8 = 0;
    int m_nSpare9 = 1;
};

} // namespace Ovrix
