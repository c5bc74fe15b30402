#include "Ovrix/MButton.h"

#include "Ovrix/MRender.h"
#include "Ovrix/Manager.h"

namespace Ovrix {

namespace {

constexpr int kStateCount = 4;
constexpr Gdiplus::ARGB kDisabledTextColor = 0xFF808080;
constexpr INT kCaptionFlags = Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces;

} // namespace

MButton::MButton(MObject* parent, UINT id, CRect rect, const wchar_t* text, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, text, visible, enabled, TRUE) {
    m_uAlignment = 1;
    if (!enabled) {
        m_nState = BUTTON_DISABLED;
    }
}

MButton::~MButton() {
    delete m_pIconImage;
}

int MButton::SetIconImage(const wchar_t* path, int count) {
    if (path == nullptr || count < 1) {
        return 0;
    }
    Gdiplus::Image* icon = MRender::LoadImageFromFile(GetSkinFolder() + path);
    if (icon == nullptr) {
        return 0;
    }
    delete m_pIconImage;
    m_pIconImage = icon;
    m_nIconWidth = static_cast<int>(icon->GetWidth()) / count;
    m_nIconHeight = static_cast<int>(icon->GetHeight());
    m_nIconCount = count;
    return 1;
}

void MButton::DrawControl(HDC& dc, CRect) {
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (width <= 0 || height <= 0) {
        return;
    }
    if (!m_bUpdate) {
        UpdateMemDC(dc, kStateCount * width, height);
        DrawCells(dc, width, height);
    }
    ::BitBlt(dc, m_rect.left, m_rect.top, width, height, m_hMemDC, m_nState * width, 0, SRCCOPY);
}

void MButton::DrawCells(HDC& dc, int width, int height) {
    for (int state = 0; state < kStateCount; ++state) {
        ::BitBlt(m_hMemDC, state * width, 0, width, height, dc, m_rect.left, m_rect.top, SRCCOPY);
    }
    Gdiplus::Graphics graphics(m_hMemDC);
    graphics.SetPageUnit(Gdiplus::UnitPixel);
    if (m_pImage != nullptr) {
        for (int state = 0; state < kStateCount; ++state) {
            MRender::DrawImageFrame(&graphics, m_pImage, CRect(state * width, 0, (state + 1) * width, height),
                                    state * m_nCellWidth, 0, m_nCellWidth, m_nImageHeight, m_nFrameSize);
        }
    }
    if (!m_title.empty()) {
        const std::unique_ptr<Gdiplus::Font> font = CreateTitleFont();
        if (font != nullptr) {
            graphics.SetTextRenderingHint(m_textRenderingHint);
            Gdiplus::StringFormat format;
            format.SetAlignment(Gdiplus::StringAlignmentCenter);
            format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
            format.SetFormatFlags(kCaptionFlags);
            const Gdiplus::SolidBrush normal(m_textColor);
            const Gdiplus::SolidBrush disabled{Gdiplus::Color(kDisabledTextColor)};
            for (int state = 0; state < kStateCount; ++state) {
                // The pressed caption sits one pixel lower and to the right.
                const int shift = state == BUTTON_PRESSED ? 1 : 0;
                Gdiplus::RectF layout;
                if (m_rcText.IsRectEmpty()) {
                    layout = Gdiplus::RectF(static_cast<Gdiplus::REAL>(state * width + shift),
                                            static_cast<Gdiplus::REAL>(shift), static_cast<Gdiplus::REAL>(width),
                                            static_cast<Gdiplus::REAL>(height));
                } else {
                    layout = Gdiplus::RectF(static_cast<Gdiplus::REAL>(m_rcText.left + state * width + shift),
                                            static_cast<Gdiplus::REAL>(m_rcText.top + shift),
                                            static_cast<Gdiplus::REAL>(m_rcText.Width()),
                                            static_cast<Gdiplus::REAL>(m_rcText.Height()));
                }
                graphics.DrawString(m_title.c_str(), -1, font.get(), layout, &format,
                                    state == BUTTON_DISABLED ? &disabled : &normal);
            }
        }
    }
    graphics.Flush(Gdiplus::FlushIntentionSync);
}

void MButton::SetControlEnabled(BOOL enabled) {
    if (enabled == m_bEnabled) {
        return;
    }
    m_bEnabled = enabled;
    m_nState = enabled ? BUTTON_NORMAL : BUTTON_DISABLED;
}

BOOL MButton::ChangeState(int state) {
    if (state == m_nState) {
        return FALSE;
    }
    m_nState = state;
    RequestRepaint(FALSE);
    return TRUE;
}

BOOL MButton::OnControlMouseMove(UINT, CPoint point) {
    if (!m_bEnabled || m_nState == BUTTON_PRESSED) {
        return FALSE;
    }
    const bool inside = m_rect.PtInRect(point);
    ::SetCursor(::LoadCursorW(nullptr, inside ? IDC_HAND : IDC_ARROW));
    return ChangeState(inside ? BUTTON_HOVER : BUTTON_NORMAL);
}

BOOL MButton::OnControlLButtonDown(UINT, CPoint point) {
    if (!m_bEnabled || !m_rect.PtInRect(point)) {
        return FALSE;
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    const bool changed = m_nState != BUTTON_PRESSED;
    m_nState = BUTTON_PRESSED;
    SendMessageW(kButtonPressed, 0, 0);
    if (changed) {
        RequestRepaint(FALSE);
    }
    return changed ? TRUE : FALSE;
}

BOOL MButton::OnControlLButtonUp(UINT, CPoint point) {
    if (!m_bEnabled) {
        return FALSE;
    }
    const bool inside = m_rect.PtInRect(point);
    const bool wasPressed = m_nState == BUTTON_PRESSED;
    if (!ChangeState(inside ? BUTTON_HOVER : BUTTON_NORMAL)) {
        return FALSE;
    }
    // Last: the owner may close the dialog or remove this button when it hears the click.
    if (wasPressed && inside) {
        SendMessageW(kButtonClicked, 0, 0);
    }
    return TRUE;
}

BOOL MButton::OnControlKeyDown(UINT, UINT, UINT) {
    return FALSE;
}

} // namespace Ovrix
