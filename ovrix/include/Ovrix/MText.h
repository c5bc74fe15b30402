// A title text drawn with the control's font, aligned by the alignment codes, on one line or wrapped. Created
// disabled: it takes no clicks of its own. UI thread.
#pragma once

#include "MControlFont.h"

namespace Ovrix {

class OVRIX_API MText : public MControlFont {
public:
    MText(MObject* parent, UINT id, CRect rect, const wchar_t* text, BOOL visible);
    ~MText() override;

    // Hands a child's notification to the text's own OnMessage.
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    void DrawControl(HDC& dc, CRect paintArea) override;
    // Its scroll bar (child 1) reporting code 8 repaints the text.
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;
    void SetControlRect(CRect rect) override;
    BOOL OnControlScroll(int kind, UINT direction, CPoint point) override;

    // The colour is taken only together with a change of the flag.
    void EnableTextBack(int enable, Gdiplus::Color color);
    void EnableMultiLine(int enable) { m_bMultiLine = enable; }
    void EnableVCenter(int enable) { m_bVCenter = enable; }
    void EnableShadow(int enable) { m_bShadow = enable; }
    // Kept for the owner; the text's drawing does not show the mark. A null mark is refused (FALSE).
    BOOL SetMarkText(const wchar_t* mark, Gdiplus::Color color);
    BOOL SetTitleMarkText(const wchar_t* title, const wchar_t* mark, Gdiplus::Color color);
    std::wstring GetMarkText() const { return m_markText; }
    int GetVirtualHeight() const { return 0; }

protected:
    BOOL m_bScroll = FALSE;
    int m_nScrollWidth = 8;
    BOOL m_bShadow = FALSE;
    BOOL m_bTextBack = FALSE;
    Gdiplus::Color m_textBackColor{0xFF008000};
    Gdiplus::Color m_furtherColor{0xFF505050};
    Gdiplus::Color m_markColor{0xFFED801B};
    std::wstring m_markText;
    BOOL m_bMark = FALSE;
    BOOL m_bMultiLine = FALSE;
    BOOL m_bVCenter = FALSE;
};

} // namespace Ovrix
