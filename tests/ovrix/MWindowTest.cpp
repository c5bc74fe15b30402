// Real windows under Wine: creation and binding, the guarded wrappers, the modal loop and centring.
#include <Ovrix/Ovrix.h>

#include <gtest/gtest.h>

#include "support/OvrixTestSupport.h"

namespace {

using Ovrix::CRect;
using Ovrix::MWindow;
using OvrixTest::PumpUntil;

class TestWindow : public MWindow {
public:
    const wchar_t* GetWindowClassName() const override { return L"OvrixTestWindow"; }
    BOOL OnInitDialog() override {
        ++m_initCalls;
        m_handleAtInit = m_hWnd;
        return TRUE;
    }
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_CREATE && m_failCreate) {
            return -1;
        }
        return MWindow::OnWindowMessage(message, wParam, lParam);
    }
    void OnDestroyMessage(HWND window) override { m_destroyed = window; }

    int m_initCalls = 0;
    HWND m_handleAtInit = nullptr;
    HWND m_destroyed = nullptr;
    bool m_failCreate = false;
};

HWND CreatePopup(MWindow& window, CRect rect = CRect(100, 100, 300, 250), HWND owner = nullptr) {
    return window.Create(owner, L"test", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, rect);
}

TEST(MWindowTest, SecondCreateReturnsTheSameHandleAndCreatesNothing) {
    TestWindow window;
    const HWND first = CreatePopup(window);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(CreatePopup(window), first);
    EXPECT_EQ(window.m_initCalls, 1);
    window.DestroyWindow();
}

TEST(MWindowTest, InitDialogRunsAfterCreationWithTheHandleSet) {
    TestWindow window;
    const HWND handle = CreatePopup(window);
    EXPECT_EQ(window.m_handleAtInit, handle);
    EXPECT_EQ(window.GetParentHwnd(), nullptr);
    window.DestroyWindow();
    EXPECT_EQ(window.GetSafeHwnd(), nullptr);
    EXPECT_EQ(window.m_destroyed, handle) << "OnDestroyMessage gets the handle after the last message";
}

TEST(MWindowTest, InitDialogRunsEvenWhenCreationFails) {
    TestWindow window;
    window.m_failCreate = true;
    EXPECT_EQ(CreatePopup(window), nullptr);
    EXPECT_EQ(window.m_initCalls, 1);
    EXPECT_EQ(window.m_handleAtInit, nullptr);
}

TEST(MWindowTest, ShortCreateFormsUseTheDefaultTitleAndRectangle) {
    TestWindow window;
    ASSERT_NE(window.Create(nullptr), nullptr);
    std::wstring title;
    window.GetWindowTextW(title);
    EXPECT_EQ(title, L"MWindow");
    RECT rect;
    ASSERT_TRUE(window.GetWindowRect(&rect));
    EXPECT_EQ(rect.right - rect.left, 800);
    EXPECT_EQ(rect.bottom - rect.top, 600);
    window.DestroyWindow();
}

// Every guarded wrapper on a window that never existed and on one that is gone.
void ExpectNeutralWrappers(TestWindow& window) {
    RECT rect{1, 2, 3, 4};
    POINT point{5, 6};
    std::wstring text = L"untouched";
    EXPECT_FALSE(window.ShowWindow(SW_SHOW));
    EXPECT_EQ(window.GetStyle(), 0u);
    EXPECT_EQ(window.GetExStyle(), 0u);
    EXPECT_FALSE(window.ModifyStyle(0, WS_VISIBLE, 0));
    EXPECT_FALSE(window.ModifyExStyle(0, WS_EX_TOPMOST, 0));
    EXPECT_EQ(window.SendMessageW(WM_NULL, 0, 0), 0);
    EXPECT_EQ(window.PostMessageW(WM_NULL, 0, 0), 0);
    EXPECT_FALSE(window.GetClientRect(&rect));
    EXPECT_FALSE(window.GetWindowRect(&rect));
    EXPECT_EQ(rect.left, 1);
    EXPECT_EQ(rect.bottom, 4);
    window.SetWindowTextW(L"x");
    window.GetWindowTextW(text);
    EXPECT_EQ(text, L"untouched");
    EXPECT_EQ(window.GetWindowTextLengthW(), -1);
    EXPECT_FALSE(window.EnableWindow(TRUE));
    EXPECT_FALSE(window.IsWindowEnabled());
    EXPECT_FALSE(window.IsWindowVisible());
    EXPECT_FALSE(window.IsIconic());
    window.InvalidateRect(CRect(0, 0, 1, 1), TRUE);
    EXPECT_EQ(window.SetCapture(), nullptr);
    EXPECT_EQ(window.SetFocus(), nullptr);
    EXPECT_FALSE(window.ReleaseCapture());
    EXPECT_EQ(window.SetTimer(1, 10, nullptr), 0u);
    EXPECT_FALSE(window.KillTimer(1));
    EXPECT_FALSE(window.ClientToScreen(&point));
    EXPECT_FALSE(window.ScreenToClient(&point));
    EXPECT_FALSE(window.ClientToScreen(&rect));
    EXPECT_FALSE(window.ScreenToClient(&rect));
    EXPECT_EQ(point.x, 5);
    EXPECT_FALSE(window.SetWindowPos(nullptr, 0, 0, 10, 10, 0));
    EXPECT_FALSE(window.MoveWindow(0, 0, 10, 10, TRUE));
    EXPECT_FALSE(window.MoveWindow(&rect, TRUE));
    EXPECT_FALSE(window.DestroyWindow());
    EXPECT_EQ(window.ShowModal(SW_SHOW), 0xFFFFFFFFu);
}

TEST(MWindowTest, WrappersOnANeverCreatedWindowReturnNeutralValues) {
    TestWindow window;
    ExpectNeutralWrappers(window);
}

TEST(MWindowTest, WrappersOnADestroyedWindowReturnNeutralValues) {
    TestWindow window;
    ASSERT_NE(CreatePopup(window), nullptr);
    ASSERT_TRUE(window.DestroyWindow());
    ExpectNeutralWrappers(window);
}

TEST(MWindowTest, WrappersForwardToALiveWindow) {
    TestWindow window;
    ASSERT_NE(CreatePopup(window), nullptr);
    window.SetWindowTextW(L"Hello");
    EXPECT_EQ(window.GetWindowTextLengthW(), 5);
    std::wstring text;
    window.GetWindowTextW(text);
    EXPECT_EQ(text, L"Hello");
    EXPECT_TRUE(window.IsWindowEnabled());
    EXPECT_NE(window.SetTimer(7, 10, nullptr), 0u);
    EXPECT_TRUE(window.KillTimer(7));
    RECT rect{10, 20, 30, 40};
    ASSERT_TRUE(window.ClientToScreen(&rect));
    ASSERT_TRUE(window.ScreenToClient(&rect));
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.bottom, 40);
    window.DestroyWindow();
}

TEST(MWindowTest, ModifyStyleReportsOnlyARealChange) {
    TestWindow window;
    ASSERT_NE(CreatePopup(window), nullptr);
    EXPECT_FALSE(window.ModifyStyle(0, WS_CAPTION, SWP_FRAMECHANGED)) << "bits already set";
    EXPECT_TRUE(window.ModifyStyle(WS_SYSMENU, 0, SWP_FRAMECHANGED));
    EXPECT_EQ(window.GetStyle() & WS_SYSMENU, 0u);
    EXPECT_TRUE(window.ModifyExStyle(0, WS_EX_TOOLWINDOW, 0));
    EXPECT_NE(window.GetExStyle() & WS_EX_TOOLWINDOW, 0u);
    EXPECT_FALSE(window.ModifyExStyle(0, WS_EX_TOOLWINDOW, 0));
    window.DestroyWindow();
}

// Superclassing binds through the "Control" property and keeps the system class's behaviour.
class SuperEdit : public MWindow {
public:
    const wchar_t* GetWindowClassName() const override { return L"OvrixTestEdit"; }
    const wchar_t* GetSuperClassName() const override { return L"Edit"; }
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_SETTEXT) {
            ++m_setTextSeen;
        }
        return MWindow::OnWindowMessage(message, wParam, lParam);
    }
    int m_setTextSeen = 0;
};

TEST(MWindowTest, SuperclassRoutesThroughTheObjectToTheSystemClass) {
    SuperEdit edit;
    const HWND handle = edit.Create(nullptr, L"start", WS_POPUP, 0, CRect(0, 0, 120, 30));
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(::GetPropW(handle, L"Control"), static_cast<MWindow*>(&edit));
    edit.SetWindowTextW(L"typed");
    EXPECT_EQ(edit.m_setTextSeen, 1);
    EXPECT_EQ(edit.SendMessageW(WM_GETTEXTLENGTH, 0, 0), 5) << "the edit's own procedure answered";
    edit.DestroyWindow();
    EXPECT_EQ(edit.GetSafeHwnd(), nullptr);
}

TEST(MWindowTest, UnknownSuperclassFailsCreationWithoutInitDialog) {
    class Missing : public TestWindow {
        const wchar_t* GetSuperClassName() const override { return L"NoSuchSystemClass"; }
    } window;
    EXPECT_EQ(CreatePopup(window), nullptr);
    EXPECT_EQ(window.m_initCalls, 0);
}

// ShowModal against a disabled-and-re-enabled owner.
class ModalTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(CreatePopup(m_owner, CRect(0, 0, 400, 300)), nullptr); }
    void TearDown() override {
        m_dialog.DestroyWindow();
        m_owner.DestroyWindow();
    }
    HWND CreateDialogWindow() { return CreatePopup(m_dialog, CRect(50, 50, 250, 200), m_owner.GetSafeHwnd()); }

    TestWindow m_owner;
    TestWindow m_dialog;
};

// Runs while the modal loop spins: checks the owner is disabled, then does the given action once.
struct DuringModal {
    HWND owner;
    std::function<void()> action;
    bool ownerWasDisabled = false;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        DuringModal* self = s_current;
        self->ownerWasDisabled = !::IsWindowEnabled(self->owner);
        self->action();
    }
    static DuringModal* s_current;
    void Arm() {
        s_current = this;
        ::SetTimer(nullptr, 0, 30, Tick);
    }
};
DuringModal* DuringModal::s_current = nullptr;

TEST_F(ModalTest, PostedCloseGivesItsCodeAndReEnablesTheOwner) {
    const HWND dialog = CreateDialogWindow();
    DuringModal during{m_owner.GetSafeHwnd(), [dialog] { ::PostMessageW(dialog, WM_CLOSE, 42, 0); }};
    during.Arm();
    EXPECT_EQ(m_dialog.ShowModal(SW_SHOW), 42u);
    EXPECT_TRUE(during.ownerWasDisabled);
    EXPECT_TRUE(m_owner.IsWindowEnabled());
    EXPECT_FALSE(::IsWindow(dialog));
}

TEST_F(ModalTest, SystemCloseGivesZero) {
    const HWND dialog = CreateDialogWindow();
    DuringModal during{m_owner.GetSafeHwnd(), [dialog] { ::SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }};
    during.Arm();
    EXPECT_EQ(m_dialog.ShowModal(SW_SHOW), 0u);
    EXPECT_TRUE(m_owner.IsWindowEnabled());
}

TEST_F(ModalTest, QuitEndsTheLoopAndIsPostedAgainWithItsCode) {
    CreateDialogWindow();
    DuringModal during{m_owner.GetSafeHwnd(), [] { ::PostQuitMessage(9); }};
    during.Arm();
    EXPECT_EQ(m_dialog.ShowModal(SW_SHOW), 0u);
    EXPECT_TRUE(m_owner.IsWindowEnabled());
    EXPECT_TRUE(::IsWindow(m_dialog.GetSafeHwnd())) << "a quit does not close the window";
    MSG message;
    ASSERT_TRUE(::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 9u);
}

TEST_F(ModalTest, PreTranslateMessageCanConsumeMessages) {
    class Swallowing : public TestWindow {
    public:
        BOOL PreTranslateMessage(MSG* message) override {
            if (message->message == WM_APP + 5) {
                ++m_swallowed;
                return TRUE;
            }
            return FALSE;
        }
        LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
            if (message == WM_APP + 5) {
                ++m_dispatched;
            }
            return TestWindow::OnWindowMessage(message, wParam, lParam);
        }
        int m_swallowed = 0;
        int m_dispatched = 0;
    } window;
    const HWND handle = CreatePopup(window);
    ::PostMessageW(handle, WM_APP + 5, 0, 0);
    ::PostMessageW(handle, WM_CLOSE, 3, 0);
    EXPECT_EQ(window.ShowModal(SW_SHOWNA), 3u);
    EXPECT_EQ(window.m_swallowed, 1);
    EXPECT_EQ(window.m_dispatched, 0);
}

RECT WorkAreaOf(HWND window) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

TEST(MWindowCentreTest, LargerThanTheWorkAreaPinsToItsTopLeft) {
    TestWindow window;
    ASSERT_NE(CreatePopup(window, CRect(0, 0, 100, 100)), nullptr);
    const RECT work = WorkAreaOf(window.GetSafeHwnd());
    const int width = work.right - work.left + 300;
    const int height = work.bottom - work.top + 200;
    ASSERT_TRUE(window.MoveWindow(40, 40, width, height, FALSE));
    window.CenterWindow(nullptr);
    RECT rect;
    ASSERT_TRUE(window.GetWindowRect(&rect));
    EXPECT_EQ(rect.left, work.left);
    EXPECT_EQ(rect.top, work.top);
    EXPECT_EQ(rect.right - rect.left, width) << "centring never resizes";
    window.DestroyWindow();
}

TEST(MWindowCentreTest, UnownedWindowCentresInTheWorkArea) {
    TestWindow window;
    ASSERT_NE(CreatePopup(window, CRect(0, 0, 201, 101)), nullptr);
    window.CenterWindow(nullptr);
    const RECT work = WorkAreaOf(window.GetSafeHwnd());
    RECT rect;
    ASSERT_TRUE(window.GetWindowRect(&rect));
    EXPECT_EQ(rect.left, (work.left + work.right) / 2 - 201 / 2);
    EXPECT_EQ(rect.top, (work.top + work.bottom) / 2 - 101 / 2);
    window.DestroyWindow();
}

TEST(MWindowCentreTest, CentresOnAVisibleOwnerAndClampsAtTheWorkAreaEdge) {
    TestWindow owner;
    TestWindow popup;
    ASSERT_NE(CreatePopup(owner, CRect(200, 150, 600, 450)), nullptr);
    owner.ShowWindow(SW_SHOWNA);
    ASSERT_NE(CreatePopup(popup, CRect(0, 0, 100, 60), owner.GetSafeHwnd()), nullptr);
    popup.CenterWindow(nullptr);
    RECT rect;
    ASSERT_TRUE(popup.GetWindowRect(&rect));
    EXPECT_EQ(rect.left, 400 - 50);
    EXPECT_EQ(rect.top, 300 - 30);

    // Owner hanging over the left and top edges: the popup is pulled back inside.
    const RECT work = WorkAreaOf(owner.GetSafeHwnd());
    ASSERT_TRUE(owner.MoveWindow(work.left - 390, work.top - 290, 400, 300, FALSE));
    popup.CenterWindow(nullptr);
    ASSERT_TRUE(popup.GetWindowRect(&rect));
    EXPECT_EQ(rect.left, work.left);
    EXPECT_EQ(rect.top, work.top);
    popup.DestroyWindow();
    owner.DestroyWindow();
}

TEST(MWindowCentreTest, HiddenOwnerIsIgnoredInFavourOfTheWorkArea) {
    TestWindow owner;
    TestWindow popup;
    ASSERT_NE(CreatePopup(owner, CRect(0, 0, 200, 100)), nullptr);
    ASSERT_NE(CreatePopup(popup, CRect(0, 0, 100, 60), owner.GetSafeHwnd()), nullptr);
    popup.CenterWindow(nullptr);
    const RECT work = WorkAreaOf(popup.GetSafeHwnd());
    RECT rect;
    ASSERT_TRUE(popup.GetWindowRect(&rect));
    EXPECT_EQ(rect.left, (work.left + work.right) / 2 - 50);
    EXPECT_EQ(rect.top, (work.top + work.bottom) / 2 - 30);
    popup.DestroyWindow();
    owner.DestroyWindow();
}

TEST(MWindowCentreTest, ChildCentresInItsParentsClientArea) {
    TestWindow parent;
    ASSERT_NE(parent.Create(nullptr, L"parent", WS_POPUP, 0, CRect(0, 0, 300, 200)), nullptr);
    TestWindow child;
    ASSERT_NE(child.Create(parent.GetSafeHwnd(), L"child", WS_CHILD, 0, CRect(0, 0, 100, 50)), nullptr);
    child.CenterWindow(nullptr);
    RECT rect;
    ASSERT_TRUE(child.GetWindowRect(&rect));
    parent.ScreenToClient(&rect);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.top, 75);
    parent.DestroyWindow();
    EXPECT_EQ(child.GetSafeHwnd(), nullptr) << "the parent's destruction ends the child";
}

TEST(MWindowTest, BringToTopShowsTheWindow) {
    TestWindow window;
    ASSERT_NE(CreatePopup(window), nullptr);
    window.BringToTop();
    EXPECT_TRUE(PumpUntil([&] { return window.IsWindowVisible() == TRUE; }));
    window.ShowWindow(SW_MINIMIZE);
    window.BringToTop();
    EXPECT_TRUE(PumpUntil([&] { return !window.IsIconic(); })) << "a minimised window is restored";
    window.DestroyWindow();
}

} // namespace
