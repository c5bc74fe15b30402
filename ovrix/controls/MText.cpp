#include "Ovrix/MText.h"

namespace Ovrix {

namespace {

constexpr UINT kScrollBarId = 1;
constexpr UINT kScrollBarMoved = 8;
constexpr INT kWrappingFlags = Gdiplus::StringFormatFlagsNoClip | Gdiplus::StringFormatFlagsMeasureTrailingSpaces;
constexpr INT kOneLineFlags = Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces;

Gdiplus::StringAlignment Horizontal(UINT code) {
    switch (code) {
    case 1:
        return Gdiplus::StringAlignmentCenter;
    case 2:
        return Gdiplus::StringAlignmentFar;
    default:
        return Gdiplus::StringAlignmentNear;
    }
}

Gdiplus::StringAlignment Vertical(UINT code) {
    switch (code) {
    case 4:
        return Gdiplus::StringAlignmentCenter;
    case 8:
        return Gdiplus::StringAlignmentFar;
    default:
        return Gdiplus::StringAlignmentNear;
    }
}

} // namespace

MText::MText(MObject* parent, UINT id, CRect rect, const wchar_t* text, BOOL visible)
    : MControlFont(parent, id, rect, text, visible, FALSE, TRUE) {}

MText::~MText() = default;

LRESULT MText::OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) {
    OnMessage(id, code, wParam, lParam);
    return 0;
}

LRESULT MText::OnMessage(UINT id, UINT code, WPARAM, LPARAM) {
    if (id == kScrollBarId && code == kScrollBarMoved) {
        RequestRepaint(TRUE);
    }
    return 0;
}

void MText::SetControlRect(CRect rect) {
    m_rect = rect;
    if (!m_bScroll) {
        return;
    }
    for (MControl* child : m_controls) {
        if (child->GetControlID() == kScrollBarId) {
            child->SetControlRect(CRect(rect.right - m_nScrollWidth, rect.top, rect.right, rect.bottom));
        }
    }
}

BOOL MText::OnControlScroll(int, UINT, CPoint) {
    return TRUE;
}

void MText::EnableTextBack(int enable, Gdiplus::Color color) {
    if (enable != m_bTextBack) {
        m_bTextBack = enable;
        m_textBackColor = color;
    }
    RequestRepaint(TRUE);
}

BOOL MText::SetMarkText(const wchar_t* mark, Gdiplus::Color color) {
    if (mark == nullptr) {
        return FALSE;
    }
    m_markText = mark;
    m_markColor = color;
    m_bMark = TRUE;
    RequestRepaint(TRUE);
    return TRUE;
}

BOOL MText::SetTitleMarkText(const wchar_t* title, const wchar_t* mark, Gdiplus::Color color) {
    if (mark == nullptr) {
        return FALSE;
    }
    SetControlTitle(title);
    return SetMarkText(mark, color);
}

void MText::DrawControl(HDC& dc, CRect) {
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (width <= 0 || height <= 0) {
        return;
    }
    if (!m_bUpdate) {
        UpdateMemDC(dc, width, height);
        if (!m_bTextBack) {
            ::BitBlt(m_hMemDC, 0, 0, width, height, dc, m_rect.left, m_rect.top, SRCCOPY);
        }
        Gdiplus::Graphics graphics(m_hMemDC);
        if (m_bTextBack) {
            const Gdiplus::SolidBrush back(m_textBackColor);
            graphics.FillRectangle(&back, 0, 0, width, height);
        }
        const std::unique_ptr<Gdiplus::Font> font = CreateTitleFont();
        if (font != nullptr && m_pTextBrush != nullptr && !m_title.empty()) {
            graphics.SetTextRenderingHint(Gdiplus::TextRenderingHintClearTypeGridFit);
            graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
            Gdiplus::StringFormat format;
            format.SetAlignment(Horizontal(m_uAlignment));
            if (m_bMultiLine) {
                format.SetFormatFlags(kWrappingFlags);
                format.SetLineAlignment(m_bVCenter ? Gdiplus::StringAlignmentCenter : Vertical(m_uVAlignment));
            } else {
                format.SetFormatFlags(kOneLineFlags);
                format.SetLineAlignment(Vertical(m_uVAlignment));
            }
            const Gdiplus::RectF layout(0.0f, 0.0f, static_cast<Gdiplus::REAL>(width),
                                        static_cast<Gdiplus::REAL>(height));
            graphics.DrawString(m_title.c_str(), -1, font.get(), layout, &format, m_pTextBrush.get());
        }
        graphics.Flush(Gdiplus::FlushIntentionSync);
    }
    ::BitBlt(dc, m_rect.left, m_rect.top, width, height, m_hMemDC, 0, 0, SRCCOPY);
}

} // namespace Ovrix
