// The paint cycle of a live window, checked by the pixels the window received: background colours and images,
// area controls, controls over them, the layered path and the repaint requests.
#include <Ovrix/Ovrix.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <tuple>

#include <gtest/gtest.h>

#include "support/OvrixTestSupport.h"

namespace {

using Ovrix::CArea;
using Ovrix::CPoint;
using Ovrix::CRect;
using Ovrix::PaintManager;
using OvrixTest::ManagedWindow;
using OvrixTest::ProbeControl;
using OvrixTest::Surface;

constexpr int kWidth = 344;
constexpr int kHeight = 216;
const CRect kScreenRect(60, 300, 60 + kWidth, 300 + kHeight);

// Colours drawn with alpha 0xFE land within a step or two of the requested value.
::testing::AssertionResult Near(std::uint32_t actual, std::uint32_t expected, int tolerance = 3) {
    for (int shift : {0, 8, 16}) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not near 0x" << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

class PaintTest : public testing::Test {
protected:
    void SetUp() override {
        // The pointer stays off the window so that the hot-spot outline is drawn only where a test asks for it.
        ::SetCursorPos(5, 5);
        ASSERT_NE(m_window.Open(kScreenRect), nullptr);
    }
    void TearDown() override {
        for (const std::wstring& name : m_files) {
            OvrixTest::DeleteSkinImage(name);
        }
    }
    PaintManager& Manager() { return m_window.m_manager; }
    ProbeControl* AddProbe(UINT id, CRect rect, COLORREF color) {
        auto* probe = new ProbeControl(&m_window, id, rect, color);
        probe->SetManager(&Manager());
        Manager().GetControls().push_back(probe);
        return probe;
    }
    // A 12 x 12 image: a 4-pixel red border around a blue centre.
    std::wstring WriteFramedImage() {
        const std::wstring name = L"paint_frame_image.png";
        OvrixTest::WriteSkinImage(name, 12, 12, 0xFFFF0000);
        Gdiplus::Bitmap image((Ovrix::GetSkinFolder() + name).c_str());
        Gdiplus::Bitmap copy(12, 12, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics graphics(&copy);
            graphics.Clear(Gdiplus::Color(0xFFFF0000));
            Gdiplus::SolidBrush blue(Gdiplus::Color(0xFF0000FF));
            graphics.FillRectangle(&blue, 4, 4, 4, 4);
        }
        const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
        copy.Save((Ovrix::GetSkinFolder() + L"paint_frame_centre.png").c_str(), &png, nullptr);
        m_files.push_back(name);
        m_files.push_back(L"paint_frame_centre.png");
        return L"paint_frame_centre.png";
    }
    ManagedWindow m_window;
    std::vector<std::wstring> m_files;
};

TEST_F(PaintTest, DefaultColoursDrawAGreyFrameAroundLightGrey) {
    Surface surface(kWidth, kHeight);
    m_window.PaintAndCapture(surface);
    EXPECT_TRUE(Near(surface.Rgb(0, 0), 0x646464));
    EXPECT_TRUE(Near(surface.Rgb(kWidth - 1, 100), 0x646464));
    EXPECT_TRUE(Near(surface.Rgb(100, kHeight - 1), 0x646464));
    EXPECT_TRUE(Near(surface.Rgb(1, 1), 0xC8C8C8));
    EXPECT_TRUE(Near(surface.Rgb(200, 100), 0xC8C8C8));
}

TEST_F(PaintTest, BackColourPairIsUsedWithoutAnImage) {
    Manager().SetBackColor(RGB(0, 0, 128), RGB(0, 128, 0));
    Surface surface(kWidth, kHeight);
    m_window.PaintAndCapture(surface);
    EXPECT_TRUE(Near(surface.Rgb(0, 50), 0x008000));
    EXPECT_TRUE(Near(surface.Rgb(50, 50), 0x000080));
}

struct BackModeCase {
    const char* name;
    Ovrix::enumBackMode mode;
    std::uint32_t corner;   // (1, 1)
    std::uint32_t nearEdge; // (20, 100): inside the stretched border, beside the nine-grid's
    std::uint32_t centre;   // (172, 108)
};

class BackModeTest : public PaintTest, public testing::WithParamInterface<BackModeCase> {};

TEST_P(BackModeTest, ImageIsDrawnByTheBackMode) {
    const BackModeCase& c = GetParam();
    ASSERT_TRUE(Manager().LoadBKImage(WriteFramedImage().c_str()));
    Manager().SetBackMode(c.mode, 4);
    Surface surface(kWidth, kHeight);
    m_window.PaintAndCapture(surface);
    EXPECT_TRUE(Near(surface.Rgb(1, 1), c.corner, 8));
    EXPECT_TRUE(Near(surface.Rgb(20, 100), c.nearEdge, 8));
    EXPECT_TRUE(Near(surface.Rgb(172, 108), c.centre, 8));
}

INSTANTIATE_TEST_SUITE_P(Modes, BackModeTest,
                         testing::Values(BackModeCase{"Stretch", Ovrix::BKMODE_STRETCH, 0xFF0000, 0xFF0000, 0x0000FF},
                                         BackModeCase{"NineGrid", Ovrix::BKMODE_FRAME, 0xFF0000, 0x0000FF, 0x0000FF},
                                         BackModeCase{"NotDrawn", Ovrix::BKMODE_NONE, 0x000000, 0x000000, 0x000000}),
                         [](const testing::TestParamInfo<BackModeCase>& info) { return info.param.name; });

TEST_F(PaintTest, MissingBackgroundImageFallsBackToTheColours) {
    EXPECT_FALSE(Manager().LoadBKImage(L"paint_no_such_image.png"));
    Surface surface(kWidth, kHeight);
    m_window.PaintAndCapture(surface);
    EXPECT_TRUE(Near(surface.Rgb(200, 100), 0xC8C8C8));
}

TEST_F(PaintTest, AreaRampUnderAControl) {
    auto* ramp = static_cast<CArea*>(Manager().CreateArea(&m_window, L"CArea", 1, CRect(20, 20, 120, 120), L"", 1, 1));
    ASSERT_NE(ramp, nullptr);
    // Opaque red at the top row fading to fully transparent at the bottom row.
    ramp->SetTransparent(0, 100, RGB(255, 0, 0));
    AddProbe(2, CRect(60, 60, 100, 80), RGB(0, 0, 255));
    Surface surface(kWidth, kHeight);
    m_window.PaintAndCapture(surface);
    EXPECT_TRUE(Near(surface.Rgb(30, 20), 0xFF0000, 6)) << "top row opaque";
    EXPECT_TRUE(Near(surface.Rgb(30, 119), 0xC8C8C8, 6)) << "bottom row shows the background";
    const std::uint32_t middle = surface.Rgb(30, 70);
    EXPECT_GT((middle >> 16) & 0xFF, 0xC8u);
    EXPECT_LT(middle & 0xFF, 0xB0u) << "half way: red over grey";
    EXPECT_EQ(surface.Rgb(70, 70), 0x0000FFu) << "the control is drawn over the area";
    EXPECT_TRUE(Near(surface.Rgb(130, 70), 0xC8C8C8)) << "nothing outside the area";
}

TEST_F(PaintTest, DefaultAreaTintsWithAlpha51AndAFramedAreaIsOpaque) {
    Manager().CreateArea(&m_window, L"CArea", 1, CRect(10, 10, 60, 60), L"", 1, 1);
    auto* framed =
        static_cast<CArea*>(Manager().CreateArea(&m_window, L"CArea", 2, CRect(100, 10, 150, 60), L"", 1, 1));
    framed->SetTransparent(0, 0, RGB(0, 255, 0));
    framed->SetFrame(TRUE, 0xFE0000FF, 0);
    Surface surface(kWidth, kHeight);
    m_window.PaintAndCapture(surface);
    // White over 0xC8 at alpha 51: 200 + 55 * 51 / 255.
    EXPECT_TRUE(Near(surface.Rgb(30, 30), 0xD3D3D3));
    EXPECT_TRUE(Near(surface.Rgb(100, 30), 0x0000FF)) << "frame";
    EXPECT_TRUE(Near(surface.Rgb(149, 59), 0x0000FF));
    EXPECT_TRUE(Near(surface.Rgb(101, 30), 0x00FF00)) << "fill inside the frame";
}

TEST_F(PaintTest, HotSpotOutlineFollowsThePointer) {
    Manager().SetBackColor(RGB(0, 0, 128), RGB(0, 0, 128));
    Surface surface(kWidth, kHeight);
    ::SetCursorPos(kScreenRect.left + 290, kScreenRect.top + 15);
    m_window.PaintAndCapture(surface);
    EXPECT_TRUE(Near(surface.Rgb(285, 8), 0xC8C8C8));
    EXPECT_TRUE(Near(surface.Rgb(295, 28), 0xC8C8C8));
    EXPECT_TRUE(Near(surface.Rgb(295, 18), 0x000080));
    ::SetCursorPos(kScreenRect.left + 305, kScreenRect.top + 28);
    m_window.PaintAndCapture(surface);
    EXPECT_TRUE(Near(surface.Rgb(285, 8), 0x000080));
}

// Under Wine the screen shows what UpdateLayeredWindow received, blended over the window beneath; the window's own
// DC does not (it keeps the last non-layered drawing).
void CaptureScreen(Surface& surface, const CRect& rect) {
    ::GdiFlush();
    const HDC screen = ::GetDC(nullptr);
    ::BitBlt(surface.Dc(), 0, 0, rect.Width(), rect.Height(), screen, rect.left, rect.top, SRCCOPY);
    ::ReleaseDC(nullptr, screen);
    ::GdiFlush();
}

TEST_F(PaintTest, LayeredWindowShowsOnlyWhatWasDrawnOverTheWindowBeneath) {
    Manager().SetBackColor(RGB(0, 160, 0), RGB(0, 160, 0));
    m_window.PaintAndCapture(*std::make_unique<Surface>(kWidth, kHeight));

    ManagedWindow layered;
    PaintManager& manager = layered.m_manager;
    manager.SetLayeredWindow(TRUE);
    ASSERT_NE(layered.Open(kScreenRect), nullptr);
    // No background at all: only the controls draw, with plain GDI, which leaves alpha at 0.
    ASSERT_TRUE(manager.LoadBKImage(WriteFramedImage().c_str()));
    manager.SetBackMode(Ovrix::BKMODE_NONE, 0);
    for (auto [id, rect, color] : {std::tuple{1u, CRect(10, 10, 50, 50), RGB(0, 0, 255)},
                                   std::tuple{2u, CRect(60, 10, 100, 50), RGB(0, 0, 0)}}) {
        auto* probe = new ProbeControl(&layered, id, rect, color);
        probe->SetManager(&manager);
        manager.GetControls().push_back(probe);
    }
    Surface surface(kWidth, kHeight);
    layered.PaintAndCapture(surface);
    EXPECT_NE(::GetWindowLongPtrW(layered.GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_LAYERED, 0) << "added by the paint";
    ASSERT_TRUE(OvrixTest::PumpUntil([&] {
        CaptureScreen(surface, kScreenRect);
        return surface.Rgb(30, 30) == 0x0000FFu;
    })) << std::hex
        << surface.Rgb(30, 30);
    EXPECT_EQ(surface.Alpha(30, 30), 0xFF) << "GDI drawing in a colour becomes opaque";
    EXPECT_TRUE(Near(surface.Rgb(80, 30), 0x00A000)) << "GDI drawing in black stays transparent";
    EXPECT_TRUE(Near(surface.Rgb(200, 150), 0x00A000)) << "untouched pixels stay transparent";
}

TEST_F(PaintTest, RepaintRequestRefreshesLaterOverlappingControls) {
    ProbeControl* first = AddProbe(1, CRect(0, 0, 100, 100), 0);
    ProbeControl* overlapping = AddProbe(2, CRect(50, 50, 150, 150), 0);
    ProbeControl* apart = AddProbe(3, CRect(200, 0, 250, 50), 0);
    ProbeControl* last = AddProbe(4, CRect(80, 80, 120, 120), 0);
    ::UpdateWindow(m_window.GetSafeHwnd());
    for (ProbeControl* probe : {first, overlapping, apart, last}) {
        probe->SetUpdate(TRUE, 0);
    }
    Manager().OnControlUpdate(first->GetRect(), TRUE, first);
    EXPECT_FALSE(first->GetUpdate());
    EXPECT_FALSE(overlapping->GetUpdate());
    EXPECT_FALSE(last->GetUpdate());
    EXPECT_TRUE(apart->GetUpdate());
    RECT region{};
    ::GetUpdateRect(m_window.GetSafeHwnd(), &region, FALSE);
    EXPECT_EQ(CRect(region), CRect(0, 0, 150, 150)) << "the union of the request and what it refreshed";
    ::ValidateRect(m_window.GetSafeHwnd(), nullptr);

    for (ProbeControl* probe : {first, overlapping, apart, last}) {
        probe->SetUpdate(TRUE, 0);
    }
    Manager().OnControlUpdate(last->GetRect(), TRUE, last);
    EXPECT_FALSE(last->GetUpdate());
    EXPECT_TRUE(first->GetUpdate());
    EXPECT_TRUE(overlapping->GetUpdate());
    ::GetUpdateRect(m_window.GetSafeHwnd(), &region, FALSE);
    EXPECT_EQ(CRect(region), CRect(80, 80, 120, 120));
    EXPECT_EQ(Manager().OnControlUpdate(CRect(0, 0, 1, 1), TRUE, nullptr), 0);
}

TEST_F(PaintTest, EmptyUpdateRegionPaintsNothing) {
    ::UpdateWindow(m_window.GetSafeHwnd());
    EXPECT_FALSE(Manager().OnPaint());
}

TEST_F(PaintTest, SizeLimitsReplaceOnlyPositiveValues) {
    MINMAXINFO info{};
    info.ptMinTrackSize = {11, 12};
    info.ptMaxTrackSize = {900, 800};
    info.ptMaxSize = {901, 801};
    ::SendMessageW(m_window.GetSafeHwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 11);
    EXPECT_EQ(info.ptMaxSize.y, 801);

    Manager().SetWindowMixSize(200, 0);
    Manager().SetWindowMaxSize(0, 400);
    ::SendMessageW(m_window.GetSafeHwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 200);
    EXPECT_EQ(info.ptMinTrackSize.y, 12);
    EXPECT_EQ(info.ptMaxTrackSize.x, 900);
    EXPECT_EQ(info.ptMaxTrackSize.y, 400);
    EXPECT_EQ(info.ptMaxSize.y, 400);
    int width = 0;
    int height = 0;
    Manager().GetWindowMinSize(width, height);
    EXPECT_EQ(width, 200);
    Manager().GetWindowManSize(width, height);
    EXPECT_EQ(height, 400);
}

TEST_F(PaintTest, DropBitmapIsThePartOfTheControlsDrawing) {
    ProbeControl* probe = AddProbe(1, CRect(30, 40, 70, 60), RGB(255, 0, 255));
    const HBITMAP bitmap = Manager().GetDropBitmap(probe, CRect(0, 0, 40, 20), 0);
    ASSERT_NE(bitmap, nullptr);
    BITMAP described{};
    ::GetObjectW(bitmap, sizeof(described), &described);
    EXPECT_EQ(described.bmWidth, 40);
    EXPECT_EQ(described.bmHeight, 20);
    EXPECT_EQ(described.bmBitsPixel, 32);
    EXPECT_EQ(static_cast<const std::uint32_t*>(described.bmBits)[0] & 0xFFFFFF, 0xFF00FFu);
    ::DeleteObject(bitmap);
    EXPECT_EQ(Manager().GetDropBitmap(nullptr, CRect(0, 0, 1, 1), 0), nullptr);
}

} // namespace
