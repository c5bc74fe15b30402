// Real dialogs under Wine: the message dispatch, the modal results, the creation style, translucency, the message
// rectangle and the balloon anchor.
#include <Ovrix/Ovrix.h>

#include <vector>

#include <gtest/gtest.h>

#include "support/OvrixTestSupport.h"

namespace {

using Ovrix::CPoint;
using Ovrix::CRect;
using Ovrix::MControl;
using Ovrix::MDialog;
using OvrixTest::PumpUntil;

// Away from the windows of the other window tests, which may run at the same time.
const CRect kScreenRect(620, 520, 1020, 820);

class TestDialog : public MDialog {
public:
    ~TestDialog() override { DestroyWindow(); }

    void InitUI(CRect client) override { m_initClients.push_back(client); }
    void UISize(CRect client) override { m_sizes.push_back(client); }
    LRESULT OnUserCloseWindow(WPARAM wParam, LPARAM lParam) override {
        ++m_closeRequests;
        if (m_refusals > 0) {
            --m_refusals;
            return 1;
        }
        return MDialog::OnUserCloseWindow(wParam, lParam);
    }

    HWND Open(DWORD style = WS_POPUP, CRect rect = kScreenRect) {
        return Create(nullptr, L"dialog", style, WS_EX_TOPMOST, rect);
    }
    Ovrix::PaintManager& Manager() { return m_PaintManager; }
    void SetAlpha(int alpha) { m_alpha = alpha; }
    void SetColourKey(COLORREF key) { m_transparent_color = key; }
    void SetMessageOffset(int offset) { m_message_offset_y = offset; }

    std::vector<CRect> m_initClients;
    std::vector<CRect> m_sizes;
    int m_closeRequests = 0;
    int m_refusals = 0;
};

// Records the window messages the paint manager hands its controls.
class MessageProbe : public MControl {
public:
    explicit MessageProbe(Ovrix::MObject* parent) : MControl(parent, 90, CRect(), TRUE, TRUE, TRUE) {}
    void DrawControl(HDC&, CRect) override {}
    LRESULT OnWindowMessage(UINT message, WPARAM, LPARAM) override {
        m_messages.push_back(message);
        return 0;
    }
    bool Saw(UINT message) const {
        for (UINT seen : m_messages) {
            if (seen == message) {
                return true;
            }
        }
        return false;
    }
    std::vector<UINT> m_messages;
};

TEST(MDialogTest, InitDialogBindsThePaintManagerAndBuildsTheControlsWithTheClientRectangle) {
    TestDialog dialog;
    const HWND window = dialog.Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dialog.Manager().GetPaintWnd(), window);
    EXPECT_EQ(dialog.Manager().GetMDialog(), &dialog);
    ASSERT_EQ(dialog.m_initClients.size(), 1u);
    EXPECT_EQ(dialog.m_initClients[0], CRect(0, 0, 400, 300));
    EXPECT_STREQ(dialog.GetClassNameW(), L"MDialog");
    EXPECT_STREQ(dialog.GetWindowClassName(), L"MWindow");
}

struct ModalCase {
    const char* name;
    void (MDialog::*close)();
    UINT result;
};

class ModalResultTest : public testing::TestWithParam<ModalCase> {};

TEST_P(ModalResultTest, ShowModalReturnsTheResultThatWasPosted) {
    TestDialog dialog;
    ASSERT_NE(dialog.Open(), nullptr);
    (dialog.*GetParam().close)();
    EXPECT_EQ(dialog.ShowModal(SW_SHOWNA), GetParam().result);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr) << "the close destroys the window";
    EXPECT_EQ(dialog.m_closeRequests, 1);
}

INSTANTIATE_TEST_SUITE_P(Closers, ModalResultTest,
                         testing::Values(ModalCase{"OK", &MDialog::DoOK, 1}, ModalCase{"Cancel", &MDialog::DoCancel, 2},
                                         ModalCase{"Close", &MDialog::DoClose, 2}, ModalCase{"Yes", &MDialog::DoYes, 6},
                                         ModalCase{"No", &MDialog::DoNo, 7}),
                         [](const testing::TestParamInfo<ModalCase>& info) { return info.param.name; });

TEST(MDialogTest, ClosingAnyOtherWayReturnsZero) {
    TestDialog dialog;
    ASSERT_NE(dialog.Open(), nullptr);
    dialog.PostMessageW(WM_CLOSE, 0, 0);
    EXPECT_EQ(dialog.ShowModal(SW_SHOWNA), 0u);
}

TEST(MDialogTest, RefusedCloseKeepsTheDialogRunningUntilALaterOneIsAccepted) {
    TestDialog dialog;
    ASSERT_NE(dialog.Open(), nullptr);
    dialog.m_refusals = 1;
    dialog.DoOK();
    dialog.DoYes();
    EXPECT_EQ(dialog.ShowModal(SW_SHOWNA), 6u) << "the refused OK must not end the loop";
    EXPECT_EQ(dialog.m_closeRequests, 2);
}

TEST(MDialogTest, RefusedCloseLeavesTheWindowOpen) {
    TestDialog dialog;
    const HWND window = dialog.Open();
    ASSERT_NE(window, nullptr);
    dialog.m_refusals = 1;
    dialog.DoOK();
    ASSERT_TRUE(PumpUntil([&] { return dialog.m_closeRequests == 1; }));
    OvrixTest::PumpPending();
    EXPECT_TRUE(::IsWindow(window));
}

TEST(MDialogTest, ClosersWithoutAWindowPostNothing) {
    TestDialog dialog;
    dialog.DoOK();
    dialog.DoNo();
    MSG message;
    EXPECT_FALSE(::PeekMessageW(&message, nullptr, Ovrix::WM_USERCLOSE, Ovrix::WM_USERCLOSE, PM_REMOVE));
}

TEST(MDialogTest, CreationRemovesCaptionAndFrameAndMeasuresTheFrameAgain) {
    TestDialog dialog;
    const HWND window = dialog.Open(WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU);
    ASSERT_NE(window, nullptr);
    const DWORD style = dialog.GetStyle();
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0u);
    EXPECT_EQ(style & (WS_CLIPCHILDREN | WS_CLIPSIBLINGS | 0x8),
              static_cast<DWORD>(WS_CLIPCHILDREN | WS_CLIPSIBLINGS | 0x8));
    RECT client{};
    RECT outer{};
    ::GetClientRect(window, &client);
    ::GetWindowRect(window, &outer);
    EXPECT_EQ(client.right, outer.right - outer.left) << "no border left around the client area";
    EXPECT_EQ(client.bottom, outer.bottom - outer.top) << "no caption strip left above the client area";
}

TEST(MDialogTest, EraseBackgroundAnswersOneWithoutReachingThePaintManager) {
    TestDialog dialog;
    ASSERT_NE(dialog.Open(), nullptr);
    auto* probe = new MessageProbe(&dialog);
    probe->SetManager(&dialog.Manager());
    dialog.GetControls().push_back(probe);
    const HDC dc = ::GetDC(dialog.GetSafeHwnd());
    EXPECT_EQ(dialog.SendMessageW(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
    ::ReleaseDC(dialog.GetSafeHwnd(), dc);
    EXPECT_FALSE(probe->Saw(WM_ERASEBKGND));
    dialog.SendMessageW(WM_USER + 5, 0, 0);
    EXPECT_TRUE(probe->Saw(WM_USER + 5)) << "other messages do reach the paint manager";
}

TEST(MDialogTest, UserCloseIsAnsweredByTheDialogAlone) {
    TestDialog dialog;
    ASSERT_NE(dialog.Open(), nullptr);
    auto* probe = new MessageProbe(&dialog);
    probe->SetManager(&dialog.Manager());
    dialog.GetControls().push_back(probe);
    dialog.m_refusals = 1;
    EXPECT_EQ(dialog.SendMessageW(Ovrix::WM_USERCLOSE, 1, 0), 1);
    EXPECT_FALSE(probe->Saw(Ovrix::WM_USERCLOSE));
}

struct TranslucencyCase {
    const char* name;
    int alpha;
    COLORREF key;
    bool layered;
    DWORD flags;
    BYTE opacity;
};

class TranslucencyTest : public testing::TestWithParam<TranslucencyCase> {};

TEST_P(TranslucencyTest, LayeredAttributesFollowOpacityThenColourKey) {
    const TranslucencyCase& c = GetParam();
    TestDialog dialog;
    dialog.SetAlpha(c.alpha);
    dialog.SetColourKey(c.key);
    ASSERT_NE(dialog.Open(), nullptr);
    EXPECT_EQ((dialog.GetExStyle() & WS_EX_LAYERED) != 0, c.layered);
    if (!c.layered) {
        return;
    }
    COLORREF key = 0;
    BYTE opacity = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(dialog.GetSafeHwnd(), &key, &opacity, &flags));
    EXPECT_EQ(flags, c.flags);
    // Wine reports the opacity only with the alpha flag; the colour key alone reads back opacity 0.
    if ((flags & LWA_ALPHA) != 0) {
        EXPECT_EQ(opacity, c.opacity);
    }
    if ((flags & LWA_COLORKEY) != 0) {
        EXPECT_EQ(key, c.key);
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, TranslucencyTest,
                         testing::Values(TranslucencyCase{"HalfOpacityBeatsTheColourKey", 128, 0x00FF00FF, true,
                                                          LWA_ALPHA, 128},
                                         TranslucencyCase{"OpacityAlone", 200, 0xFFFFFF, true, LWA_ALPHA, 200},
                                         TranslucencyCase{"ColourKeyAlone", 255, 0x00FF00FF, true, LWA_COLORKEY, 255},
                                         TranslucencyCase{"NeitherLeavesTheWindowOpaque", 255, 0xFFFFFF, false, 0, 0}),
                         [](const testing::TestParamInfo<TranslucencyCase>& info) { return info.param.name; });

TEST(MDialogTest, EmptyMessageRectangleBecomesAStripAboveTheBottom) {
    TestDialog dialog;
    ASSERT_NE(dialog.Open(), nullptr);
    dialog.SetMessage(L"saved", CRect(), static_cast<Ovrix::MsgLevel>(0));
    EXPECT_EQ(dialog.Manager().GetMessageRect(), CRect(100, 240, 300, 298));
    dialog.SetMessageOffset(-20);
    dialog.SetMessage(L"saved", CRect(0, 0, 0, 0), static_cast<Ovrix::MsgLevel>(0));
    EXPECT_EQ(dialog.Manager().GetMessageRect(), CRect(100, 220, 300, 278));
    dialog.SetMessage(L"saved", CRect(5, 6, 70, 80), static_cast<Ovrix::MsgLevel>(0));
    EXPECT_EQ(dialog.Manager().GetMessageRect(), CRect(5, 6, 70, 80)) << "a given rectangle is used as it is";
}

TEST(MDialogTest, BalloonAnchorSitsUnderTheControlInScreenCoordinates) {
    TestDialog dialog;
    ASSERT_NE(dialog.Open(), nullptr);
    MControl* control = dialog.CreateControl(L"MButton", 7, CRect(10, 20, 110, 40), L"", 1, 1);
    ASSERT_NE(control, nullptr);
    const LONG x = kScreenRect.left;
    const LONG y = kScreenRect.top;
    EXPECT_EQ(dialog.GetAirBladderPoint(control, 1), CPoint(x + 60, y + 40));
    EXPECT_EQ(dialog.GetAirBladderPoint(control, 2), CPoint(x + 110, y + 40));
    EXPECT_EQ(dialog.GetAirBladderPoint(control, 0), CPoint(x + 10, y + 40));
    EXPECT_EQ(dialog.GetAirBladderPoint(control, 9), CPoint(x + 10, y + 40));
    EXPECT_EQ(dialog.GetAirBladderPoint(nullptr, 1), CPoint(0, 0));
}

TEST(MDialogTest, BalloonOnTheZeroLinesIsRefused) {
    TestDialog dialog;
    ASSERT_NE(dialog.Open(), nullptr);
    const auto type = static_cast<Ovrix::AIRBLADDER_TYPE>(1);
    EXPECT_FALSE(dialog.SetAirBladderMsg(L"tip", POINT{0, 40}, type));
    EXPECT_FALSE(dialog.SetAirBladderMsg(L"tip", POINT{40, 0}, type));
    EXPECT_TRUE(dialog.SetAirBladderMsg(L"tip", POINT{40, 40}, type));
}

TEST(MDialogTest, TooltipControlIdIsKeptByTheDialog) {
    TestDialog dialog;
    EXPECT_EQ(dialog.GetTooltipCtrlID(), 0);
    dialog.SetTooltipCtrlID(12);
    EXPECT_EQ(dialog.GetTooltipCtrlID(), 12);
    EXPECT_EQ(dialog.Manager().GetTooltipCtrlID(), 0) << "the paint manager keeps its own";
}

TEST(MDialogTest, SizeMessagesLayOutOnlyClientAreasLargerThanOnePixel) {
    TestDialog dialog;
    const HWND window = dialog.Open();
    ASSERT_NE(window, nullptr);
    dialog.m_sizes.clear();
    ::SetWindowPos(window, nullptr, 0, 0, 1, 50, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(window, nullptr, 0, 0, 50, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(dialog.m_sizes.empty());
    ::SetWindowPos(window, nullptr, 0, 0, 120, 80, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_FALSE(dialog.m_sizes.empty());
    EXPECT_EQ(dialog.m_sizes.back(), CRect(0, 0, 120, 80));
}

TEST(MDialogTest, ControlsCreatedByTheDialogReportToItAndAreFiledByKind) {
    TestDialog dialog;
    ASSERT_NE(dialog.Open(), nullptr);
    MControl* text = dialog.CreateArea(L"MText", 31, CRect(0, 0, 50, 20), L"title", 1, 1);
    MControl* button = dialog.CreateControl(L"MButton", 33, CRect(0, 30, 50, 50), L"OK", 1, 1);
    ASSERT_NE(text, nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(text->GetParantObject(), static_cast<Ovrix::MObject*>(&dialog));
    EXPECT_EQ(dialog.GetControls().size(), 1u);
    EXPECT_EQ(dialog.GetControls()[0], button);
    EXPECT_EQ(dialog.GetControl(31), text);
    EXPECT_FALSE(text->IsEnabled()) << "a text takes only the visible flag";
    EXPECT_EQ(dialog.CreateControl(L"mbutton", 34, CRect(), L"", 1, 1), nullptr);
}

} // namespace
