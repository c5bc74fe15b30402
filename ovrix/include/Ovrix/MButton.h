// A push button drawn from a four-state image strip (normal, hover, pressed, disabled) with a centred caption.
// It reports a press (code 1) and a click (code 2) to its parent and ignores the keyboard. UI thread.
#pragma once

#include "MControlFont.h"

namespace Ovrix {

enum ButtonState { BUTTON_NORMAL = 0, BUTTON_HOVER = 1, BUTTON_PRESSED = 2, BUTTON_DISABLED = 3 };

// Notification codes a button sends to its parent's OnBaseMessage.
constexpr UINT kButtonPressed = 1;
constexpr UINT kButtonClicked = 2;

class OVRIX_API MButton : public MControlFont {
public:
    MButton(MObject* parent, UINT id, CRect rect, const wchar_t* text, BOOL visible, BOOL enabled);
    ~MButton() override;

    // All four states are cached side by side; a state change only picks another cell.
    void DrawControl(HDC& dc, CRect paintArea) override;
    void SetControlEnabled(BOOL enabled) override;
    BOOL OnControlMouseMove(UINT flags, CPoint point) override;
    BOOL OnControlLButtonDown(UINT flags, CPoint point) override;
    BOOL OnControlLButtonUp(UINT flags, CPoint point) override;
    BOOL OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override;

    void SetFrameSize(int size) { m_nFrameSize = size; }
    // Where the caption sits inside one cell; empty means the whole cell.
    void SetTextRect(CRect rect) { m_rcText = rect; }
    // For derived buttons; the plain button does not draw it.
    int SetIconImage(const wchar_t* path, int count);
    int GetState() const { return m_nState; }

protected:
    // Repaints the cached cell of the new state when it differs; TRUE then.
    BOOL ChangeState(int state);
    void DrawCells(HDC& dc, int width, int height);

    int m_nState = BUTTON_NORMAL;
    int m_nFrameSize = 8;
    Gdiplus::Image* m_pIconImage = nullptr;
    int m_nIconWidth = 0;
    int m_nIconHeight = 0;
    int m_nIconCount = 4;
    CRect m_rcIcon;
    CRect m_rcText;
};

} // namespace Ovrix
