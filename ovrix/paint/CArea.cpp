#include "Ovrix/CArea.h"

#include "Ovrix/MRender.h"

namespace Ovrix {

namespace {

constexpr Gdiplus::ARGB kNearlyOpaque = 0xFE000000;

Gdiplus::ARGB FillArgb(COLORREF color) {
    return kNearlyOpaque | (static_cast<Gdiplus::ARGB>(GetRValue(color)) << 16) |
           (static_cast<Gdiplus::ARGB>(GetGValue(color)) << 8) | GetBValue(color);
}

void FillWith(HDC dc, const Gdiplus::Brush& brush, int x, int y, int width, int height) {
    Gdiplus::Graphics graphics(dc);
    graphics.FillRectangle(&brush, x, y, width, height);
}

} // namespace

CArea::CArea(MObject* parent, UINT id, CRect rect, BOOL visible, BOOL enabled)
    : MControl(parent, id, rect, visible, enabled, TRUE) {}

const wchar_t* CArea::GetClassNameW() const {
    return L"CArea";
}

void CArea::DrawControl(HDC& dc, CRect) {
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (width <= 0 || height <= 0) {
        return;
    }
    if (!m_bUpdate) {
        UpdateMemDC(dc, width, height);
        // The cache starts as what lies beneath, so a tint blends over the real background.
        ::BitBlt(m_hMemDC, 0, 0, width, height, dc, m_rect.left, m_rect.top, SRCCOPY);
        const Gdiplus::SolidBrush brush(Gdiplus::Color(FillArgb(m_fillColor)));
        const CRect whole(0, 0, width, height);
        if (m_nStartTransparency != 0 || m_nEndTransparency != 0) {
            if (m_nDirection == 0 || m_nDirection == 1) {
                HDC tint = ::CreateCompatibleDC(dc);
                HBITMAP tintBitmap = ::CreateCompatibleBitmap(dc, width, height);
                const HGDIOBJ old = ::SelectObject(tint, tintBitmap);
                FillWith(tint, brush, 0, 0, width, height);
                if (m_nDirection == 1) {
                    MRender::DrawVerticalTransition(m_hMemDC, tint, whole, whole, m_nStartTransparency,
                                                    m_nEndTransparency);
                } else {
                    MRender::DrawHorizontalTransition(m_hMemDC, tint, whole, whole, m_nStartTransparency,
                                                      m_nEndTransparency);
                }
                ::SelectObject(tint, old);
                ::DeleteObject(tintBitmap);
                ::DeleteDC(tint);
            }
        } else if (m_bFrame) {
            FillWith(m_hMemDC, Gdiplus::SolidBrush(Gdiplus::Color(m_frameColor)), 0, 0, width, height);
            FillWith(m_hMemDC, brush, 1, 1, width - 2, height - 2);
        } else {
            FillWith(m_hMemDC, brush, 0, 0, width, height);
        }
    }
    ::BitBlt(dc, m_rect.left, m_rect.top, width, height, m_hMemDC, 0, 0, SRCCOPY);
}

void CArea::SetTransparent(int start, int end, COLORREF fill) {
    m_nStartTransparency = start;
    m_nEndTransparency = end;
    m_fillColor = fill;
    NotifyChanged();
}

void CArea::SetFrame(BOOL frame, Gdiplus::ARGB color, int) {
    m_bFrame = frame;
    m_frameColor = color;
    NotifyChanged();
}

void CArea::NotifyChanged() {
    if (m_bVisible && m_pParent != nullptr) {
        m_pParent->OnControlUpdate(m_rect, TRUE, this);
    }
}

} // namespace Ovrix
