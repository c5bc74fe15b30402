// Picture, text and button controls on a real dialog under Wine, checked by the pixels the dialog paints and by
// synthesised mouse messages.
#include <Ovrix/Ovrix.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/OvrixTestSupport.h"

namespace {

using Ovrix::CPoint;
using Ovrix::CRect;
using Ovrix::MButton;
using Ovrix::MPicture;
using Ovrix::MText;
using OvrixTest::Surface;

// Away from the other window tests' windows.
const CRect kScreenRect(640, 420, 1000, 660);
constexpr std::uint32_t kBackground = 0xC8C8C8;
// The face the library embeds as its private font; the host's copy is what Wine finds by name.
const wchar_t kFace[] = L"DejaVu Sans";
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;
constexpr std::uint32_t kYellow = 0xFFFF00;
constexpr std::uint32_t kMagenta = 0xFF00FF;
constexpr std::uint32_t kCyan = 0x00FFFF;

std::wstring Unique(const wchar_t* stem) {
    return std::wstring(stem) + std::to_wstring(::GetCurrentProcessId()) + L".png";
}

bool Near(std::uint32_t actual, std::uint32_t expected, int tolerance = 24) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            return false;
        }
    }
    return true;
}

std::string Hex(std::uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof(text), "%06X", rgb);
    return text;
}

struct Notice {
    UINT id;
    UINT code;
    bool operator==(const Notice& other) const { return id == other.id && code == other.code; }
};

class ControlDialog : public Ovrix::MDialog {
public:
    ~ControlDialog() override { DestroyWindow(); }
    LRESULT OnMessage(UINT id, UINT code, WPARAM, LPARAM) override {
        m_notices.push_back({id, code});
        return 0;
    }
    HWND Open() {
        const HWND window = Create(nullptr, L"controls", WS_POPUP, WS_EX_TOPMOST, kScreenRect);
        if (window != nullptr) {
            EnableWndDrag(FALSE);
            m_PaintManager.SetBackColor(kBackground, kBackground);
            ::ShowWindow(window, SW_SHOWNA);
            ::UpdateWindow(window);
        }
        return window;
    }
    Ovrix::PaintManager& Manager() { return m_PaintManager; }
    // Repaints the window without touching any control's cache and reads its client area back.
    void Capture(Surface& surface) {
        ::InvalidateRect(m_hWnd, nullptr, FALSE);
        ::UpdateWindow(m_hWnd);
        const HDC window = ::GetDC(m_hWnd);
        ::BitBlt(surface.Dc(), 0, 0, surface.Width(), surface.Height(), window, 0, 0, SRCCOPY);
        ::ReleaseDC(m_hWnd, window);
        ::GdiFlush();
    }
    std::vector<Notice> m_notices;
};

class ControlsTest : public testing::Test {
protected:
    void SetUp() override {
        // Wine has no Arial, the library's default face: without a family a title is not drawn at all.
        Ovrix::Manager::SetFontName(kFace);
        ASSERT_NE(m_dialog.Open(), nullptr);
        OvrixTest::PumpPending();
    }
    void TearDown() override {
        Ovrix::Manager::SetFontName(L"Arial");
        for (const std::wstring& name : m_images) {
            OvrixTest::DeleteSkinImage(name);
        }
    }
    std::wstring Image(const wchar_t* stem, int width, int height,
                       const std::function<void(Gdiplus::Graphics&)>& painter) {
        m_images.push_back(OvrixTest::WriteSkinPicture(Unique(stem), width, height, painter));
        return m_images.back();
    }
    // 30 x 20: red top-left, blue top-right, green bottom-left, yellow bottom-right.
    std::wstring Quadrants() {
        return Image(L"quadrants", 30, 20, [](Gdiplus::Graphics& g) {
            const std::pair<Gdiplus::ARGB, Gdiplus::Rect> parts[] = {
                {0xFFFF0000, Gdiplus::Rect(0, 0, 15, 10)},
                {0xFF0000FF, Gdiplus::Rect(15, 0, 15, 10)},
                {0xFF00FF00, Gdiplus::Rect(0, 10, 15, 10)},
                {0xFFFFFF00, Gdiplus::Rect(15, 10, 15, 10)},
            };
            for (const auto& [color, rect] : parts) {
                const Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
                g.FillRectangle(&brush, rect);
            }
        });
    }
    // 30 x 20: a 4-pixel magenta border around cyan.
    std::wstring Bordered() {
        return Image(L"bordered", 30, 20, [](Gdiplus::Graphics& g) {
            g.Clear(Gdiplus::Color(0xFFFF00FF));
            const Gdiplus::SolidBrush inside{Gdiplus::Color(0xFF00FFFF)};
            g.FillRectangle(&inside, 4, 4, 22, 12);
        });
    }
    // Four 20 x 10 cells: red, green, blue, yellow.
    std::wstring Strip() {
        return Image(L"strip", 80, 10, [](Gdiplus::Graphics& g) {
            const Gdiplus::ARGB cells[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00};
            for (int i = 0; i < 4; ++i) {
                const Gdiplus::SolidBrush brush{Gdiplus::Color(cells[i])};
                g.FillRectangle(&brush, i * 20, 0, 20, 10);
            }
        });
    }
    std::uint32_t PixelAt(CPoint point) {
        Surface surface(kScreenRect.Width(), kScreenRect.Height());
        m_dialog.Capture(surface);
        return surface.Rgb(point.x, point.y);
    }
    LRESULT Send(UINT message, WPARAM wParam, CPoint point) {
        return m_dialog.SendMessageW(message, wParam, MAKELPARAM(point.x, point.y));
    }
    // Leave tracking looks at the real pointer, so it goes where the message says the mouse is.
    void MoveTo(CPoint point) {
        ::SetCursorPos(kScreenRect.left + point.x, kScreenRect.top + point.y);
        Send(WM_MOUSEMOVE, 0, point);
    }

    ControlDialog m_dialog;
    std::vector<std::wstring> m_images;
};

// ---- Picture ----

struct Probe {
    CPoint point;
    std::uint32_t rgb;
};

struct PictureCase {
    const char* name;
    bool bordered;
    int mode;
    std::vector<Probe> probes;
};

class PictureModeTest : public ControlsTest, public testing::WithParamInterface<PictureCase> {};

// The picture sits at (20, 20) and is 70 x 50; the probes are relative to it.
TEST_P(PictureModeTest, DrawsTheImageAsTheModeSays) {
    const PictureCase& c = GetParam();
    const CRect rect(20, 20, 90, 70);
    auto* picture = static_cast<MPicture*>(m_dialog.CreateArea(L"MPicture", 5, rect, L"ignored", 1, 1));
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->SetImage((c.bordered ? Bordered() : Quadrants()).c_str(), 1), 1);
    EXPECT_EQ(picture->GetImageSize(), Ovrix::CSize(30, 20));
    if (c.mode == 4) {
        EXPECT_EQ(picture->SetShowModeMID(4, 4, 4, 4), 1);
    } else if (c.mode == 5) {
        picture->SetCustomRect(CRect(0, 0, 15, 10));
        picture->SetShowMode(Ovrix::SHOW_MODE_CUSTOM, 4);
    } else {
        picture->SetShowMode(static_cast<Ovrix::enumShowMode>(c.mode), 4);
    }
    Surface surface(kScreenRect.Width(), kScreenRect.Height());
    m_dialog.Capture(surface);
    for (const Probe& probe : c.probes) {
        const std::uint32_t actual = surface.Rgb(rect.left + probe.point.x, rect.top + probe.point.y);
        EXPECT_TRUE(Near(actual, probe.rgb)) << "at (" << probe.point.x << ", " << probe.point.y << "): " << Hex(actual)
                                             << ", expected " << Hex(probe.rgb);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, PictureModeTest,
    testing::Values(
        // Natural size, left and vertically centred: x 0..29, y 15..34.
        PictureCase{"Natural",
                    false,
                    0,
                    {{{2, 17}, kRed},
                     {{27, 17}, kBlue},
                     {{2, 32}, kGreen},
                     {{27, 32}, kYellow},
                     {{2, 10}, kBackground},
                     {{40, 25}, kBackground},
                     {{2, 40}, kBackground}}},
        // Tiles of 30, 30, 10 by 20, 20, 10 pixels, each the cell's top-left part, cropped, not squeezed.
        PictureCase{"Tiled",
                    false,
                    1,
                    {{{2, 2}, kRed},
                     {{32, 2}, kRed},
                     {{47, 2}, kBlue},
                     {{62, 2}, kRed},
                     {{62, 48}, kRed},
                     {{62, 35}, kGreen},
                     {{47, 35}, kYellow},
                     {{2, 42}, kRed}}},
        PictureCase{"Stretched", false, 2, {{{5, 5}, kRed}, {{65, 5}, kBlue}, {{5, 45}, kGreen}, {{65, 45}, kYellow}}},
        // A 4-pixel corner keeps the border 4 pixels wide where a stretch would widen it.
        PictureCase{"NineGrid",
                    true,
                    3,
                    {{{1, 25}, kMagenta},
                     {{68, 25}, kMagenta},
                     {{35, 1}, kMagenta},
                     {{35, 48}, kMagenta},
                     {{6, 25}, kCyan},
                     {{63, 25}, kCyan},
                     {{35, 6}, kCyan},
                     {{35, 25}, kCyan}}},
        PictureCase{
            "NineGridMargins",
            true,
            4,
            {{{1, 25}, kMagenta}, {{68, 25}, kMagenta}, {{35, 1}, kMagenta}, {{6, 25}, kCyan}, {{35, 25}, kCyan}}},
        PictureCase{"CustomSource", false, 5, {{{5, 5}, kRed}, {{65, 45}, kRed}, {{35, 25}, kRed}}}),
    [](const testing::TestParamInfo<PictureCase>& info) { return info.param.name; });

TEST_F(ControlsTest, PictureAlignedRightAndBottom) {
    auto* picture = static_cast<MPicture*>(m_dialog.CreateArea(L"MPicture", 5, CRect(20, 20, 90, 70), L"", 1, 1));
    ASSERT_EQ(picture->SetImage(Quadrants().c_str(), 1), 1);
    picture->SetAlignment(2, 8);
    EXPECT_TRUE(Near(PixelAt(CPoint(20 + 42, 20 + 32)), kRed));
    EXPECT_TRUE(Near(PixelAt(CPoint(20 + 68, 20 + 48)), kYellow));
    EXPECT_TRUE(Near(PixelAt(CPoint(20 + 30, 20 + 25)), kBackground));
}

TEST_F(ControlsTest, PictureSameModeAndCornerIsNoChange) {
    auto* picture = static_cast<MPicture*>(m_dialog.CreateArea(L"MPicture", 5, CRect(20, 20, 90, 70), L"", 1, 1));
    EXPECT_EQ(picture->SetShowMode(Ovrix::SHOW_MODE_FRAME, 4), 1);
    EXPECT_EQ(picture->SetShowMode(Ovrix::SHOW_MODE_FRAME, 4), 0);
    EXPECT_EQ(picture->SetShowMode(Ovrix::SHOW_MODE_FRAME, 6), 1);
    EXPECT_EQ(picture->SetShowMode(Ovrix::SHOW_MODE_NORMAL, 9), 1);
    EXPECT_EQ(picture->SetShowMode(Ovrix::SHOW_MODE_NORMAL, 3), 0) << "outside the nine-grid the corner does not count";
}

TEST_F(ControlsTest, PictureWithAMissingFileShowsOnlyTheBackground) {
    auto* picture = static_cast<MPicture*>(m_dialog.CreateArea(L"MPicture", 5, CRect(20, 20, 90, 70), L"", 1, 1));
    ASSERT_EQ(picture->SetImage(Quadrants().c_str(), 1), 1);
    EXPECT_EQ(picture->SetImage(L"no-such-picture.png", 1), 0);
    EXPECT_EQ(picture->GetImageSize(), Ovrix::CSize(0, 0));
    EXPECT_EQ(picture->SetImage(Quadrants().c_str(), 0), 0) << "a count below 1 is refused";
    EXPECT_TRUE(Near(PixelAt(CPoint(22, 37)), kBackground));
}

// ---- Text ----

// Ink inside the window's one-pixel frame: the frame colour and the fill over it land a shade apart, each drawn
// nearly opaque over black.
CRect InteriorInk(const Surface& surface) {
    const std::uint32_t background = surface.Rgb(surface.Width() / 2, surface.Height() - 3);
    CRect bounds(surface.Width(), surface.Height(), 0, 0);
    for (int y = 1; y < surface.Height() - 1; ++y) {
        for (int x = 1; x < surface.Width() - 1; ++x) {
            if (surface.Rgb(x, y) != background) {
                bounds.left = std::min<LONG>(bounds.left, x);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
        }
    }
    return bounds.IsRectEmpty() ? CRect() : bounds;
}

class TextTest : public ControlsTest {
protected:
    MText* AddText(CRect rect, const wchar_t* title) {
        auto* text = static_cast<MText*>(m_dialog.CreateArea(L"MText", 31, rect, title, 1, 1));
        text->SetTextColor(Gdiplus::Color(0xFF000000));
        return text;
    }
    // Ink of the control's rectangle relative to it; the rest of the window must be untouched.
    CRect Ink(CRect rect) {
        Surface surface(kScreenRect.Width(), kScreenRect.Height());
        m_dialog.Capture(surface);
        const CRect all = InteriorInk(surface);
        EXPECT_FALSE(all.IsRectEmpty()) << "the text drew nothing";
        EXPECT_GE(all.left, rect.left);
        EXPECT_GE(all.top, rect.top);
        EXPECT_LE(all.right, rect.right);
        EXPECT_LE(all.bottom, rect.bottom);
        CRect relative = all;
        relative.OffsetRect(-rect.left, -rect.top);
        return relative;
    }
};

struct AlignmentCase {
    const char* name;
    UINT horizontal;
    UINT vertical;
    int left; // -1 near the left edge, 0 centred, 1 near the right edge
    int top;  // the same vertically
};

class TextAlignmentTest : public TextTest, public testing::WithParamInterface<AlignmentCase> {};

TEST_P(TextAlignmentTest, OneLinePlacedByTheAlignmentCodes) {
    const AlignmentCase& c = GetParam();
    const CRect rect(20, 20, 260, 80);
    MText* text = AddText(rect, L"Mid");
    text->SetAlignment(c.horizontal, c.vertical);
    const CRect ink = Ink(rect);
    const int leftGap = ink.left;
    const int rightGap = rect.Width() - ink.right;
    const int topGap = ink.top;
    const int bottomGap = rect.Height() - ink.bottom;
    const auto placed = [](int where, int nearGap, int farGap) {
        if (where < 0) {
            return nearGap < 6 && farGap > 20;
        }
        if (where > 0) {
            return farGap < 6 && nearGap > 20;
        }
        return std::abs(nearGap - farGap) <= 4;
    };
    EXPECT_TRUE(placed(c.left, leftGap, rightGap)) << "gaps left " << leftGap << " right " << rightGap;
    EXPECT_TRUE(placed(c.top, topGap, bottomGap) || (c.top == 0 && std::abs(topGap - bottomGap) <= 6))
        << "gaps top " << topGap << " bottom " << bottomGap;
}

INSTANTIATE_TEST_SUITE_P(Codes, TextAlignmentTest,
                         testing::Values(AlignmentCase{"CentredBothWays", 1, 4, 0, 0},
                                         AlignmentCase{"LeftTop", 0, 0, -1, -1},
                                         AlignmentCase{"RightBottom", 2, 8, 1, 1}),
                         [](const testing::TestParamInfo<AlignmentCase>& info) { return info.param.name; });

const wchar_t kLongText[] = L"A newer version is ready to install. The program closes while the installer runs and "
                            L"starts again when it is done.";

TEST_F(TextTest, MultiLineWrapsInsideTheRectangleAndCentresTheBlock) {
    const CRect rect(20, 20, 220, 120);
    MText* text = AddText(rect, kLongText);
    text->SetAlignment(1, 4);
    text->EnableMultiLine(1);
    text->EnableVCenter(1);
    text->SetTitle(kLongText);
    const CRect ink = Ink(rect);
    EXPECT_GT(ink.Height(), 40) << "several lines";
    EXPECT_LE(std::abs(ink.top - (rect.Height() - ink.bottom)), 6) << "the block is centred vertically";
}

TEST_F(TextTest, OneLineTextLongerThanTheControlIsCutAtItsEdge) {
    const CRect rect(20, 20, 220, 60);
    AddText(rect, kLongText);
    const CRect ink = Ink(rect);
    EXPECT_LT(ink.Height(), 25) << "one line only";
    EXPECT_GT(ink.right, rect.Width() - 12) << "the line runs to the edge";
}

TEST_F(TextTest, TextBackgroundFillsTheWholeControl) {
    const CRect rect(20, 20, 120, 60);
    MText* text = AddText(rect, L"");
    text->EnableTextBack(1, Gdiplus::Color(0xFF0000FF));
    EXPECT_TRUE(Near(PixelAt(CPoint(21, 21)), kBlue));
    EXPECT_TRUE(Near(PixelAt(CPoint(119, 59)), kBlue));
    EXPECT_TRUE(Near(PixelAt(CPoint(121, 61)), kBackground));
}

// ---- Button ----

class ButtonTest : public ControlsTest {
protected:
    void SetUp() override {
        ControlsTest::SetUp();
        m_button = static_cast<MButton*>(m_dialog.CreateControl(L"MButton", 33, kButton, L"", 1, 1));
        ASSERT_NE(m_button, nullptr);
        ASSERT_EQ(m_button->SetImage(Strip().c_str(), 4), 1);
        m_button->SetFrameSize(2);
        // Off the button to begin with.
        MoveTo(kOutside);
    }
    std::uint32_t Shown() { return PixelAt(CPoint(kButton.left + 50, kButton.top + 15)); }

    const CRect kButton{40, 100, 140, 130};
    const CPoint kInside{90, 115};
    const CPoint kOutside{200, 200};
    MButton* m_button = nullptr;
};

TEST_F(ButtonTest, EachStateShowsItsCellOfTheStrip) {
    EXPECT_TRUE(Near(Shown(), kRed)) << Hex(Shown());
    MoveTo(kInside);
    EXPECT_EQ(m_button->GetState(), Ovrix::BUTTON_HOVER);
    EXPECT_TRUE(Near(Shown(), kGreen)) << Hex(Shown());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    EXPECT_TRUE(Near(Shown(), kBlue)) << Hex(Shown());
    Send(WM_LBUTTONUP, 0, kInside);
    EXPECT_TRUE(Near(Shown(), kGreen));
    m_button->SetEnabled(FALSE);
    EXPECT_TRUE(Near(Shown(), kYellow)) << Hex(Shown());
}

TEST_F(ButtonTest, ClickReportsPressThenClickToTheDialog) {
    MoveTo(kInside);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    EXPECT_EQ(m_dialog.m_notices, (std::vector<Notice>{{33, 1}}));
    Send(WM_LBUTTONUP, 0, kInside);
    EXPECT_EQ(m_dialog.m_notices, (std::vector<Notice>{{33, 1}, {33, 2}}));
}

TEST_F(ButtonTest, ReleaseOutsideAfterAPressIsNoClick) {
    MoveTo(kInside);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    MoveTo(CPoint(kButton.right + 20, kInside.y));
    EXPECT_EQ(m_button->GetState(), Ovrix::BUTTON_PRESSED) << "moving out keeps it pressed";
    EXPECT_TRUE(Near(Shown(), kBlue));
    Send(WM_LBUTTONUP, 0, CPoint(kButton.right + 20, kInside.y));
    EXPECT_EQ(m_dialog.m_notices, (std::vector<Notice>{{33, 1}}));
    EXPECT_TRUE(Near(Shown(), kRed));
}

TEST_F(ButtonTest, DisabledButtonReportsNothingUntilEnabledAgain) {
    MoveTo(kInside);
    m_button->SetEnabled(FALSE);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, kInside);
    Send(WM_LBUTTONUP, 0, kInside);
    MoveTo(kInside);
    EXPECT_TRUE(m_dialog.m_notices.empty());
    EXPECT_TRUE(Near(Shown(), kYellow));
    m_button->SetEnabled(TRUE);
    EXPECT_TRUE(Near(Shown(), kRed)) << "enabled again it shows the normal cell";
}

TEST_F(ButtonTest, KeysAreLeftAlone) {
    EXPECT_FALSE(m_button->OnControlKeyDown(VK_RETURN, 1, 0));
    EXPECT_FALSE(m_button->OnControlKeyDown(VK_SPACE, 1, 0));
}

// Counts how often the cached cells are drawn again.
class CountingButton : public MButton {
public:
    CountingButton(Ovrix::MObject* parent, CRect rect) : MButton(parent, 40, rect, L"Go", TRUE, TRUE) {}
    void DrawControl(HDC& dc, CRect area) override {
        ++m_paints;
        if (!m_bUpdate) {
            ++m_rebuilds;
        }
        MButton::DrawControl(dc, area);
    }
    int m_paints = 0;
    int m_rebuilds = 0;
};

TEST_F(ControlsTest, StateChangeRepaintsFromTheCacheWithoutRebuildingIt) {
    const CRect rect(40, 100, 140, 130);
    auto* button = new CountingButton(&m_dialog, rect);
    button->SetManager(&m_dialog.Manager());
    m_dialog.GetControls().push_back(button);
    ASSERT_EQ(button->SetImage(Strip().c_str(), 4), 1);
    Surface surface(kScreenRect.Width(), kScreenRect.Height());
    m_dialog.Capture(surface);
    ASSERT_EQ(button->m_rebuilds, 1);
    const int paints = button->m_paints;

    MoveTo(CPoint(60, 105));
    ASSERT_TRUE(OvrixTest::PumpUntil([&] { return button->m_paints > paints; })) << "the hover repaints";
    EXPECT_EQ(button->m_rebuilds, 1) << "the hover cell comes from the cache";
    m_dialog.Capture(surface);
    EXPECT_TRUE(Near(surface.Rgb(60, 105), kGreen));

    button->SetTitle(L"Again");
    m_dialog.Capture(surface);
    EXPECT_EQ(button->m_rebuilds, 2) << "a new title rebuilds the cells";
}

} // namespace
