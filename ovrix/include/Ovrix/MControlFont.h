// Base of every control that shows a title, an image strip or both: the text settings (title, font, colour,
// alignment, rendering hint), a cached GDI font and an image strip borrowed from the paint manager's image cache.
// Drawing is left to the derived controls. UI thread.
#pragma once

#include <memory>
#include <string>

#include "MControl.h"

namespace Ovrix {

class OVRIX_API MControlFont : public MControl {
public:
    MControlFont(MObject* parent, UINT id, CRect rect, const wchar_t* text, BOOL visible, BOOL enabled, BOOL response);
    ~MControlFont() override;

    // The per-control name; drawing follows the library's global font name.
    virtual void SetTextFont(const wchar_t* name);
    virtual void SetTextColor(Gdiplus::Color color);
    // From the application's module through the paint manager's cache; 1 on success.
    virtual int SetImage(UINT resourceId, const wchar_t* resourceType, int count);
    // Skin-relative file through the paint manager's cache, which keeps the cell width of the first request.
    virtual int SetImage(const wchar_t* path, int count);
    virtual void SetControlTitle(const wchar_t* text);
    virtual std::wstring GetControlTitle();

    void SetTitle(const wchar_t* text);
    std::wstring GetTitle();
    void SetAlignment(UINT horizontal);
    void SetVAlignment(UINT vertical);
    void SetAlignment(UINT horizontal, UINT vertical);
    void GetAlignment(UINT& horizontal, UINT& vertical) const;
    void SetFont(const wchar_t* name, int size, int style);
    void SetFontStyle(int style) { m_nFontStyle = style; }
    int GetFontStyle() const { return m_nFontStyle; }
    void SetFontWidth(int size) { m_nFontSize = size; }
    int GetFontWidth() const { return m_nFontSize; }
    std::wstring GetTextFont() const { return m_fontName; }
    void SetTextRenderingHint(Gdiplus::TextRenderingHint hint) { m_textRenderingHint = hint; }
    Gdiplus::TextRenderingHint GetTextRenderingHint() const { return m_textRenderingHint; }
    Gdiplus::Color GetTextColor() const { return m_textColor; }
    // The control keeps the family; callers use it during one paint and do not free it.
    Gdiplus::FontFamily* GetFontFamily(const wchar_t* name);
    HFONT GetGDIFont();
    void ClearGDIFont();
    std::wstring GetImagePath() const { return m_imagePath; }
    CSize GetImageSize() const { return CSize(m_nCellWidth, m_nImageHeight); }
    int GetImageCount() const { return m_nImageCount; }
    void SetImageCount(int count) { m_nImageCount = count; }

protected:
    // Asks the parent to repaint this control; nothing while the control is hidden.
    void RequestRepaint(BOOL rebuild);
    // The title font at the library's scale; null when no family is available.
    std::unique_ptr<Gdiplus::Font> CreateTitleFont();

    std::wstring m_title;
    std::wstring m_fontName;
    std::wstring m_imagePath;
    int m_nFontSize;
    Gdiplus::Color m_textColor{0xFFFFFFFF};
    std::unique_ptr<Gdiplus::SolidBrush> m_pTextBrush;
    int m_nFontStyle = 0;
    std::unique_ptr<Gdiplus::FontFamily> m_pFontFamily;
    UINT m_uAlignment = 0;
    UINT m_uVAlignment = 4;
    Gdiplus::TextRenderingHint m_textRenderingHint = Gdiplus::TextRenderingHintClearTypeGridFit;
    HFONT m_hGDIFont = nullptr;
    // Owned by the paint manager's image cache.
    Gdiplus::Image* m_pImage = nullptr;
    int m_nCellWidth = 0;
    int m_nImageHeight = 0;
    int m_nImageCount = 4;
};

} // namespace Ovrix
