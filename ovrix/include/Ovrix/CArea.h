// A rectangle of one colour: opaque (optionally framed) or a translucent tint over what lies beneath, with a
// transparency that may change linearly from one edge to the other. UI thread.
#pragma once

#include "MControl.h"

namespace Ovrix {

class OVRIX_API CArea : public MControl {
public:
    CArea(MObject* parent, UINT id, CRect rect, BOOL visible, BOOL enabled);

    const wchar_t* GetClassNameW() const override;
    void DrawControl(HDC& dc, CRect paintArea) override;

    // Transparencies are percentages: 0 opaque, 100 fully transparent.
    void SetTransparent(int start, int end, COLORREF fill);
    void SetFrame(BOOL frame, Gdiplus::ARGB color, int unused);

private:
    void NotifyChanged();

    // 1: rows from top to bottom, 0: columns from left to right, other: no tint at all.
    int m_nDirection = 1;
    int m_nStartTransparency = 80;
    int m_nEndTransparency = 80;
    COLORREF m_fillColor = 0xFFFFFF;
    BOOL m_bFrame = FALSE;
    Gdiplus::ARGB m_frameColor = 0xFE050505;
};

} // namespace Ovrix
