#include "Ovrix/MControlFont.h"

#include <cwchar>

#include "Ovrix/ImgResInfo.h"
#include "Ovrix/Manager.h"
#include "Ovrix/PaintManager.h"

namespace Ovrix {

namespace {

constexpr int kStyleBold = 1;
constexpr int kStyleItalic = 2;
constexpr int kStyleUnderline = 4;
constexpr LONG kBoldExtraWeight = 700;

} // namespace

MControlFont::MControlFont(MObject* parent, UINT id, CRect rect, const wchar_t* text, BOOL visible, BOOL enabled,
                           BOOL response)
    : MControl(parent, id, rect, visible, enabled, response), m_title(text != nullptr ? text : L""),
      m_fontName(Manager::GetFontName()), m_nFontSize(Manager::GetFontWidth()),
      m_pTextBrush(std::make_unique<Gdiplus::SolidBrush>(m_textColor)) {}

MControlFont::~MControlFont() {
    ClearGDIFont();
}

void MControlFont::SetTextFont(const wchar_t* name) {
    m_fontName = name != nullptr ? name : L"";
}

void MControlFont::SetTextColor(Gdiplus::Color color) {
    m_textColor = color;
    m_pTextBrush = std::make_unique<Gdiplus::SolidBrush>(color);
    if (m_pTextBrush->GetLastStatus() != Gdiplus::Ok) {
        m_pTextBrush.reset();
    }
}

int MControlFont::SetImage(UINT resourceId, const wchar_t* resourceType, int count) {
    if (m_pManager == nullptr) {
        return 0;
    }
    const ImgResInfo* info = m_pManager->AddImgResInfo(resourceId, resourceType, count, TRUE);
    if (info == nullptr || info->m_pImage == nullptr) {
        return 0;
    }
    m_pImage = info->m_pImage;
    m_nCellWidth = info->m_nWidth;
    m_nImageHeight = info->m_nHeight;
    m_nImageCount = count;
    RequestRepaint(TRUE);
    return 1;
}

int MControlFont::SetImage(const wchar_t* path, int count) {
    if (m_pManager == nullptr) {
        return 0;
    }
    const ImgResInfo* info = m_pManager->AddImgResInfo(path, count);
    if (info == nullptr || info->m_pImage == nullptr) {
        return 0;
    }
    m_pImage = info->m_pImage;
    m_nCellWidth = info->m_nWidth;
    m_nImageHeight = info->m_nHeight;
    m_nImageCount = count;
    RequestRepaint(TRUE);
    return 1;
}

void MControlFont::SetControlTitle(const wchar_t* text) {
    m_title = text != nullptr ? text : L"";
}

std::wstring MControlFont::GetControlTitle() {
    return m_title;
}

void MControlFont::SetTitle(const wchar_t* text) {
    ClearGDIFont();
    SetControlTitle(text);
    RequestRepaint(TRUE);
}

std::wstring MControlFont::GetTitle() {
    return GetControlTitle();
}

void MControlFont::SetAlignment(UINT horizontal) {
    if (horizontal == m_uAlignment) {
        return;
    }
    m_uAlignment = horizontal;
    RequestRepaint(TRUE);
}

void MControlFont::SetVAlignment(UINT vertical) {
    if (vertical == m_uVAlignment) {
        return;
    }
    m_uVAlignment = vertical;
    RequestRepaint(TRUE);
}

void MControlFont::SetAlignment(UINT horizontal, UINT vertical) {
    if (horizontal == m_uAlignment && vertical == m_uVAlignment) {
        return;
    }
    m_uAlignment = horizontal;
    m_uVAlignment = vertical;
    RequestRepaint(TRUE);
}

void MControlFont::GetAlignment(UINT& horizontal, UINT& vertical) const {
    horizontal = m_uAlignment;
    vertical = m_uVAlignment;
}

void MControlFont::SetFont(const wchar_t* name, int size, int style) {
    m_fontName = name != nullptr ? name : L"";
    m_nFontSize = size;
    m_nFontStyle = style;
}

Gdiplus::FontFamily* MControlFont::GetFontFamily(const wchar_t* name) {
    if (m_pManager == nullptr) {
        return nullptr;
    }
    m_pFontFamily.reset();
    const Gdiplus::FontFamily* found = m_pManager->FindTempFont(name);
    if (found == nullptr) {
        return nullptr;
    }
    m_pFontFamily.reset(found->Clone());
    if (m_pFontFamily != nullptr && m_pFontFamily->GetLastStatus() != Gdiplus::Ok) {
        m_pFontFamily.reset();
    }
    return m_pFontFamily.get();
}

HFONT MControlFont::GetGDIFont() {
    if (m_hGDIFont != nullptr) {
        return m_hGDIFont;
    }
    LOGFONTW description{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
    const std::wstring face = Manager::GetFontName();
    std::wcsncpy(description.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    description.lfFaceName[LF_FACESIZE - 1] = L'\0';
    description.lfHeight = -m_nFontSize;
    description.lfCharSet = DEFAULT_CHARSET;
    if ((m_nFontStyle & kStyleBold) != 0) {
        description.lfWeight += kBoldExtraWeight;
    }
    if ((m_nFontStyle & kStyleItalic) != 0) {
        description.lfItalic = TRUE;
    }
    if ((m_nFontStyle & kStyleUnderline) != 0) {
        description.lfUnderline = TRUE;
    }
    m_hGDIFont = ::CreateFontIndirectW(&description);
    return m_hGDIFont;
}

void MControlFont::ClearGDIFont() {
    if (m_hGDIFont != nullptr) {
        ::DeleteObject(m_hGDIFont);
        m_hGDIFont = nullptr;
    }
}

void MControlFont::RequestRepaint(BOOL rebuild) {
    if (m_bVisible && m_pParent != nullptr) {
        m_pParent->OnControlUpdate(m_rect, rebuild, this);
    }
}

std::unique_ptr<Gdiplus::Font> MControlFont::CreateTitleFont() {
    Gdiplus::FontFamily* family = GetFontFamily(m_fontName.c_str());
    if (family == nullptr) {
        return nullptr;
    }
    const auto size = static_cast<int>(static_cast<float>(m_nFontSize) * Manager::GetScaleValue());
    auto font =
        std::make_unique<Gdiplus::Font>(family, static_cast<Gdiplus::REAL>(size), m_nFontStyle, Gdiplus::UnitPixel);
    if (font->GetLastStatus() != Gdiplus::Ok) {
        return nullptr;
    }
    return font;
}

} // namespace Ovrix
