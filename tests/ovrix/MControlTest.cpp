// The control base through a small tree of test controls: routing, focus and key chains, repaint requests to
// the owner, timers, drawing order and the cached surface.
#include <Ovrix/Ovrix.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/OvrixTestSupport.h"

namespace {

using Ovrix::CPoint;
using Ovrix::CRect;
using Ovrix::MControl;
using Ovrix::MObject;

struct Update {
    CRect rect;
    BOOL rebuild;
    MControl* control;
};

struct Notice {
    UINT id;
    UINT code;
    WPARAM wParam;
    LPARAM lParam;
};

class RecordingOwner : public MObject {
public:
    explicit RecordingOwner(const wchar_t* className = L"TestOwner") : m_className(className) {}
    const wchar_t* GetClassNameW() const override { return m_className; }
    LRESULT OnControlUpdate(CRect area, BOOL rebuild, MControl* control) override {
        m_updates.push_back({area, rebuild, control});
        return 0;
    }
    LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override {
        m_notices.push_back({id, code, wParam, lParam});
        return 77;
    }
    const wchar_t* m_className;
    std::vector<Update> m_updates;
    std::vector<Notice> m_notices;
};

struct Event {
    std::string name;
    CPoint point;
};

class TestControl : public MControl {
public:
    TestControl(MObject* parent, UINT id, CRect rect, COLORREF color = 0, BOOL visible = TRUE, BOOL response = TRUE)
        : MControl(parent, id, rect, visible, TRUE, response), m_color(color) {}
    ~TestControl() override {
        if (m_destroyedFlag != nullptr) {
            *m_destroyedFlag = true;
        }
    }

    TestControl* Add(std::unique_ptr<TestControl> child) {
        child->SetParent(this);
        m_controls.push_back(child.get());
        return child.release();
    }
    TestControl* AddArea(std::unique_ptr<TestControl> child) {
        child->SetParent(this);
        m_areaControls.push_back(child.get());
        return child.release();
    }

    void DrawControl(HDC& dc, CRect) override {
        if (m_color != 0) {
            Ovrix::MRender::FillSolidRect(dc, m_rect, m_color);
        }
    }
    BOOL SetControlFocus(BOOL focus) override {
        m_bFocused = focus;
        if (!focus) {
            MControl::SetControlFocus(FALSE);
        }
        return TRUE;
    }
    BOOL OnMousePointChange(CPoint& point) override {
        point.x += m_shift;
        return m_shift != 0;
    }
    // Hover-style: a control answers moves over itself; moves elsewhere are recorded but not taken.
    BOOL OnControlMouseMove(UINT, CPoint point) override {
        const bool inside = m_rect.PtInRect(point);
        Record(inside ? "move" : "move-outside", point);
        return inside;
    }
    BOOL OnControlLButtonDown(UINT, CPoint point) override { return Record("down", point); }
    BOOL OnControlLButtonUp(UINT, CPoint point) override { return Record("up", point); }
    BOOL OnControlLButtonDblClk(UINT, CPoint point) override { return Record("dblclk", point); }
    BOOL OnControlRButtonDown(UINT, CPoint point) override { return Record("rdown", point); }
    BOOL OnControlScroll(int, UINT, CPoint point) override {
        Record("wheel", point);
        return m_takesWheel;
    }
    BOOL OnControlKeyDown(UINT key, UINT repeat, UINT modifiers) override {
        const BOOL taken = MControl::OnControlKeyDown(key, repeat, modifiers);
        m_events.push_back({taken ? "key" : "key-refused", CPoint(static_cast<LONG>(key), 0)});
        return taken;
    }
    BOOL OnControlTimer() override {
        ++m_ticks;
        return FALSE;
    }

    void SetHotKey(UINT key, UINT modifiers) {
        m_uHotKey = key;
        m_uHotKeyModifiers = modifiers;
    }
    void SetDoubleClicks(BOOL on) { m_bDblClk = on; }
    void SetFocusedFlag(BOOL on) { m_bFocused = on; }
    HDC MemoryDc() const { return m_hMemDC; }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const Event& event : m_events) {
            names.push_back(event.name);
        }
        return names;
    }

    std::vector<Event> m_events;
    int m_shift = 0;
    int m_ticks = 0;
    bool m_takesWheel = true;
    bool* m_destroyedFlag = nullptr;

private:
    BOOL Record(const char* name, CPoint point) {
        m_events.push_back({name, point});
        return TRUE;
    }
    COLORREF m_color;
};

std::unique_ptr<TestControl> Make(UINT id, CRect rect, COLORREF color = 0) {
    return std::make_unique<TestControl>(nullptr, id, rect, color);
}

using Names = std::vector<std::string>;

// A container that shifts points 50 pixels right into its content, with a scroll bar (id 1) and two children.
class RoutingTest : public testing::Test {
protected:
    RoutingTest() : m_root(&m_owner, 100, CRect(0, 0, 300, 300)) {
        m_root.m_shift = 50;
        m_a = m_root.Add(Make(10, CRect(60, 10, 110, 60)));
        m_b = m_root.Add(Make(11, CRect(150, 150, 200, 200)));
        m_bar = m_root.Add(Make(1, CRect(0, 0, 40, 8)));
    }
    RecordingOwner m_owner;
    TestControl m_root;
    TestControl* m_a;
    TestControl* m_b;
    TestControl* m_bar;
};

TEST_F(RoutingTest, ChildUnderThePointerGetsTheMoveInContentCoordinates) {
    EXPECT_TRUE(m_root.OnMouseMove(0, CPoint(20, 20)));
    ASSERT_EQ(m_a->Names(), (Names{"move"}));
    EXPECT_EQ(m_a->m_events[0].point, CPoint(70, 20));
    EXPECT_EQ(m_b->Names(), (Names{"move-outside"})) << "every child sees the move, so it can notice leaving";
    m_root.OnLButtonDown(0, CPoint(20, 20));
    EXPECT_EQ(m_a->Names(), (Names{"move", "down"}));
    EXPECT_EQ(m_b->Names(), (Names{"move-outside"}));
}

TEST_F(RoutingTest, ScrollBarsOfTheContainerGetTheUnshiftedPoint) {
    m_root.OnLButtonDown(0, CPoint(5, 5));
    ASSERT_EQ(m_bar->Names(), (Names{"down"}));
    EXPECT_EQ(m_bar->m_events[0].point, CPoint(5, 5));
    EXPECT_TRUE(m_a->m_events.empty());
}

TEST_F(RoutingTest, PressAndReleaseGoToTheChildInItsCoordinates) {
    m_root.OnMouseMove(0, CPoint(20, 20));
    EXPECT_TRUE(m_root.OnLButtonDown(0, CPoint(21, 22)));
    EXPECT_TRUE(m_root.OnLButtonUp(0, CPoint(21, 22)));
    EXPECT_EQ(m_a->Names(), (Names{"move", "down", "up"}));
    EXPECT_EQ(m_a->m_events[1].point, CPoint(71, 22));
    EXPECT_EQ(m_root.Names(), (Names{"move"})) << "the container saw the move only, not the press or release";
}

TEST_F(RoutingTest, PressThatLeavesTheChildStillMovesAndReleasesToIt) {
    m_root.OnMouseMove(0, CPoint(20, 20));
    m_root.OnLButtonDown(0, CPoint(20, 20));
    m_b->m_events.clear();
    m_root.OnMouseMove(0, CPoint(120, 160)); // over B now
    m_root.OnLButtonUp(0, CPoint(120, 160));
    EXPECT_EQ(m_a->Names(), (Names{"move", "down", "move-outside", "up"}));
    EXPECT_EQ(m_a->m_events[3].point, CPoint(170, 160));
    EXPECT_TRUE(m_b->m_events.empty()) << "the held press keeps the mouse with A";

    m_root.OnMouseMove(0, CPoint(120, 160));
    m_root.OnLButtonDown(0, CPoint(120, 160));
    EXPECT_EQ(m_b->Names(), (Names{"move", "down"})) << "after the release B becomes the current child";
    EXPECT_EQ(m_a->m_events.size(), 5u);
}

TEST_F(RoutingTest, HiddenOrUnresponsiveChildrenGetNothing) {
    m_a->SetVisible(FALSE);
    m_b->SetRresponse(FALSE);
    m_root.OnMouseMove(0, CPoint(20, 20));
    m_root.OnLButtonDown(0, CPoint(20, 20));
    m_root.OnMouseMove(0, CPoint(120, 160));
    m_root.OnLButtonDown(0, CPoint(120, 160));
    EXPECT_TRUE(m_a->m_events.empty());
    EXPECT_TRUE(m_b->m_events.empty());
    EXPECT_EQ(m_root.Names(), (Names{"move", "down", "move", "down"}));
    EXPECT_FALSE(m_a->OnMouseMove(0, CPoint(70, 20)));
    EXPECT_FALSE(m_a->OnKeyDown('A', 1, 0));
}

TEST_F(RoutingTest, DoubleClickCountsAsAPressUnlessTheChildWantsDoubleClicks) {
    m_root.OnLButtonDown(0, CPoint(20, 20));
    m_root.OnLButtonUp(0, CPoint(20, 20));
    m_root.OnLButtonDblClk(0, CPoint(20, 20));
    EXPECT_EQ(m_a->Names(), (Names{"down", "up", "down"}));

    m_a->m_events.clear();
    m_a->SetDoubleClicks(TRUE);
    m_root.OnLButtonDblClk(0, CPoint(20, 20));
    EXPECT_EQ(m_a->Names(), (Names{"dblclk"}));
}

TEST_F(RoutingTest, WheelGoesToTheChildUnderThePointer) {
    m_root.m_takesWheel = false;
    EXPECT_TRUE(m_root.OnScroll(1, 1, CPoint(120, 160)));
    EXPECT_EQ(m_b->Names(), (Names{"wheel"}));
    m_root.SetEnabled(FALSE);
    EXPECT_FALSE(m_root.OnScroll(1, 1, CPoint(120, 160)));
}

TEST(MControlKeyTest, KeysGoDownTheFocusChainOnly) {
    TestControl root(nullptr, 1, CRect(0, 0, 100, 100));
    TestControl* a = root.Add(Make(10, CRect(0, 0, 50, 50)));
    TestControl* b = root.Add(Make(11, CRect(50, 0, 100, 50)));
    TestControl* leaf = a->Add(Make(20, CRect(0, 0, 10, 10)));
    a->SetFocusedFlag(TRUE);
    leaf->SetFocusedFlag(TRUE);
    leaf->SetHotKey(VK_RETURN, 0);

    EXPECT_TRUE(root.OnKeyDown(VK_RETURN, 1, 0));
    EXPECT_EQ(leaf->Names(), (Names{"key"}));
    EXPECT_TRUE(a->m_events.empty());
    EXPECT_TRUE(b->m_events.empty());
    EXPECT_TRUE(root.m_events.empty());

    EXPECT_FALSE(root.OnKeyDown(VK_RETURN, 1, 0x10)) << "modifiers must match the hot key's";
}

TEST(MControlKeyTest, WithoutFocusTheKeyIsOfferedToTheChildrenInOrder) {
    TestControl root(nullptr, 1, CRect(0, 0, 100, 100));
    TestControl* a = root.Add(Make(10, CRect(0, 0, 50, 50)));
    TestControl* b = root.Add(Make(11, CRect(50, 0, 100, 50)));
    TestControl* c = root.Add(Make(12, CRect(0, 50, 50, 100)));
    b->SetHotKey('B', 0);
    c->SetHotKey('B', 0);
    EXPECT_TRUE(root.OnKeyDown('B', 1, 0));
    EXPECT_EQ(root.Names(), (Names{"key-refused"}));
    EXPECT_EQ(a->Names(), (Names{"key-refused"}));
    EXPECT_EQ(b->Names(), (Names{"key"}));
    EXPECT_TRUE(c->m_events.empty()) << "the first taker ends the search";
    EXPECT_FALSE(root.OnKeyDown('Z', 1, 0));
}

TEST(MControlUpdateTest, GeometryAndVisibilityChangesReachTheOwner) {
    RecordingOwner owner;
    TestControl control(&owner, 5, CRect(10, 10, 30, 30));

    control.SetRect(20, 5, 40, 10);
    ASSERT_EQ(owner.m_updates.size(), 1u);
    EXPECT_EQ(owner.m_updates[0].rect, CRect(10, 5, 60, 30)) << "union of the old and the new rectangle";
    EXPECT_TRUE(owner.m_updates[0].rebuild);
    EXPECT_EQ(owner.m_updates[0].control, &control);

    control.SetVisible(TRUE);
    EXPECT_EQ(owner.m_updates.size(), 1u) << "same visibility sends nothing";
    control.SetVisible(FALSE);
    ASSERT_EQ(owner.m_updates.size(), 2u);
    EXPECT_EQ(owner.m_updates[1].rect, CRect(20, 5, 60, 15));

    control.SetRect(CRect(0, 0, 5, 5));
    control.SetEnabled(FALSE);
    control.UpdateControl(TRUE, FALSE);
    EXPECT_EQ(owner.m_updates.size(), 2u) << "a hidden control stores its changes silently";
    EXPECT_EQ(control.GetRect(), CRect(0, 0, 5, 5));
    EXPECT_FALSE(control.IsEnabled());

    control.UpdateControl(CRect(1, 2, 3, 4), TRUE, FALSE);
    ASSERT_EQ(owner.m_updates.size(), 3u);
    EXPECT_EQ(owner.m_updates[2].rect, CRect(1, 2, 3, 4));
    EXPECT_FALSE(owner.m_updates[2].rebuild);

    control.SetVisible(TRUE, FALSE);
    EXPECT_EQ(owner.m_updates.size(), 3u) << "told only when asked to notify";
}

TEST(MControlUpdateTest, ReportsGoToTheOwnerWithTheControlId) {
    RecordingOwner owner;
    TestControl control(&owner, 42, CRect(0, 0, 5, 5));
    EXPECT_EQ(control.SendMessageW(2, 7, -9), 77);
    ASSERT_EQ(owner.m_notices.size(), 1u);
    EXPECT_EQ(owner.m_notices[0].id, 42u);
    EXPECT_EQ(owner.m_notices[0].code, 2u);
    EXPECT_EQ(owner.m_notices[0].wParam, 7u);
    EXPECT_EQ(owner.m_notices[0].lParam, -9);
}

TEST(MControlUpdateTest, RebuildReachesOnlyOverlappingChildren) {
    TestControl root(nullptr, 1, CRect(0, 0, 100, 100));
    TestControl* inside = root.Add(Make(10, CRect(10, 10, 20, 20)));
    TestControl* outside = root.Add(Make(11, CRect(200, 200, 210, 210)));
    root.SetUpdate(TRUE, 0);
    EXPECT_TRUE(inside->GetUpdate());
    EXPECT_FALSE(outside->GetUpdate());
}

TEST(MControlTimerTest, TicksFanOutToVisibleChildrenThatAskForThem) {
    TestControl root(nullptr, 1, CRect(0, 0, 100, 100));
    TestControl* running = root.Add(Make(10, CRect(0, 0, 10, 10)));
    TestControl* idle = root.Add(Make(11, CRect(0, 0, 10, 10)));
    TestControl* hidden = root.Add(Make(12, CRect(0, 0, 10, 10)));
    running->SetRunTimer(TRUE);
    hidden->SetRunTimer(TRUE);
    hidden->SetVisible(FALSE);
    root.OnTimer();
    root.OnTimer();
    EXPECT_EQ(root.m_ticks, 2);
    EXPECT_EQ(running->m_ticks, 2);
    EXPECT_EQ(idle->m_ticks, 0);
    EXPECT_EQ(hidden->m_ticks, 0);
}

TEST(MControlTreeTest, GetControlSearchesDepthFirstChildrenBeforeAreas) {
    TestControl root(nullptr, 1, CRect(0, 0, 100, 100));
    TestControl* first = root.Add(Make(10, CRect()));
    TestControl* later = root.Add(Make(11, CRect()));
    TestControl* grandchild = first->Add(Make(30, CRect()));
    later->AddArea(Make(30, CRect()));
    TestControl* area = root.AddArea(Make(40, CRect()));
    EXPECT_EQ(root.GetControl(30), grandchild);
    EXPECT_EQ(root.GetControl(40), area);
    EXPECT_EQ(root.GetControl(99), nullptr);
}

TEST(MControlTreeTest, RemoveControlDestroysTheChildAndForgetsItsMouseState) {
    TestControl root(nullptr, 1, CRect(0, 0, 100, 100));
    TestControl* child = root.Add(Make(10, CRect(0, 0, 50, 50)));
    bool destroyed = false;
    child->m_destroyedFlag = &destroyed;
    root.OnLButtonDown(0, CPoint(5, 5));
    root.RemoveControl(child);
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(root.GetControls().empty());
    EXPECT_TRUE(root.OnMouseMove(0, CPoint(5, 5))) << "routing carries on without the removed child";
    EXPECT_EQ(root.Names(), (Names{"move"}));

    TestControl stranger(nullptr, 2, CRect());
    root.RemoveControl(&stranger); // not a child: nothing happens
}

TEST(MControlDrawTest, AreaChildrenThenTheControlThenItsChildren) {
    OvrixTest::Surface surface(40, 20);
    surface.Fill(0);
    TestControl root(nullptr, 1, CRect(10, 0, 30, 20), RGB(0, 255, 0));
    root.AddArea(Make(10, CRect(0, 0, 20, 20), RGB(255, 0, 0)));
    root.Add(Make(11, CRect(25, 5, 35, 15), RGB(0, 0, 255)));
    TestControl* hidden = root.Add(Make(12, CRect(12, 0, 14, 20), RGB(255, 255, 0)));
    hidden->SetVisible(FALSE);
    root.Draw(surface.Dc(), CRect(0, 0, 40, 20));

    EXPECT_EQ(surface.Rgb(5, 10), 0xFF0000u) << "area child beside the control";
    EXPECT_EQ(surface.Rgb(15, 10), 0x00FF00u) << "the control paints over its area child";
    EXPECT_EQ(surface.Rgb(13, 10), 0x00FF00u) << "hidden child not drawn";
    EXPECT_EQ(surface.Rgb(27, 10), 0x0000FFu) << "a child paints over the control";
    EXPECT_EQ(surface.Rgb(33, 10), 0x0000FFu);
    EXPECT_EQ(surface.Rgb(27, 2), 0x00FF00u);
    EXPECT_EQ(surface.Rgb(37, 10), 0u);
}

TEST(MControlDrawTest, NothingIsDrawnOutsideThePaintArea) {
    OvrixTest::Surface surface(40, 20);
    surface.Fill(0);
    TestControl root(nullptr, 1, CRect(10, 0, 30, 20), RGB(0, 255, 0));
    root.Draw(surface.Dc(), CRect(30, 0, 40, 20));
    EXPECT_EQ(surface.Rgb(15, 10), 0u);
}

TEST(MControlDrawTest, MemorySurfaceIsRecreatedOnlyWhenItsSizeChanges) {
    OvrixTest::Surface surface(4, 4);
    TestControl control(nullptr, 1, CRect(0, 0, 20, 10));
    control.UpdateMemDC(surface.Dc(), 20, 10);
    EXPECT_TRUE(control.GetUpdate());
    const HDC first = control.MemoryDc();
    ASSERT_NE(first, nullptr);
    BITMAP described{};
    ASSERT_NE(::GetObjectW(::GetCurrentObject(first, OBJ_BITMAP), sizeof(described), &described), 0);
    EXPECT_EQ(described.bmWidth, 20);
    EXPECT_EQ(described.bmBitsPixel, 32) << "compatible with the 32-bit target";

    control.SetUpdate(FALSE, 0);
    control.UpdateMemDC(surface.Dc(), 20, 10);
    EXPECT_TRUE(control.GetUpdate());
    EXPECT_EQ(control.MemoryDc(), first);

    control.UpdateMemDC(surface.Dc(), 30, 10);
    ASSERT_NE(::GetObjectW(::GetCurrentObject(control.MemoryDc(), OBJ_BITMAP), sizeof(described), &described), 0);
    EXPECT_EQ(described.bmWidth, 30);
}

struct PositionCase {
    int mode;
    BOOL fromFar;
    float amount;
    int expected;
};

void PrintTo(const PositionCase& c, std::ostream* out) {
    *out << "mode" << c.mode << (c.fromFar ? "-far-" : "-") << c.amount;
}

class PositionItemTest : public testing::TestWithParam<PositionCase> {};

TEST_P(PositionItemTest, ResolvesAgainstTheRange) {
    TestControl control(nullptr, 1, CRect());
    const PositionCase& c = GetParam();
    EXPECT_EQ(control.PositionItem2Value({c.mode, c.fromFar, c.amount}, 100, 300), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Modes, PositionItemTest,
                         testing::Values(PositionCase{0, FALSE, 10.9f, 110}, PositionCase{0, TRUE, 10.9f, 290},
                                         PositionCase{1, FALSE, 5.5f, 205}, PositionCase{1, TRUE, 5.5f, 195},
                                         PositionCase{2, FALSE, 25.0f, 150}, PositionCase{2, FALSE, 150.0f, 300},
                                         PositionCase{3, FALSE, 1.0f, 0}));

TEST(MControlParentTest, ParentVisibilityStopsAtTheDialog) {
    RecordingOwner dialog(L"MDialog");
    RecordingOwner dialogLower(L"mdialog");
    TestControl onDialog(&dialog, 1, CRect());
    EXPECT_TRUE(onDialog.IsParentVisible());
    EXPECT_TRUE(dialog.IsClass(L"MDialog"));
    EXPECT_FALSE(dialog.IsClass(L"mdialog"));
    EXPECT_FALSE(MObject().IsClass(nullptr));

    TestControl* child = onDialog.Add(Make(2, CRect()));
    EXPECT_TRUE(child->IsParentVisible());
    onDialog.SetVisible(FALSE);
    EXPECT_FALSE(child->IsParentVisible());
    EXPECT_FALSE(TestControl(nullptr, 3, CRect()).IsParentVisible());
    EXPECT_TRUE(TestControl(nullptr, 3, CRect()).IsClass(L"MControl"));
}

TEST(MControlCursorTest, NamedSystemCursorIsShownOverTheControl) {
    TestControl control(nullptr, 1, CRect(0, 0, 50, 50));
    const HCURSOR before = ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_FALSE(control.OnControlSetCursor(0, CPoint(5, 5))) << "no cursor chosen yet";
    control.SetCursorEx(L"no-such-cursor");
    EXPECT_FALSE(control.OnControlSetCursor(0, CPoint(5, 5)));
    control.SetCursorEx(L"hand");
    EXPECT_FALSE(control.OnControlSetCursor(0, CPoint(60, 5)));
    EXPECT_TRUE(control.OnControlSetCursor(0, CPoint(5, 5)));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
    control.SetCursorEx(L"Hand");
    EXPECT_TRUE(control.OnControlSetCursor(0, CPoint(5, 5)));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND)) << "names are compared exactly";
    ::SetCursor(before);
}

// A window with a paint manager bound to it, for the operations that go through the manager.
class ManagedControlTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_window.Create(nullptr, L"managed", WS_POPUP, 0, CRect(0, 0, 200, 100)), nullptr);
        m_manager.Init(m_window.GetSafeHwnd(), &m_window);
        m_window.ShowWindow(SW_SHOWNA);
        ::ValidateRect(m_window.GetSafeHwnd(), nullptr);
    }
    void TearDown() override { m_window.DestroyWindow(); }
    RECT UpdateRect() {
        RECT rect{};
        ::GetUpdateRect(m_window.GetSafeHwnd(), &rect, FALSE);
        return rect;
    }

    Ovrix::MWindow m_window;
    Ovrix::PaintManager m_manager;
};

TEST_F(ManagedControlTest, PressOnAControlWithoutChildrenMovesTheFocusToIt) {
    TestControl first(nullptr, 1, CRect(0, 0, 50, 50));
    TestControl second(nullptr, 2, CRect(50, 0, 100, 50));
    first.SetManager(&m_manager);
    second.SetManager(&m_manager);
    first.OnLButtonDown(0, CPoint(5, 5));
    EXPECT_TRUE(first.IsFocusControl());
    EXPECT_TRUE(first.IsFocused());
    second.OnRButtonDown(0, CPoint(55, 5));
    EXPECT_TRUE(second.IsFocusControl());
    EXPECT_FALSE(first.IsFocused()) << "the old focus control was told";
    EXPECT_EQ(second.Names(), (Names{"rdown"}));
}

TEST_F(ManagedControlTest, RemovingTheFocusedChildClearsTheManagersFocus) {
    TestControl root(nullptr, 1, CRect(0, 0, 100, 100));
    root.SetManager(&m_manager);
    TestControl* child = root.Add(Make(10, CRect(0, 0, 50, 50)));
    child->SetManager(&m_manager);
    m_manager.SetFocusControl(child);
    root.RemoveControl(child);
    EXPECT_EQ(m_manager.GetFocusControl(), nullptr);
}

TEST_F(ManagedControlTest, InvalidateCoversTheControlOrTheWholeLayeredWindow) {
    TestControl control(nullptr, 1, CRect(10, 20, 30, 40));
    control.InvalidateRect(nullptr, FALSE);
    EXPECT_EQ(Ovrix::CRect(UpdateRect()), CRect()) << "without a manager there is no window to invalidate";

    control.SetManager(&m_manager);
    control.InvalidateRect(nullptr, FALSE);
    EXPECT_EQ(Ovrix::CRect(UpdateRect()), CRect(10, 20, 30, 40));
    ::ValidateRect(m_window.GetSafeHwnd(), nullptr);

    m_manager.SetLayeredWindow(TRUE);
    control.InvalidateRect(nullptr, FALSE);
    EXPECT_EQ(Ovrix::CRect(UpdateRect()), CRect(0, 0, 200, 100));
}

TEST_F(ManagedControlTest, HoveringAControlWithATooltipHandsItToTheManager) {
    TestControl control(nullptr, 7, CRect(0, 0, 50, 50));
    control.SetManager(&m_manager);
    control.SetTooltip(L"Switch the display");
    EXPECT_EQ(control.GetTooltip(), L"Switch the display");
    control.OnMouseMove(0, CPoint(60, 5));
    EXPECT_EQ(m_manager.GetTooltipCtrlID(), 0) << "outside the control";
    control.OnMouseMove(0, CPoint(5, 5));
    EXPECT_EQ(m_manager.GetTooltipCtrlID(), 7);
    control.ClearTooltip();
    EXPECT_EQ(m_manager.GetTooltipCtrlID(), 0);
    control.SetTooltip(static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(control.GetTooltip(), L"");
}

} // namespace
