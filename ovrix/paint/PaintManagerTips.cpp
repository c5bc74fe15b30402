// The system tooltip shared by every control of the window.
#include "Ovrix/PaintManager.h"

#include <commctrl.h>

namespace Ovrix {

namespace {

constexpr UINT_PTR kTooltipToolId = 1313;
constexpr int kTooltipMaxWidth = 256;
constexpr COLORREF kTooltipBackground = 0xFFFFFF;
constexpr UINT kChineseCodePage = 936;

TTTOOLINFOW ToolInfo(HWND window, const wchar_t* text) {
    TTTOOLINFOW tool{};
    // The v6 structure size is refused by older tooltip windows; the base one works everywhere.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window;
    tool.uId = kTooltipToolId;
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}

void UpdateTooltipText(HWND tooltip, HWND window, const wchar_t* text) {
    TTTOOLINFOW tool = ToolInfo(window, text);
    ::SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

} // namespace

void PaintManager::SetTooltip(std::wstring text, CRect) {
    if (text.empty()) {
        if (m_hTooltipWnd != nullptr) {
            UpdateTooltipText(m_hTooltipWnd, m_hWnd, L"");
            ::SendMessageW(m_hTooltipWnd, TTM_ACTIVATE, FALSE, 0);
        }
        return;
    }
    if (m_hTooltipWnd != nullptr) {
        UpdateTooltipText(m_hTooltipWnd, m_hWnd, text.c_str());
        ::SendMessageW(m_hTooltipWnd, TTM_ACTIVATE, TRUE, 0);
        return;
    }
    // The tooltip class exists only once the common controls are initialised in this process.
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&classes);
    m_hTooltipWnd = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, TOOLTIPS_CLASSW,
                                      WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, nullptr, nullptr);
    if (m_hTooltipWnd == nullptr) {
        return;
    }
    ::SendMessageW(m_hTooltipWnd, TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidth);
    ::SendMessageW(m_hTooltipWnd, TTM_SETTIPBKCOLOR, kTooltipBackground, 0);
    TTTOOLINFOW tool = ToolInfo(m_hWnd, L"");
    tool.uFlags = TTF_PARSELINKS;
    ::GetClientRect(m_hWnd, &tool.rect);
    ::SendMessageW(m_hTooltipWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    UpdateTooltipText(m_hTooltipWnd, m_hWnd, text.c_str());
    if (::GetACP() == kChineseCodePage) {
        RECT margin{2, 3, 0, 0};
        ::SendMessageW(m_hTooltipWnd, TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    }
    ::SendMessageW(m_hTooltipWnd, TTM_ACTIVATE, TRUE, 0);
}

void PaintManager::SetMessage(std::wstring text, CRect rect, MsgLevel level) {
    m_nMessageOpacity = 255;
    m_message = std::move(text);
    m_messageLevel = level;
    m_nShownProgress = 0;
    m_rcMessage = rect;
    InvalidateRect(rect, TRUE);
}

void PaintManager::SetProgress(int value, std::wstring text, CRect rect) {
    if (value == m_nTargetProgress) {
        return;
    }
    m_nMessageOpacity = 255;
    m_message = std::move(text);
    m_nTargetProgress = value;
    if (rect.IsRectEmpty()) {
        GetClientRect(rect);
        rect.top = rect.bottom - 60;
        rect.bottom -= 2;
    }
    m_rcMessage = rect;
    m_nShownProgress = value;
    InvalidateRect(rect, FALSE);
}

// The balloon window arrives with the balloon tips; until then no window has one and nothing is shown.
BOOL PaintManager::SetAirBladderMsg(const wchar_t*, POINT, AIRBLADDER_TYPE, AIRBLADDER_MODE) {
    return FALSE;
}

MWindow* PaintManager::GetAirBladderWindow() const {
    return nullptr;
}

void PaintManager::ClearTooltip() {
    if (m_hTooltipWnd == nullptr) {
        return;
    }
    UpdateTooltipText(m_hTooltipWnd, m_hWnd, L"");
    ::SendMessageW(m_hTooltipWnd, TTM_ACTIVATE, FALSE, 0);
    m_nTooltipCtrlID = 0;
}

} // namespace Ovrix
