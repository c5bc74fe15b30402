// Input routing of a live window: synthesised mouse and keyboard messages reach the right control in its
// coordinates, capture follows a press, Tab moves the focus in list order, the body drags the window and pictures
// dropped on the window are handed to it.
#include <Ovrix/Ovrix.h>

#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

#include "support/OvrixTestSupport.h"

namespace {

using Ovrix::CPoint;
using Ovrix::CRect;
using Ovrix::PaintManager;
using OvrixTest::ManagedWindow;
using OvrixTest::ProbeControl;
using OvrixTest::PumpUntil;
using Names = std::vector<std::string>;

const CRect kScreenRect(100, 120, 444, 336);

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

class InputTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_window.Open(kScreenRect), nullptr);
        // Leave and hover tracking look at the real pointer: keep it over the window.
        ::SetCursorPos(kScreenRect.left + 200, kScreenRect.top + 200);
        OvrixTest::PumpPending();
        m_a = AddProbe(1, CRect(0, 0, 100, 100));
        m_b = AddProbe(2, CRect(50, 50, 150, 150));
    }
    void TearDown() override {
        BYTE keys[256] = {};
        ::SetKeyboardState(keys);
    }
    PaintManager& Manager() { return m_window.m_manager; }
    ProbeControl* AddProbe(UINT id, CRect rect) {
        auto* probe = new ProbeControl(&m_window, id, rect);
        probe->SetManager(&Manager());
        Manager().GetControls().push_back(probe);
        return probe;
    }
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
        return ::SendMessageW(m_window.GetSafeHwnd(), message, wParam, lParam);
    }
    BOOL Tab(bool shift = false, bool control = false) {
        BYTE keys[256] = {};
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        keys[VK_CONTROL] = control ? 0x80 : 0;
        ::SetKeyboardState(keys);
        MSG message{m_window.GetSafeHwnd(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
        return m_window.PreTranslateMessage(&message);
    }
    ManagedWindow m_window;
    ProbeControl* m_a = nullptr;
    ProbeControl* m_b = nullptr;
};

TEST_F(InputTest, EveryControlSeesTheMoveAndTheLastOneUnderThePointerHovers) {
    EXPECT_EQ(Send(WM_MOUSEMOVE, 0, At(75, 80)), 1);
    EXPECT_EQ(Manager().GetHoverControl(), m_b);
    EXPECT_EQ(m_a->Names(), (Names{"move"}));
    EXPECT_EQ(m_b->Names(), (Names{"move"}));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(76, 81));
    EXPECT_EQ(m_b->Names(), (Names{"move", "down"}));
    EXPECT_EQ(m_b->m_events[1].point, CPoint(76, 81)) << "client coordinates, as the control's rect is";
    EXPECT_EQ(m_a->Names(), (Names{"move"}));
}

TEST_F(InputTest, UnresponsiveControlNeverHovers) {
    m_b->SetRresponse(FALSE);
    Send(WM_MOUSEMOVE, 0, At(75, 80));
    EXPECT_EQ(Manager().GetHoverControl(), m_a);
}

TEST_F(InputTest, CaptureFollowsThePressAndTheReleaseEndsIt) {
    Send(WM_MOUSEMOVE, 0, At(120, 120));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(120, 120));
    EXPECT_TRUE(Manager().IsCaptured());
    EXPECT_EQ(::GetCapture(), m_window.GetSafeHwnd());
    EXPECT_EQ(Manager().GetFocusControl(), m_b);

    m_a->Clear();
    m_b->Clear();
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(20, 20)); // over A, button held
    EXPECT_TRUE(m_a->m_events.empty()) << "a held press keeps other controls out";
    EXPECT_TRUE(m_b->m_events.empty());
    Send(WM_LBUTTONUP, 0, At(20, 20));
    EXPECT_EQ(m_b->Names(), (Names{"up"}));
    EXPECT_EQ(m_b->m_events[0].point, CPoint(20, 20));
    EXPECT_FALSE(Manager().IsCaptured());
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(Manager().GetHoverControl(), nullptr) << "released outside the control";
    EXPECT_TRUE(m_a->m_events.empty());
}

TEST_F(InputTest, RightPressGoesToTheHoverControlWithoutDragging) {
    Send(WM_MOUSEMOVE, 0, At(10, 10));
    Send(WM_RBUTTONDOWN, MK_RBUTTON, At(10, 10));
    EXPECT_EQ(m_a->Names(), (Names{"move", "rdown"}));
    EXPECT_TRUE(Manager().IsCaptured());
    Send(WM_RBUTTONUP, 0, At(10, 10));
    EXPECT_FALSE(Manager().IsCaptured());
    EXPECT_EQ(Manager().GetHoverControl(), m_a);
}

TEST_F(InputTest, LeavingTheWindowDropsTheHoverLook) {
    Send(WM_MOUSEMOVE, 0, At(10, 10));
    Send(WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Manager().GetHoverControl(), nullptr);
    ASSERT_EQ(m_a->Names(), (Names{"move", "move"}));
    EXPECT_EQ(m_a->m_events[1].point, CPoint(-1, -1));
}

TEST_F(InputTest, DeactivationEndsAPress) {
    Send(WM_MOUSEMOVE, 0, At(10, 10));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    Manager().OnNcActivate(FALSE);
    EXPECT_EQ(m_a->Names(), (Names{"move", "down", "up"}));
    EXPECT_EQ(m_a->m_events[2].point, CPoint(-1, -1));
    EXPECT_FALSE(Manager().IsCaptured());
    EXPECT_EQ(Manager().GetHoverControl(), nullptr);
    ::ReleaseCapture();
}

TEST_F(InputTest, WheelNotchesGoToTheHoverControl) {
    Send(WM_MOUSEMOVE, 0, At(120, 120));
    m_b->Clear();
    const LPARAM screen = At(kScreenRect.left + 120, kScreenRect.top + 120);
    EXPECT_EQ(Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), screen), 1);
    EXPECT_EQ(m_b->Names(), (Names{"wheel-toward", "wheel-toward"}));
    EXPECT_EQ(m_b->m_events[0].point, CPoint(120, 120)) << "converted to client coordinates";
    m_b->Clear();
    EXPECT_EQ(Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), screen), 1);
    EXPECT_EQ(m_b->Names(), (Names{"wheel-away"}));
    m_b->Clear();
    EXPECT_EQ(Send(WM_MOUSEWHEEL, MAKEWPARAM(0, 60), screen), 0) << "less than a notch";
    EXPECT_TRUE(m_b->m_events.empty());
}

TEST_F(InputTest, KeysGoToTheHoverControlFirstThenInListOrder) {
    Send(WM_MOUSEMOVE, 0, At(120, 120));
    EXPECT_EQ(Send(WM_KEYDOWN, 'K', 0), 1);
    EXPECT_EQ(m_b->Names(), (Names{"move", "key"}));
    EXPECT_EQ(m_a->Names(), (Names{"move"})) << "saw the move, not the key";

    Send(WM_MOUSELEAVE, 0, 0);
    m_a->Clear();
    m_b->Clear();
    BYTE keys[256] = {};
    keys[VK_CONTROL] = 0x80;
    ::SetKeyboardState(keys);
    Send(WM_KEYDOWN, 'L', 0);
    ASSERT_EQ(m_a->Names(), (Names{"key"})) << "without a hover control the first taker in list order";
    EXPECT_EQ(m_a->m_events[0].point, CPoint('L', 0x11)) << "Ctrl's modifier value";
    EXPECT_TRUE(m_b->m_events.empty());

    EXPECT_EQ(Send(WM_KEYUP, 'L', 0), 0);
    EXPECT_EQ(m_a->Names(), (Names{"key"})) << "keys going up are not routed";
}

TEST_F(InputTest, TabCyclesTheFocusInListOrder) {
    ProbeControl* skipped = AddProbe(3, CRect());
    ProbeControl* hidden = AddProbe(4, CRect());
    ProbeControl* c = AddProbe(5, CRect());
    for (ProbeControl* probe : {m_a, m_b, hidden, c}) {
        probe->SetTabStopFlag(TRUE);
    }
    hidden->SetVisible(FALSE);
    (void)skipped;

    EXPECT_TRUE(Tab());
    EXPECT_EQ(Manager().GetFocusControl(), m_a);
    EXPECT_TRUE(m_a->IsFocused());
    EXPECT_TRUE(Tab());
    EXPECT_EQ(Manager().GetFocusControl(), m_b);
    EXPECT_FALSE(m_a->IsFocused());
    EXPECT_TRUE(Tab());
    EXPECT_EQ(Manager().GetFocusControl(), c) << "no tab stop and hidden controls are passed over";
    EXPECT_TRUE(Tab());
    EXPECT_EQ(Manager().GetFocusControl(), m_a) << "wraps to the first";
    EXPECT_TRUE(Tab(true));
    EXPECT_EQ(Manager().GetFocusControl(), c) << "Shift+Tab goes back";
    EXPECT_FALSE(Tab(false, true)) << "Ctrl+Tab is not consumed";
    EXPECT_EQ(Manager().GetFocusControl(), c);
}

TEST_F(InputTest, ShiftTabWithoutFocusTakesTheLastCandidate) {
    m_a->SetTabStopFlag(TRUE);
    m_b->SetTabStopFlag(TRUE);
    EXPECT_TRUE(Tab(true));
    EXPECT_EQ(Manager().GetFocusControl(), m_b);
}

TEST_F(InputTest, ControlMessagesReflectToTheChildWindow) {
    class Child : public Ovrix::MWindow {
    public:
        const wchar_t* GetWindowClassName() const override { return L"OvrixReflectTarget"; }
        LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
            return message == WM_COMMAND + 0x2000 ? 0x5A : MWindow::OnWindowMessage(message, wParam, lParam);
        }
    } child;
    ASSERT_NE(child.Create(m_window.GetSafeHwnd(), L"", WS_CHILD, 0, CRect(0, 0, 5, 5)), nullptr);
    EXPECT_EQ(Send(WM_COMMAND, 1, reinterpret_cast<LPARAM>(child.GetSafeHwnd())), 0x5A);
    EXPECT_EQ(Send(WM_COMMAND, 1, 0), 0);
    child.DestroyWindow();
}

// Real pointer input: the system's move loop reads the pointer itself.
void Press(bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &input, sizeof(input));
}

void MoveTo(int x, int y) {
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((x * 65536 + width / 2) / width);
    input.mi.dy = static_cast<LONG>((y * 65536 + height / 2) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof(input));
}

class WindowDragTest : public InputTest {
protected:
    // Presses at a client point, moves the pointer by (40, 30) and releases; returns the window's new top-left.
    POINT DragFrom(int x, int y) {
        MoveTo(kScreenRect.left + x, kScreenRect.top + y);
        PumpUntil([&] {
            POINT cursor{};
            ::GetCursorPos(&cursor);
            return cursor.x == kScreenRect.left + x && cursor.y == kScreenRect.top + y;
        });
        Press(true);
        for (int step = 1; step <= 4; ++step) {
            MoveTo(kScreenRect.left + x + 10 * step, kScreenRect.top + y + 7 * step + (step == 4 ? 2 : 0));
        }
        Press(false);
        RECT rect{};
        PumpUntil([&] {
            ::GetWindowRect(m_window.GetSafeHwnd(), &rect);
            // The system's move loop eats the release; without a move the release is dispatched.
            return rect.left != kScreenRect.left || Received(WM_LBUTTONUP);
        });
        OvrixTest::PumpPending();
        ::GetWindowRect(m_window.GetSafeHwnd(), &rect);
        return POINT{rect.left, rect.top};
    }
    bool Received(UINT message) const {
        return std::find(m_window.m_messages.begin(), m_window.m_messages.end(), message) != m_window.m_messages.end();
    }
};

TEST_F(WindowDragTest, PressOnTheBodyMovesTheWindow) {
    const POINT moved = DragFrom(250, 180);
    EXPECT_EQ(moved.x, kScreenRect.left + 40);
    EXPECT_EQ(moved.y, kScreenRect.top + 30);
}

TEST_F(WindowDragTest, ControlThatTakesThePressStopsTheDrag) {
    const POINT stayed = DragFrom(20, 20);
    EXPECT_EQ(stayed.x, kScreenRect.left);
    EXPECT_EQ(stayed.y, kScreenRect.top);
    EXPECT_EQ(m_a->Names().at(1), "down");
}

TEST_F(WindowDragTest, DisabledWindowDragLeavesTheWindowInPlace) {
    Manager().EnableWndDrag(FALSE);
    const POINT stayed = DragFrom(250, 180);
    EXPECT_EQ(stayed.x, kScreenRect.left);
    EXPECT_EQ(stayed.y, kScreenRect.top);
}

// A packed DIB in global memory, as the clipboard and OLE carry it.
HGLOBAL PackedDib(int width, int height, SIZE_T truncateTo = 0) {
    const SIZE_T size = sizeof(BITMAPINFOHEADER) + static_cast<SIZE_T>(width) * height * 4;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, truncateTo != 0 ? truncateTo : size);
    auto* header = static_cast<BITMAPINFOHEADER*>(::GlobalLock(block));
    std::memset(header, 0, ::GlobalSize(block));
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = truncateTo != 0 ? 8 : 32;
    header->biCompression = BI_RGB;
    ::GlobalUnlock(block);
    return block;
}

TEST_F(InputTest, DroppedDibIsHandedToTheWindowAsABitmap) {
    FORMATETC format{CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = PackedDib(7, 3);
    EXPECT_TRUE(Manager().OnDrop(&format, medium, nullptr)) << "the caller releases the medium";
    ::ReleaseStgMedium(&medium);
    ASSERT_EQ(m_window.m_received.size(), 1u);
    EXPECT_EQ(m_window.m_received[0].first, 0x0172u);
    const auto bitmap = reinterpret_cast<HBITMAP>(m_window.m_received[0].second);
    BITMAP described{};
    ASSERT_NE(::GetObjectW(bitmap, sizeof(described), &described), 0);
    EXPECT_EQ(described.bmWidth, 7);
    EXPECT_EQ(described.bmHeight, 3);
    ::DeleteObject(bitmap);
}

TEST_F(InputTest, DibWhoseHeaderPromisesMoreThanTheBlockHoldsIsRefused) {
    FORMATETC format{CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    // An 8-bit header needs a 256-entry colour table after it; the block ends right after the header.
    medium.hGlobal = PackedDib(64, 64, sizeof(BITMAPINFOHEADER) + 16);
    EXPECT_TRUE(Manager().OnDrop(&format, medium, nullptr));
    ::ReleaseStgMedium(&medium);
    EXPECT_TRUE(m_window.m_received.empty()) << "nothing reached the window";

    FORMATETC other{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_TRUE(Manager().OnDrop(&other, medium, nullptr));
    EXPECT_TRUE(m_window.m_received.empty());
}

TEST_F(InputTest, WindowIsRegisteredAsADropTarget) {
    // Registered by Init: a second registration for the same window is refused by the system.
    EXPECT_EQ(::RegisterDragDrop(m_window.GetSafeHwnd(), static_cast<IDropTarget*>(&Manager())),
              DRAGDROP_E_ALREADYREGISTERED);
    EXPECT_EQ(Manager().GetTargetWnd(), m_window.GetSafeHwnd());
}

} // namespace
