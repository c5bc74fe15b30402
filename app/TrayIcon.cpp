#include "TrayIcon.h"

#include <cwchar>

#include <Ovrix/Manager.h>
#include <Ovrix/MRender.h>

#include "sensors/SensorServerLauncher.h"

std::wstring SkinFolder() {
    return ModuleDirectory() + L"skins\\" + Ovrix::Manager::GetTheme();
}

TrayIcon::TrayIcon() : m_data{} {
    m_data.cbSize = sizeof m_data;
    m_data.uID = kTrayIconId;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = WM_TRAY_NOTIFY;
    std::wcsncpy(m_data.szTip, kTrayTip, std::size(m_data.szTip) - 1);
}

bool TrayIcon::AddTrayIcon(HWND window) {
    m_data.hWnd = window;
    HICON icon = nullptr;
    const std::wstring path = SkinFolder() + L"Dravik.ico";
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        icon = Ovrix::MRender::LoadIconFromFile(path);
    if (m_data.hIcon != nullptr)
        DestroyIcon(m_data.hIcon);
    m_data.hIcon = icon;
    // Shown even when adding failed (no task bar yet), so that a later removal still takes it away.
    m_shown = true;
    return Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
}

void TrayIcon::RemoveTrayIcon() {
    if (!m_shown)
        return;
    m_shown = false;
    Shell_NotifyIconW(NIM_DELETE, &m_data);
    if (m_data.hIcon != nullptr)
        DestroyIcon(m_data.hIcon);
    m_data.hIcon = nullptr;
}

void TrayIcon::SetTip(const std::wstring& tip) {
    const std::wstring& text = tip.empty() ? std::wstring(kTrayTip) : tip;
    std::wcsncpy(m_data.szTip, text.c_str(), std::size(m_data.szTip) - 1);
    m_data.szTip[std::size(m_data.szTip) - 1] = L'\0';
    if (IsShown()) {
        NOTIFYICONDATAW change = m_data;
        change.uFlags = NIF_TIP;
        Shell_NotifyIconW(NIM_MODIFY, &change);
    }
}

HMENU BuildTrayMenu(const std::wstring& version, std::size_t displayCount) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr)
        return nullptr;
    const std::wstring versionText = L"Version: " + version;
    wchar_t countText[32];
    std::swprintf(countText, std::size(countText), L"%zu Device", displayCount);
    AppendMenuW(menu, MF_STRING, ID_VERSION, versionText.c_str());
    AppendMenuW(menu, MF_STRING, ID_DEVICE_COUNT, countText);
    AppendMenuW(menu, MF_STRING, ID_EXIT, L"Exit");
    return menu;
}

void ShowTrayMenu(HWND window, const std::wstring& version, std::size_t displayCount) {
    HMENU menu = BuildTrayMenu(version, displayCount);
    if (menu == nullptr)
        return;
    POINT cursor{};
    GetCursorPos(&cursor);
    // Without the foreground window and the null message after it, the menu would stay open when the user clicks
    // elsewhere.
    SetForegroundWindow(window);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

RECT NearTrayRect(const RECT& workArea) {
    return RECT{workArea.right - 348, workArea.bottom - 221, workArea.right - 2, workArea.bottom - 2};
}
