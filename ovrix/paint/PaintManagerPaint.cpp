// The paint cycle: background, area controls, controls and caret into one off-screen 32-bit surface, shown in
// one copy or one layered-window update; repaint requests, size limits and the position handlers.
#include "Ovrix/PaintManager.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "Ovrix/MControl.h"
#include "Ovrix/MRender.h"
#include "Ovrix/Manager.h"
#include "controls/SectionLock.h"
#include "window/LibraryModule.h"

namespace Ovrix {

namespace {

constexpr Gdiplus::ARGB kNearlyOpaque = 0xFE000000;
// A fixed hot spot: the pointer inside it gets a grey square outline drawn over the controls.
const CRect kHotSpot(285, 8, 305, 28);
constexpr Gdiplus::ARGB kHotSpotColor = 0xFFC8C8C8;
constexpr DWORD kPaintPauseMs = 15;
constexpr UINT kReapplyFrameFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOSENDCHANGING;

Gdiplus::ARGB ToArgb(COLORREF color) {
    return kNearlyOpaque | (static_cast<Gdiplus::ARGB>(GetRValue(color)) << 16) |
           (static_cast<Gdiplus::ARGB>(GetGValue(color)) << 8) | GetBValue(color);
}

// Rows of a bottom-up section: client row y is stored at row height - 1 - y.
std::uint32_t* PixelRow(BYTE* bits, int width, int height, int y) {
    return reinterpret_cast<std::uint32_t*>(bits) + static_cast<std::size_t>(height - 1 - y) * width;
}

CRect Clipped(const RECT& rect, int width, int height) {
    return CRect(std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0), std::min<LONG>(rect.right, width),
                 std::min<LONG>(rect.bottom, height));
}

} // namespace

void PaintManager::SetBackColor(COLORREF background, COLORREF frame) {
    m_backColor = background;
    m_frameColor = frame;
}

void PaintManager::SetBackMode(enumBackMode mode, int value) {
    m_backMode = mode;
    m_nBackModeValue = value;
}

BOOL PaintManager::LoadBKImage(const wchar_t* fileName) {
    delete m_pBackImage;
    m_pBackImage = nullptr;
    m_nBackImageWidth = 0;
    m_nBackImageHeight = 0;
    if (fileName == nullptr) {
        return FALSE;
    }
    m_pBackImage = MRender::LoadImageFromFile(GetSkinFolder() + fileName);
    if (m_pBackImage == nullptr) {
        return FALSE;
    }
    m_nBackImageWidth = static_cast<int>(m_pBackImage->GetWidth());
    m_nBackImageHeight = static_cast<int>(m_pBackImage->GetHeight());
    return TRUE;
}

BOOL PaintManager::LoadBKImage(UINT resourceId, const wchar_t* resourceType) {
    delete m_pBackImage;
    m_pBackImage = nullptr;
    m_nBackImageWidth = 0;
    m_nBackImageHeight = 0;
    if (resourceType == nullptr) {
        return FALSE;
    }
    m_pBackImage = MRender::LoadImageFromIDResource(resourceId, resourceType, g_hLibModule);
    if (m_pBackImage == nullptr) {
        return FALSE;
    }
    m_nBackImageWidth = static_cast<int>(m_pBackImage->GetWidth());
    m_nBackImageHeight = static_cast<int>(m_pBackImage->GetHeight());
    return TRUE;
}

void PaintManager::SetWindowMaxSize(int width, int height) {
    m_nMaxWidth = width;
    m_nMaxHeight = height;
}

void PaintManager::GetWindowManSize(int& width, int& height) {
    width = m_nMaxWidth;
    height = m_nMaxHeight;
}

void PaintManager::SetWindowMixSize(int width, int height) {
    m_nMinWidth = width;
    m_nMinHeight = height;
}

void PaintManager::GetWindowMinSize(int& width, int& height) {
    width = m_nMinWidth;
    height = m_nMinHeight;
}

void PaintManager::Invalidate() {
    if (HasWindow()) {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
    }
}

void PaintManager::InvalidateWhole() {
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void PaintManager::InvalidateRect(CRect rect, BOOL erase) {
    if (!HasWindow()) {
        return;
    }
    // The system needs a layered window's whole image at every update.
    if (m_bLayered) {
        InvalidateWhole();
    } else {
        ::InvalidateRect(m_hWnd, &rect, erase);
    }
}

LRESULT PaintManager::OnControlUpdate(CRect rect, BOOL rebuild, MControl* control) {
    if (control == nullptr) {
        return 0;
    }
    CRect region = rect;
    if (rebuild) {
        control->SetUpdate(FALSE, m_backColor);
    }
    if (m_bInitialised) {
        bool found = false;
        const auto walk = [&](CRITICAL_SECTION& lock, const std::vector<MControl*>& list) {
            SectionLock held(lock);
            for (MControl* entry : list) {
                if (!found) {
                    found = entry == control;
                    continue;
                }
                // Drawn later and overlapping: its cached drawing holds the old look of the area beneath.
                if (entry->IsVisible() && entry->GetRect().Intersects(rect)) {
                    entry->SetUpdate(FALSE, m_backColor);
                    region = region.United(entry->GetRect());
                }
            }
        };
        walk(m_areaLock, m_areaControls);
        walk(m_controlLock, m_controls);
    }
    if (HasWindow()) {
        if (m_bLayered) {
            InvalidateWhole();
        } else {
            ::InvalidateRect(m_hWnd, &region, FALSE);
        }
    }
    return 0;
}

BOOL PaintManager::OnPaint() {
    if (!HasWindow()) {
        return FALSE;
    }
    if (::IsIconic(m_hWnd)) {
        return TRUE;
    }
    RECT updateRect{};
    if (!::GetUpdateRect(m_hWnd, &updateRect, FALSE) || ::IsRectEmpty(&updateRect)) {
        return FALSE;
    }
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    const int width = client.Width();
    const int height = client.Height();
    const CRect update = Clipped(updateRect, width, height);

    PAINTSTRUCT paint{};
    const HDC paintDC = ::BeginPaint(m_hWnd, &paint);
    const HDC windowDC = ::GetDC(m_hWnd);
    HDC memoryDC = ::CreateCompatibleDC(windowDC);
    BYTE* bits = nullptr;
    const HBITMAP section =
        width > 0 && height > 0 ? MRender::CreateARGB32Bitmap(memoryDC, width, height, &bits) : nullptr;
    if (section == nullptr || bits == nullptr) {
        if (section != nullptr) {
            ::DeleteObject(section);
        }
        ::DeleteDC(memoryDC);
        ::ReleaseDC(m_hWnd, windowDC);
        ::EndPaint(m_hWnd, &paint);
        return TRUE;
    }
    const HGDIOBJ oldBitmap = ::SelectObject(memoryDC, section);
    const int savedState = ::SaveDC(memoryDC);

    if (m_bLayered) {
        for (int y = update.top; y < update.bottom; ++y) {
            std::fill_n(PixelRow(bits, width, height, y) + update.left, update.Width(), 0u);
        }
    }

    auto graphics = std::make_unique<Gdiplus::Graphics>(memoryDC);
    if (m_pBackImage != nullptr) {
        DrawBackImage(graphics.get(), client);
    } else {
        const Gdiplus::SolidBrush frame(Gdiplus::Color(ToArgb(m_frameColor)));
        const Gdiplus::SolidBrush back(Gdiplus::Color(ToArgb(m_backColor)));
        graphics->FillRectangle(&frame, 0, 0, width, height);
        graphics->FillRectangle(&back, 1, 1, width - 2, height - 2);
    }
    graphics->Flush(Gdiplus::FlushIntentionSync);

    const CRect paintArea = m_bLayered ? client : update;
    DrawControl(memoryDC, paintArea);

    POINT cursor{};
    if (::GetCursorPos(&cursor) && ::ScreenToClient(m_hWnd, &cursor) && kHotSpot.PtInRect(cursor)) {
        const Gdiplus::Pen pen(Gdiplus::Color(kHotSpotColor), 1.0f);
        graphics->DrawRectangle(&pen, static_cast<INT>(kHotSpot.left), static_cast<INT>(kHotSpot.top),
                                static_cast<INT>(kHotSpot.Width()), static_cast<INT>(kHotSpot.Height()));
        graphics->Flush(Gdiplus::FlushIntentionSync);
    }

    DrawCaret(memoryDC, paintArea);
    ::GdiFlush();

    if (m_bLayered) {
        // GDI leaves alpha at 0: what it drew in any colour but black becomes opaque, untouched pixels stay clear.
        for (int y = update.top; y < update.bottom; ++y) {
            std::uint32_t* row = PixelRow(bits, width, height, y);
            for (int x = update.left; x < update.right; ++x) {
                if ((row[x] & 0xFF000000u) == 0 && (row[x] & 0x00FFFFFFu) != 0) {
                    row[x] |= 0xFF000000u;
                }
            }
        }
    }

    ::RestoreDC(memoryDC, savedState);
    if (m_bLayered) {
        const LONG_PTR exStyle = ::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
        if ((exStyle & WS_EX_LAYERED) == 0) {
            ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        }
        SIZE size{width, height};
        POINT source{0, 0};
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::UpdateLayeredWindow(m_hWnd, windowDC, nullptr, &size, memoryDC, &source, 0, &blend, ULW_ALPHA);
    } else {
        ::BitBlt(paintDC, update.left, update.top, update.Width(), update.Height(), memoryDC, update.left, update.top,
                 SRCCOPY);
    }

    ::SelectObject(memoryDC, oldBitmap);
    ::DeleteObject(section);
    ::DeleteDC(memoryDC);
    ::ReleaseDC(m_hWnd, windowDC);
    ::EndPaint(m_hWnd, &paint);
    ::Sleep(kPaintPauseMs);
    graphics.reset();
    return TRUE;
}

void PaintManager::DrawControl(HDC& dc, CRect paintArea) {
    {
        SectionLock lock(m_areaLock);
        for (MControl* control : m_areaControls) {
            control->Draw(dc, paintArea);
        }
    }
    SectionLock lock(m_controlLock);
    for (MControl* control : m_controls) {
        control->Draw(dc, paintArea);
    }
}

void PaintManager::DrawBackImage(Gdiplus::Graphics* graphics, CRect client) {
    if (graphics == nullptr || m_pBackImage == nullptr) {
        return;
    }
    if (m_backMode == BKMODE_STRETCH) {
        graphics->DrawImage(m_pBackImage, 0, 0, client.Width(), client.Height());
    } else if (m_backMode == BKMODE_FRAME) {
        MRender::DrawImageFrame(graphics, m_pBackImage, client, 0, 0, m_nBackImageWidth, m_nBackImageHeight,
                                m_nBackModeValue);
    }
}

BOOL PaintManager::OnGetMinMaxInfo(MINMAXINFO* info) {
    if (info == nullptr) {
        return TRUE;
    }
    if (m_nMinWidth > 0) {
        info->ptMinTrackSize.x = m_nMinWidth;
    }
    if (m_nMinHeight > 0) {
        info->ptMinTrackSize.y = m_nMinHeight;
    }
    if (m_nMaxWidth > 0) {
        info->ptMaxTrackSize.x = m_nMaxWidth;
        info->ptMaxSize.x = m_nMaxWidth;
    }
    if (m_nMaxHeight > 0) {
        info->ptMaxTrackSize.y = m_nMaxHeight;
        info->ptMaxSize.y = m_nMaxHeight;
    }
    return TRUE;
}

BOOL PaintManager::OnWindowPosChanged(WINDOWPOS* position) {
    if (position == nullptr || !HasWindow()) {
        return TRUE;
    }
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, kReapplyFrameFlags);
    ::SendMessageW(m_hWnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(position->x), static_cast<WORD>(position->y)));
    ::SendMessageW(m_hWnd, WM_SIZE, 0, MAKELPARAM(static_cast<WORD>(position->cx), static_cast<WORD>(position->cy)));
    return TRUE;
}

BOOL PaintManager::OnSize(UINT, int, int) {
    return TRUE;
}
BOOL PaintManager::OnWindowPosChanging(WINDOWPOS*) {
    return TRUE;
}
BOOL PaintManager::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) {
    return TRUE;
}
BOOL PaintManager::OnNcPaint() {
    return TRUE;
}
BOOL PaintManager::OnNcHitTest(CPoint) {
    return TRUE;
}

HBITMAP PaintManager::GetDropBitmap(MControl* control, CRect part, DWORD) {
    if (control == nullptr) {
        return nullptr;
    }
    const CRect rect = control->GetRect();
    const int fullWidth = std::max<LONG>(rect.right, 1);
    const int fullHeight = std::max<LONG>(rect.bottom, 1);
    const HDC screen = ::GetDC(nullptr);
    const HDC reference = m_hPaintDC != nullptr ? m_hPaintDC : screen;
    HDC whole = ::CreateCompatibleDC(reference);
    const HBITMAP wholeBitmap = ::CreateCompatibleBitmap(reference, fullWidth, fullHeight);
    const HGDIOBJ oldWhole = ::SelectObject(whole, wholeBitmap);
    control->Draw(whole, CRect(0, 0, fullWidth, fullHeight));

    HDC partDC = ::CreateCompatibleDC(reference);
    const HBITMAP partBitmap = MRender::CreateARGB32Bitmap(partDC, part.Width(), part.Height(), nullptr);
    if (partBitmap != nullptr) {
        const HGDIOBJ oldPart = ::SelectObject(partDC, partBitmap);
        ::BitBlt(partDC, 0, 0, part.Width(), part.Height(), whole, rect.left + part.left, rect.top + part.top, SRCCOPY);
        ::SelectObject(partDC, oldPart);
    }
    ::DeleteDC(partDC);
    ::SelectObject(whole, oldWhole);
    ::DeleteObject(wholeBitmap);
    ::DeleteDC(whole);
    ::ReleaseDC(nullptr, screen);
    return partBitmap;
}

void PaintManager::DrawCaret(HDC&, CRect) {
    // The caret belongs to a rich-edit control that shows it; with none, there is nothing to draw.
    if (m_pCaretObject == nullptr) {
        return;
    }
}

} // namespace Ovrix
