#include "Ovrix/MPicture.h"

#include <algorithm>

#include "Ovrix/MRender.h"
#include "Ovrix/Manager.h"

namespace Ovrix {

MPicture::MPicture(MObject* parent, UINT id, CRect rect, BOOL visible, BOOL enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, TRUE) {
    m_nImageCount = 1;
}

MPicture::~MPicture() {
    delete m_pImage;
}

int MPicture::SetImage(const wchar_t* path, int count) {
    // A count below 1 has no cell width; the request is refused and the picture stays as it is.
    if (path == nullptr || count < 1) {
        return 0;
    }
    Gdiplus::Image* image = MRender::LoadImageFromFile(GetSkinFolder() + path);
    TakeImage(image, count);
    RequestRepaint(TRUE);
    return image != nullptr ? 1 : 0;
}

int MPicture::SetImage(UINT resourceId, const wchar_t* resourceType, int count) {
    if (resourceType == nullptr || count < 1) {
        return 0;
    }
    Gdiplus::Image* image = MRender::LoadImageFromIDResource(resourceId, resourceType, Manager::m_hInstance);
    TakeImage(image, count);
    if (image == nullptr) {
        return 0;
    }
    RequestRepaint(TRUE);
    return 1;
}

void MPicture::TakeImage(Gdiplus::Image* image, int count) {
    delete m_pImage;
    m_pImage = image;
    if (image == nullptr) {
        m_nCellWidth = 0;
        m_nImageHeight = 0;
        return;
    }
    m_nCellWidth = static_cast<int>(image->GetWidth()) / count;
    m_nImageHeight = static_cast<int>(image->GetHeight());
    m_nImageCount = count;
}

int MPicture::SetShowMode(enumShowMode mode, int corner) {
    if (mode == m_showMode && (mode != SHOW_MODE_FRAME || corner == m_nCorner)) {
        return 0;
    }
    m_nCorner = corner;
    m_showMode = mode;
    RequestRepaint(TRUE);
    return 1;
}

int MPicture::SetShowModeMID(int left, int top, int right, int bottom) {
    m_nMarginLeft = left;
    m_nMarginTop = top;
    m_nMarginRight = right;
    m_nMarginBottom = bottom;
    m_showMode = SHOW_MODE_FRAME_MID;
    RequestRepaint(TRUE);
    return 1;
}

void MPicture::DrawControl(HDC& dc, CRect) {
    const int width = m_rect.Width();
    const int height = m_rect.Height();
    if (width <= 0 || height <= 0) {
        return;
    }
    if (!m_bUpdate) {
        UpdateMemDC(dc, width, height);
        // Transparent parts of the image show what lies beneath.
        ::BitBlt(m_hMemDC, 0, 0, width, height, dc, m_rect.left, m_rect.top, SRCCOPY);
        if (m_pImage != nullptr) {
            Gdiplus::Graphics graphics(m_hMemDC);
            graphics.SetPageUnit(Gdiplus::UnitPixel);
            DrawImage(graphics, width, height);
        }
    }
    ::BitBlt(dc, m_rect.left, m_rect.top, width, height, m_hMemDC, 0, 0, SRCCOPY);
}

void MPicture::DrawImage(Gdiplus::Graphics& graphics, int width, int height) {
    const int cell = m_nCellWidth;
    const int imageHeight = m_nImageHeight;
    switch (m_showMode) {
    case SHOW_MODE_NORMAL: {
        const int x = m_uAlignment == 0 ? 0 : m_uAlignment == 2 ? width - cell : (width - cell) / 2;
        const int y = m_uVAlignment == 0 ? 0 : m_uVAlignment == 8 ? height - imageHeight : (height - imageHeight) / 2;
        graphics.DrawImage(m_pImage, Gdiplus::Rect(x, y, cell, imageHeight), 0, 0, cell, imageHeight,
                           Gdiplus::UnitPixel);
        break;
    }
    case SHOW_MODE_TILE:
        if (cell <= 0 || imageHeight <= 0) {
            break;
        }
        for (int column = 0; column <= width / cell; ++column) {
            for (int row = 0; row <= height / imageHeight; ++row) {
                const int tileWidth = std::min(cell, width - column * cell);
                const int tileHeight = std::min(imageHeight, height - row * imageHeight);
                if (tileWidth <= 0 || tileHeight <= 0) {
                    continue;
                }
                graphics.DrawImage(m_pImage, Gdiplus::Rect(column * cell, row * imageHeight, tileWidth, tileHeight), 0,
                                   0, tileWidth, tileHeight, Gdiplus::UnitPixel);
            }
        }
        break;
    case SHOW_MODE_STRETCH:
        graphics.DrawImage(m_pImage, Gdiplus::Rect(0, 0, width, height), 0, 0, cell, imageHeight, Gdiplus::UnitPixel);
        break;
    case SHOW_MODE_FRAME:
        MRender::DrawImageFrame(&graphics, m_pImage, CRect(0, 0, width, height), 0, 0, cell, imageHeight, m_nCorner);
        break;
    case SHOW_MODE_FRAME_MID:
        MRender::DrawImageFrameMID(&graphics, m_pImage, CRect(0, 0, width, height), 0, 0, cell, imageHeight,
                                   m_nMarginLeft, m_nMarginTop, m_nMarginRight, m_nMarginBottom);
        break;
    case SHOW_MODE_CUSTOM:
        graphics.DrawImage(m_pImage, Gdiplus::Rect(0, 0, width, height), m_rcCustom.left, m_rcCustom.top,
                           m_rcCustom.Width(), m_rcCustom.Height(), Gdiplus::UnitPixel);
        break;
    }
}

} // namespace Ovrix
