// A picture: one image, owned by the control, drawn in one of six ways. UI thread.
#pragma once

#include "MControlFont.h"

namespace Ovrix {

enum enumShowMode {
    // Natural size, placed by the alignment codes.
    SHOW_MODE_NORMAL = 0,
    // Repeated from the top-left corner, the last row and column cropped.
    SHOW_MODE_TILE = 1,
    SHOW_MODE_STRETCH = 2,
    // Nine-grid with one corner size.
    SHOW_MODE_FRAME = 3,
    // Nine-grid with four margins.
    SHOW_MODE_FRAME_MID = 4,
    // A custom source rectangle stretched over the control.
    SHOW_MODE_CUSTOM = 5,
};

class OVRIX_API MPicture : public MControlFont {
public:
    MPicture(MObject* parent, UINT id, CRect rect, BOOL visible, BOOL enabled);
    ~MPicture() override;

    void DrawControl(HDC& dc, CRect paintArea) override;
    // Loaded by the picture itself, not through the paint manager's cache. A failed load leaves no image.
    int SetImage(UINT resourceId, const wchar_t* resourceType, int count) override;
    int SetImage(const wchar_t* path, int count) override;

    // 0 and nothing changed when the mode (and, for the nine-grid, the corner) is already set.
    int SetShowMode(enumShowMode mode, int corner);
    int SetShowModeMID(int left, int top, int right, int bottom);
    void SetCustomRect(CRect rect) { m_rcCustom = rect; }
    enumShowMode GetShowMode() const { return m_showMode; }

protected:
    void TakeImage(Gdiplus::Image* image, int count);
    void DrawImage(Gdiplus::Graphics& graphics, int width, int height);

    enumShowMode m_showMode = SHOW_MODE_NORMAL;
    int m_nCorner = 4;
    int m_nMarginLeft = 0;
    int m_nMarginTop = 0;
    int m_nMarginRight = 0;
    int m_nMarginBottom = 0;
    CRect m_rcCustom;
};

} // namespace Ovrix
