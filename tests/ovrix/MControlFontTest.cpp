// The font-bearing control base: defaults, repaint requests, the borrowed image strip and the cached GDI font.
#include <Ovrix/Ovrix.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/OvrixTestSupport.h"

namespace {

using Ovrix::CRect;
using Ovrix::CSize;
using Ovrix::MControl;
using Ovrix::MControlFont;

class RecordingParent : public Ovrix::MObject {
public:
    LRESULT OnControlUpdate(CRect, BOOL rebuild, MControl*) override {
        m_rebuilds.push_back(rebuild);
        return 0;
    }
    std::vector<BOOL> m_rebuilds;
};

class FontControl : public MControlFont {
public:
    FontControl(Ovrix::MObject* parent, BOOL visible = TRUE)
        : MControlFont(parent, 3, CRect(0, 0, 40, 20), L"title", visible, TRUE, TRUE) {}
    void DrawControl(HDC&, CRect) override {}
    Gdiplus::Color TextColor() const { return m_textColor; }
};

class MControlFontTest : public testing::Test {
protected:
    void TearDown() override {
        for (const std::wstring& name : m_images) {
            OvrixTest::DeleteSkinImage(name);
        }
    }
    std::wstring Strip(int width, int height) {
        const std::wstring name = L"font-strip" + std::to_wstring(::GetCurrentProcessId()) + L".png";
        m_images.push_back(OvrixTest::WriteSkinImage(name, width, height, 0xFF336699));
        return name;
    }
    RecordingParent m_parent;
    Ovrix::PaintManager m_manager;
    std::vector<std::wstring> m_images;
};

TEST_F(MControlFontTest, NewControlHasTheDocumentedDefaults) {
    FontControl control(&m_parent);
    EXPECT_EQ(control.TextColor().GetValue(), 0xFFFFFFFFu);
    UINT horizontal = 9;
    UINT vertical = 9;
    control.GetAlignment(horizontal, vertical);
    EXPECT_EQ(horizontal, 0u);
    EXPECT_EQ(vertical, 4u);
    EXPECT_EQ(control.GetFontWidth(), Ovrix::Manager::GetFontWidth());
    EXPECT_EQ(control.GetTextFont(), Ovrix::Manager::GetFontName());
    EXPECT_EQ(control.GetImageCount(), 4);
    EXPECT_EQ(control.GetImageSize(), CSize(0, 0));
    EXPECT_EQ(control.GetTitle(), L"title");
    EXPECT_EQ(control.GetImagePath(), L"");
}

TEST_F(MControlFontTest, AlignmentChangeAsksForOneRebuildOnlyWhenVisibleAndDifferent) {
    FontControl control(&m_parent);
    control.SetAlignment(0);
    control.SetVAlignment(4);
    EXPECT_TRUE(m_parent.m_rebuilds.empty());
    control.SetAlignment(1);
    EXPECT_EQ(m_parent.m_rebuilds, (std::vector<BOOL>{TRUE}));
    FontControl hidden(&m_parent, FALSE);
    hidden.SetAlignment(2, 8);
    EXPECT_EQ(m_parent.m_rebuilds.size(), 1u);
}

TEST_F(MControlFontTest, ImageWithoutAPaintManagerIsRefused) {
    FontControl control(&m_parent);
    EXPECT_EQ(control.SetImage(Strip(400, 30).c_str(), 4), 0);
    EXPECT_EQ(control.GetImageSize(), CSize(0, 0));
}

TEST_F(MControlFontTest, ImageCellComesFromTheCacheAndTheCountStaysTheControls) {
    const std::wstring strip = Strip(400, 30);
    FontControl first(&m_parent);
    first.SetManager(&m_manager);
    ASSERT_EQ(first.SetImage(strip.c_str(), 4), 1);
    EXPECT_EQ(first.GetImageSize(), CSize(100, 30));
    first.SetImageCount(2);
    EXPECT_EQ(first.GetImageSize(), CSize(100, 30));

    FontControl second(&m_parent);
    second.SetManager(&m_manager);
    ASSERT_EQ(second.SetImage(strip.c_str(), 2), 1);
    EXPECT_EQ(second.GetImageSize(), CSize(100, 30)) << "the first request fixed the cell width";
    EXPECT_EQ(second.GetImageCount(), 2);
    EXPECT_EQ(second.SetImage(L"no-such-strip.png", 4), 0);
    EXPECT_EQ(second.GetImageSize(), CSize(100, 30)) << "a failed load changes nothing";
}

TEST_F(MControlFontTest, GdiFontIsCachedUntilTheTitleChanges) {
    FontControl control(&m_parent);
    control.SetFont(L"Other", 18, 1 | 4);
    const HFONT font = control.GetGDIFont();
    ASSERT_NE(font, nullptr);
    LOGFONTW description{};
    ASSERT_NE(::GetObjectW(font, sizeof(description), &description), 0);
    EXPECT_EQ(description.lfHeight, -18);
    EXPECT_GE(description.lfWeight, 700);
    EXPECT_TRUE(description.lfUnderline);
    EXPECT_FALSE(description.lfItalic);
    EXPECT_EQ(std::wstring(description.lfFaceName), Ovrix::Manager::GetFontName()) << "the global face draws";
    EXPECT_EQ(control.GetGDIFont(), font);
    control.SetTitle(L"new");
    // A new font is built; the system may hand out the freed handle's value again, so only the face is compared.
    const HFONT rebuilt = control.GetGDIFont();
    ASSERT_NE(rebuilt, nullptr);
    ASSERT_NE(::GetObjectW(rebuilt, sizeof(description), &description), 0);
    EXPECT_EQ(description.lfHeight, -18);
}

TEST_F(MControlFontTest, PerControlFaceDoesNotChangeTheDrawingFamily) {
    FontControl control(&m_parent);
    control.SetManager(&m_manager);
    Ovrix::Manager::SetFontName(L"DejaVu Sans");
    control.SetTextFont(L"Courier New");
    EXPECT_EQ(control.GetTextFont(), L"Courier New");
    Gdiplus::FontFamily* family = control.GetFontFamily(control.GetTextFont().c_str());
    ASSERT_NE(family, nullptr);
    wchar_t name[LF_FACESIZE] = {};
    family->GetFamilyName(name);
    EXPECT_EQ(std::wstring(name), L"DejaVu Sans");
    Ovrix::Manager::SetFontName(L"Arial");
}

} // namespace
