// The tray icon against Wine's real notification area (it needs an X display), and the menu and placement rules.
#include "app/TrayIcon.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "sensors/SensorServerLauncher.h"

namespace {

class PlainWindow {
public:
    PlainWindow() {
        m_window = CreateWindowExW(0, L"STATIC", L"tray owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    }
    ~PlainWindow() { DestroyWindow(m_window); }
    HWND Get() const { return m_window; }

private:
    HWND m_window;
};

std::wstring MenuText(HMENU menu, int position) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
    return text;
}

TEST(TrayIcon, AddsTheSkinIconAndRemovesItOnce) {
    ASSERT_TRUE(std::filesystem::exists(SkinFolder() + L"Dravik.ico")) << "the build copies the skin beside the tests";
    PlainWindow window;
    TrayIcon tray;
    EXPECT_FALSE(tray.IsShown());
    EXPECT_TRUE(tray.AddTrayIcon(window.Get()));
    EXPECT_TRUE(tray.IsShown());
    EXPECT_NE(tray.Icon(), nullptr);

    tray.SetTip(L"Velbar-Digital: downloading update 45%");
    tray.SetTip(L"");

    tray.RemoveTrayIcon();
    EXPECT_FALSE(tray.IsShown());
    EXPECT_EQ(tray.Icon(), nullptr);
    tray.RemoveTrayIcon(); // a second removal does nothing
    EXPECT_FALSE(tray.IsShown());
}

TEST(TrayIcon, RefreshReplacesTheIcon) {
    PlainWindow window;
    TrayIcon tray;
    ASSERT_TRUE(tray.AddTrayIcon(window.Get()));
    tray.RemoveTrayIcon();
    EXPECT_TRUE(tray.AddTrayIcon(window.Get()));
    EXPECT_TRUE(tray.IsShown());
}

TEST(TrayIcon, SkinFolderIsTheProgramFolderAndTheme) {
    EXPECT_EQ(SkinFolder(), ModuleDirectory() + L"skins\\theme1\\");
}

TEST(TrayMenu, ListsVersionDisplayCountAndExit) {
    struct {
        std::size_t count;
        const wchar_t* text;
    } cases[] = {{0, L"0 Device"}, {1, L"1 Device"}, {2, L"2 Device"}};
    for (const auto& c : cases) {
        HMENU menu = BuildTrayMenu(L"1.0.0.2", c.count);
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(GetMenuItemCount(menu), 3);
        EXPECT_EQ(MenuText(menu, 0), L"Version: 1.0.0.2");
        EXPECT_EQ(MenuText(menu, 1), c.text);
        EXPECT_EQ(MenuText(menu, 2), L"Exit");
        EXPECT_EQ(GetMenuItemID(menu, 0), ID_VERSION);
        EXPECT_EQ(GetMenuItemID(menu, 1), ID_DEVICE_COUNT);
        EXPECT_EQ(GetMenuItemID(menu, 2), ID_EXIT);
        DestroyMenu(menu);
    }
}

TEST(TrayPlacement, HugsTheWorkAreaBottomRightWhereverTheTaskBarIs) {
    struct {
        RECT workArea;
        RECT expected;
    } cases[] = {
        {{0, 0, 1920, 1040}, {1572, 819, 1918, 1038}},  // task bar at the bottom
        {{0, 40, 1920, 1080}, {1572, 859, 1918, 1078}}, // at the top
        {{60, 0, 1366, 768}, {1018, 547, 1364, 766}},   // at the left
    };
    for (const auto& c : cases) {
        const RECT r = NearTrayRect(c.workArea);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
        EXPECT_EQ(r.right - r.left, 346);
        EXPECT_EQ(r.bottom - r.top, 219);
    }
}

} // namespace
