// Library-wide state: scaling, theme and skin folder, font defaults, the window registry and the message loop.
#include <Ovrix/Ovrix.h>

#include <gtest/gtest.h>

#include "support/OvrixTestSupport.h"

namespace {

using Ovrix::Manager;

class ManagerTest : public testing::Test {
protected:
    void TearDown() override {
        Manager::SetScaleValue(1.0f);
        Manager::SetFont(L"Arial", 14);
    }
};

struct ScaleCase {
    float factor;
    int value;
    int expected;
};

void PrintTo(const ScaleCase& c, std::ostream* out) {
    *out << "value" << c.value << "-factor" << c.factor;
}

class ScaleTest : public ManagerTest, public testing::WithParamInterface<ScaleCase> {};

TEST_P(ScaleTest, ScalesInSinglePrecisionAndTruncatesTowardsZero) {
    Manager::SetScaleValue(GetParam().factor);
    EXPECT_EQ(Manager::GetScaleValue(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Factors, ScaleTest,
                         testing::Values(ScaleCase{1.0f, 7, 7}, ScaleCase{1.5f, 7, 10}, ScaleCase{1.5f, -3, -4},
                                         ScaleCase{1.25f, 14, 17}, ScaleCase{0.5f, 3, 1}, ScaleCase{2.0f, 0, 0}));

TEST_F(ManagerTest, DefaultsAreThoseOfALoadedLibrary) {
    EXPECT_EQ(Manager::GetScaleValue(), 1.0f);
    EXPECT_EQ(Manager::GetFontName(), L"Arial");
    EXPECT_EQ(Manager::GetFontWidth(), 14);
    EXPECT_EQ(Manager::GetSelectColor(), 0xFFBD30FFu);
    EXPECT_EQ(Manager::m_uControlID, 0u);
}

TEST_F(ManagerTest, SetFontReplacesNameThenSize) {
    Manager::SetFont(L"DejaVu Sans", 18);
    EXPECT_EQ(Manager::GetFontName(), L"DejaVu Sans");
    EXPECT_EQ(Manager::GetFontWidth(), 18);
    Manager::SetFontWidth(-2);
    EXPECT_EQ(Manager::GetFontWidth(), -2) << "no range check";
}

TEST_F(ManagerTest, ThemeIsFixedWithTrailingBackslash) {
    EXPECT_EQ(Manager::GetTheme(), L"theme1\\");
}

TEST_F(ManagerTest, SkinFolderIsTheProgramFolderPlusSkinsAndTheme) {
    wchar_t program[1024];
    const DWORD length = ::GetModuleFileNameW(nullptr, program, 1024);
    ASSERT_GT(length, 0u);
    std::wstring folder(program, length);
    folder.resize(folder.find_last_of(L'\\') + 1);
    EXPECT_EQ(Ovrix::GetModuleFolder(), folder);
    EXPECT_EQ(Ovrix::GetSkinFolder(), folder + L"skins\\theme1\\");
}

TEST_F(ManagerTest, RegistryKeepsAPointerOnceAndForgetsItOnOneDelete) {
    auto* window = reinterpret_cast<Ovrix::MWindow*>(0x1000);
    auto* other = reinterpret_cast<Ovrix::MWindow*>(0x2000);
    Manager::AddWnd(window);
    Manager::AddWnd(window);
    Manager::AddWnd(other);
    Manager::DeleteWnd(window);
    EXPECT_FALSE(Manager::IsWndRegistered(window));
    EXPECT_TRUE(Manager::IsWndRegistered(other));
    Manager::DeleteWnd(reinterpret_cast<Ovrix::MWindow*>(0x3000));
    EXPECT_TRUE(Manager::IsWndRegistered(other)) << "deleting an absent pointer changes nothing";
    Manager::DeleteWnd(other);
}

TEST_F(ManagerTest, GdiplusStartAndStopEmptyTheRegistry) {
    auto* window = reinterpret_cast<Ovrix::MWindow*>(0x1000);
    Manager::AddWnd(window);
    Manager::InitGdiplus();
    EXPECT_FALSE(Manager::IsWndRegistered(window));
    EXPECT_NE(Manager::m_gdiplusToken, 0u);
    Manager::AddWnd(window);
    Manager::UnInitGdiplus();
    EXPECT_FALSE(Manager::IsWndRegistered(window));
}

TEST_F(ManagerTest, TraceAcceptsAnyArgumentsAndDoesNothing) {
    Ovrix::M_Trace(L"%s %d", L"x", 1);
}

class CountingWindow : public Ovrix::MWindow {
public:
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_APP + 1) {
            ++m_seen;
            return 0;
        }
        return MWindow::OnWindowMessage(message, wParam, lParam);
    }
    int m_seen = 0;
};

TEST_F(ManagerTest, MessageLoopDispatchesUntilTheQuitMessage) {
    CountingWindow window;
    ASSERT_NE(window.Create(nullptr, L"loop", WS_POPUP, 0, Ovrix::CRect(0, 0, 50, 50)), nullptr);
    window.PostMessageW(WM_APP + 1, 0, 0);
    window.PostMessageW(WM_APP + 1, 0, 0);
    ::PostQuitMessage(3);
    Manager::MessageLoop();
    EXPECT_EQ(window.m_seen, 2);
    window.DestroyWindow();
}

} // namespace
