// The per-window engine that owns, creates, routes input to, times and paints the controls of one window.
// A window forwards every message to OnWindowMessage and its message loop calls PreTranslateMessage.
// UI thread (the window's), except: the fast timer ticks (OnMTimer) on the multimedia-timer thread, and
// AddMTimer / DeleteFSTimer / the list locks exist for that; repaint requests from there only invalidate.
#pragma once

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "CIDropTarget.h"
#include "ImgResInfo.h"
#include "OvrixApi.h"
#include "ZorvTimer.h"

namespace Ovrix {

class MShadow;
class MAirBladder;
class MRichEdit;

// How a loaded background image is drawn; without an image the colour pair is drawn.
enum enumBackMode { BKMODE_STRETCH = 0, BKMODE_FRAME = 1, BKMODE_NONE = 2 };

// Levels of the message banner; their look is left to whoever draws the banner.
enum MsgLevel : int {};
// Balloon tip type and placement; their values belong to the balloon.
enum AIRBLADDER_TYPE : int {};
enum AIRBLADDER_MODE : int {};

class OVRIX_API PaintManager : public ZorvTimer, public CIDropTarget {
public:
    PaintManager();
    ~PaintManager() override;

    using ZorvTimer::OnMTimer;
    // Fast tick: every control of the fast-timer list gets OnTimer. Multimedia-timer thread.
    void OnMTimer(UINT timerId) override;
    // A dropped picture becomes a bitmap handed to the window with STM_SETIMAGE.
    bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect) override;

    // Life cycle. Init ignores a null or dead handle; DestroyData does its work once per Init.
    void Init(HWND window, MWindow* owner);
    void DestroyData();
    void OnDestroyMessage(HWND window);
    BOOL OnCreate(LPCREATESTRUCTW create);
    BOOL OnDestroy();
    BOOL PostNcDestroy();

    // Factory: kind 0 files the control as an area, 1 as a control, anything else nowhere (the caller keeps it).
    // Unknown or empty class names yield null.
    MControl* CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                            const wchar_t* text, int a, int b);
    MControl* CreateControl(MObject* parent, const wchar_t* className, UINT id, CRect rect, const wchar_t* text, int a,
                            int b);
    MControl* CreateArea(MObject* parent, const wchar_t* className, UINT id, CRect rect, const wchar_t* text, int a,
                         int b);
    // Depth-first over the controls, then over the areas.
    MControl* GetControl(UINT id);
    std::vector<MControl*>& GetControls() { return m_controls; }
    std::vector<MControl*>& GetAreaControls() { return m_areaControls; }
    void RemoveControl(MControl* control);
    void ClearControls();
    void ClearAreaControls();
    void ClearAllControls();

    MWindow* GetMDialog() const { return m_pOwner; }
    HWND GetPaintWnd() const { return m_hWnd; }
    HDC GetPaintDC() const { return m_hPaintDC; }
    void GetClientRect(CRect& rect);
    void GetWindowRect(CRect& rect);
    void GetClientSize(int& width, int& height);
    void SetCaptionRect(CRect rect) { m_rcCaption = rect; }
    void GetCaptionRect(CRect& rect) { rect = m_rcCaption; }
    UINT GetScrollVID() const { return m_uScrollVID; }
    UINT GetScrollHID() const { return m_uScrollHID; }
    void SetScrollResID(UINT vertical, UINT horizontal);
    COLORREF GetDefaultEnabledColor() const { return m_defaultEnabledColor; }
    void SetDefaultEnabledColor(COLORREF color) { m_defaultEnabledColor = color; }

    // Input routing.
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL PreTranslateMessage(MSG* message);
    BOOL OnMouseMove(UINT flags, CPoint point);
    BOOL OnMouseLeave(WPARAM wParam, LPARAM lParam);
    BOOL OnMouseHover(WPARAM wParam, LPARAM lParam);
    BOOL OnLButtonDown(UINT flags, CPoint point);
    BOOL OnLButtonUp(UINT flags, CPoint point);
    BOOL OnLButtonDblClk(UINT flags, CPoint point);
    BOOL OnRButtonDown(UINT flags, CPoint point);
    BOOL OnRButtonUp(UINT flags, CPoint point);
    BOOL OnRButtonDblClk(UINT flags, CPoint point);
    // The point is in screen coordinates, as WM_MOUSEWHEEL gives it.
    BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    BOOL OnKeyDown(UINT key, LPARAM lParam);
    BOOL OnKeyUp(UINT key, LPARAM lParam);
    BOOL OnNcActivate(BOOL active);
    void SetFocusControl(MControl* control);
    MControl* GetFocusControl() const { return m_pFocusControl; }
    MControl* GetHoverControl() const { return m_pHoverControl; }
    MControl* GetNextFocusableControl();
    MControl* GetPrevFocusableControl();
    HWND SetCapture();
    BOOL ReleaseCapture();
    BOOL IsCaptured() const { return m_bCaptured; }
    void EnableWndDrag(BOOL enable) { m_bWndDrag = enable; }
    LRESULT SendMessageW(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PostMessageW(UINT message, WPARAM wParam, LPARAM lParam);
    BOOL InitDragDrop();

    // Painting.
    void SetBackColor(COLORREF background, COLORREF frame);
    void SetBackMode(enumBackMode mode, int value);
    BOOL LoadBKImage(const wchar_t* fileName);
    BOOL LoadBKImage(UINT resourceId, const wchar_t* resourceType);
    void SetLayeredWindow(BOOL layered) { m_bLayered = layered; }
    BOOL IsLayered() const { return m_bLayered; }
    void SetWindowMaxSize(int width, int height);
    void GetWindowManSize(int& width, int& height);
    void SetWindowMixSize(int width, int height);
    void GetWindowMinSize(int& width, int& height);
    void Invalidate();
    void InvalidateRect(CRect rect, BOOL erase);
    LRESULT OnControlUpdate(CRect rect, BOOL rebuild, MControl* control);
    BOOL OnPaint();
    void DrawControl(HDC& dc, CRect paintArea);
    void DrawBackImage(Gdiplus::Graphics* graphics, CRect client);
    BOOL OnGetMinMaxInfo(MINMAXINFO* info);
    BOOL OnWindowPosChanged(WINDOWPOS* position);
    BOOL OnSize(UINT type, int width, int height);
    BOOL OnWindowPosChanging(WINDOWPOS* position);
    BOOL OnNcCalcSize(BOOL calculate, NCCALCSIZE_PARAMS* sizes);
    BOOL OnNcPaint();
    BOOL OnNcHitTest(CPoint point);
    HBITMAP GetDropBitmap(MControl* control, CRect part, DWORD unused);

    // The window shadow. Each answers 0 and does nothing while the window has no shadow object.
    void CreateShadow(BOOL show, bool force);
    void SetShadowShow(BOOL show);
    BOOL SetSize(int size);
    BOOL SetSharpness(UINT sharpness);
    BOOL SetDarkness(UINT darkness);
    BOOL SetPosition(int x, int y);
    BOOL SetShadowColor(COLORREF color);
    BOOL SetShadowImage(const wchar_t* fileName, CRect corners);
    BOOL SetShadowImage(UINT resourceId, CRect corners);
    void DisableShadow(BOOL disable);

    // Window timers of controls: the control's own ID is mapped to a window-wide one.
    BOOL SetTimer(MControl* control, UINT controlTimerId, UINT elapse);
    BOOL KillTimer(MControl* control, UINT controlTimerId);
    void KillTimer(MControl* control);
    void ClearTimers();
    void OnTimer(UINT_PTR windowTimerId);
    // The fast timer.
    void SetMTimer(UINT elapse);
    void KillMTimer(UINT timerId);
    void KillMTimer();
    BOOL AddMTimer(MControl* control);
    BOOL DeleteFSTimer(MControl* control);

    // Tooltip; the rectangle is not used.
    void SetTooltip(std::wstring text, CRect rect);
    void ClearTooltip();
    void SetTooltipCtrlID(int id) { m_nTooltipCtrlID = id; }
    int GetTooltipCtrlID() const { return m_nTooltipCtrlID; }
    HWND GetToolTipWnd() const { return m_hTooltipWnd; }
    // Called by every paint; draws the caret of the rich-edit control that owns it.
    void DrawCaret(HDC& dc, CRect paintArea);
    MRichEdit* GetCurrentCaretObject() const { return m_pCaretObject; }
    // Message banner and progress: the text, level and rectangle are kept and the rectangle repainted.
    void SetMessage(std::wstring text, CRect rect, MsgLevel level);
    void SetProgress(int value, std::wstring text, CRect rect);
    CRect GetMessageRect() const { return m_rcMessage; }
    // Balloon tip; FALSE while the window has no balloon.
    BOOL SetAirBladderMsg(const wchar_t* text, POINT point, AIRBLADDER_TYPE type, AIRBLADDER_MODE mode);
    // The balloon's window; null until the window has a balloon.
    MWindow* GetAirBladderWindow() const;

    // Images, shared by every control of the window and owned here.
    ImgResInfo* AddImgResInfo(const wchar_t* fileName, int count);
    ImgResInfo* AddImgResInfo(UINT resourceId, const wchar_t* resourceType, int count, BOOL applicationModule);
    void ClearImgResInfo();
    // Fonts.
    void AddGDITempFont(UINT resourceId);
    Gdiplus::FontFamily* AddTempFont(const wchar_t* name, const wchar_t* fontFile);
    Gdiplus::FontFamily* AddTempFont(const wchar_t* name, UINT resourceId);
    // Always the family of the library's global font name; the argument is not used.
    Gdiplus::FontFamily* FindTempFont(const wchar_t* name);
    void ClearTempFont();

protected:
    struct TimerInfo {
        HWND hWnd;
        UINT uCtrlTimerID;
        UINT_PTR uWinTimer;
        BOOL bKilled;
        MControl* pSender;
    };

    MControl* NewControl(const wchar_t* className, MObject* parent, UINT id, CRect rect, const wchar_t* text, int a,
                         int b);
    // Drops every reference the manager keeps to the control and its children (hover, focus, timers).
    void ForgetControlTree(MControl* control);
    // Keeps the first family of a freshly loaded collection under the name; frees the collection when nothing loaded.
    Gdiplus::FontFamily* StoreTempFont(const wchar_t* name, Gdiplus::PrivateFontCollection* collection, bool loaded);
    BOOL StartDragControl();
    // false when every ID of the cycle is taken.
    bool NextWindowTimerId(UINT_PTR& id);
    BOOL HasWindow() const;
    void InvalidateWhole();

    MWindow* m_pOwner = nullptr;
    BOOL m_bInitialised = FALSE;
    HWND m_hWnd = nullptr;
    HDC m_hPaintDC = nullptr;
    COLORREF m_backColor = 0xC8C8C8;
    COLORREF m_frameColor = 0x646464;
    CRect m_rcCaption;
    int m_nMaxWidth = 0;
    int m_nMaxHeight = 0;
    int m_nMinWidth = 0;
    int m_nMinHeight = 0;
    int m_nDragLastX = 0;
    int m_nDragLastY = 0;
    BOOL m_bDragPending = FALSE;
    HBITMAP m_hDragBitmap = nullptr;
    BOOL m_bLayered = FALSE;
    Gdiplus::Image* m_pBackImage = nullptr;
    int m_nBackImageWidth = 0;
    int m_nBackImageHeight = 0;
    // The window shadow; null until the window has one.
    MShadow* m_pShadow = nullptr;
    std::wstring m_message;
    MsgLevel m_messageLevel{};
    int m_nMessageOpacity = 0;
    int m_nShownProgress = 0;
    int m_nTargetProgress = 0;
    CRect m_rcMessage;
    // Read by the multimedia-timer thread.
    std::atomic<UINT> m_uFastTimerID{0};
    UINT m_uTimerIdCounter = 4096;
    BOOL m_bMouseTracking = FALSE;
    BOOL m_bLeftPressed = FALSE;
    BOOL m_bCaptured = FALSE;
    BOOL m_bWndDrag = TRUE;
    UINT m_uScrollVID = 0;
    UINT m_uScrollHID = 0;
    COLORREF m_defaultEnabledColor = 0x808080;
    MControl* m_pHoverControl = nullptr;
    MControl* m_pFocusControl = nullptr;
    int m_nTooltipCtrlID = 0;
    HWND m_hTooltipWnd = nullptr;
    MAirBladder* m_pAirBladder = nullptr;
    int m_nAirBladderOwner = 0;
    std::vector<MControl*> m_areaControls;
    std::vector<MControl*> m_controls;
    std::vector<MControl*> m_fastTimerControls;
    CRITICAL_SECTION m_areaLock;
    CRITICAL_SECTION m_controlLock;
    CRITICAL_SECTION m_fastTimerLock;
    enumBackMode m_backMode = BKMODE_STRETCH;
    int m_nBackModeValue = 4;
    CRect m_rcCaret;
    BOOL m_bCaretBlink = FALSE;
    BOOL m_bCaretShown = FALSE;
    MRichEdit* m_pCaretObject = nullptr;
    std::map<std::wstring, ImgResInfo*> m_fileImages;
    std::map<UINT, ImgResInfo*> m_appResourceImages;
    std::map<UINT, ImgResInfo*> m_libResourceImages;
    CRITICAL_SECTION m_imageLock;
    std::vector<TimerInfo*> m_timers;
    CRITICAL_SECTION m_timerLock;
    std::map<std::wstring, Gdiplus::FontFamily*> m_tempFonts;
    std::vector<HANDLE> m_gdiTempFonts;
    // The private collections the table's families were copied from; they hold the fonts' data.
    std::vector<Gdiplus::PrivateFontCollection*> m_fontCollections;
    CRITICAL_SECTION m_fontLock;
};

} // namespace Ovrix
