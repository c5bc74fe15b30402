// The notification-area icon of the main window and its menu. UI thread only.
#pragma once

#include <cstddef>
#include <string>

#include <windows.h>

#include <shellapi.h>

#include "common/MainWindowMessages.h"

constexpr UINT kTrayIconId = 109;
constexpr wchar_t kTrayTip[] = L"Velbar-Digital";

// The skin folder of the program: its own folder, "skins\" and the UI library's theme.
std::wstring SkinFolder();

class TrayIcon {
public:
    TrayIcon();
    ~TrayIcon() { RemoveTrayIcon(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Loads "Dravik.ico" from the skin folder and adds the icon; a missing file adds it without a picture. Adding
    // before the task bar exists fails silently.
    bool AddTrayIcon(HWND window);
    // Removes the icon and frees its picture; does nothing when no icon is shown.
    void RemoveTrayIcon();
    bool IsShown() const { return m_shown; }
    HICON Icon() const { return m_data.hIcon; }
    // Changes the tip of a shown icon (the download progress uses it); an empty text restores the default.
    void SetTip(const std::wstring& tip);

private:
    NOTIFYICONDATAW m_data;
    bool m_shown = false;
};

// The three-item menu: "Version: <version>", "<count> Device", "Exit". The caller destroys it.
HMENU BuildTrayMenu(const std::wstring& version, std::size_t displayCount);
// Tracks the menu at the cursor, owned by the window; the choice arrives as a command message.
void ShowTrayMenu(HWND window, const std::wstring& version, std::size_t displayCount);

// Where the shown window goes: 346 x 219, two pixels in from the work area's bottom-right corner.
RECT NearTrayRect(const RECT& workArea);
