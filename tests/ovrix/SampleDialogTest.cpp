// The sample dialog run modally, its buttons clicked by synthesised mouse messages.
#include <gtest/gtest.h>

#include "SampleDialog.h"
#include "support/OvrixTestSupport.h"

namespace {

using Ovrix::CRect;

const POINT kTopLeft{600, 560};

struct ClickCase {
    const char* name;
    CRect button;
    UINT result;
};

class SampleDialogTest : public testing::TestWithParam<ClickCase> {};

// The clicks wait in the queue and the modal loop delivers them, as it would the system's own.
TEST_P(SampleDialogTest, ClickingAButtonEndsTheModalLoopWithItsResult) {
    SampleDialog dialog;
    const HWND window = dialog.Open(kTopLeft);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(dialog.GetControl(SampleDialog::kTextId), nullptr);
    ASSERT_NE(dialog.GetControl(SampleDialog::kPictureId), nullptr);
    const CRect button = GetParam().button;
    const POINT inside{button.left + button.Width() / 2, button.top + button.Height() / 2};
    const LPARAM at = MAKELPARAM(inside.x, inside.y);
    // Leave tracking looks at the real pointer: it has to be over the button too.
    ::SetCursorPos(kTopLeft.x + inside.x, kTopLeft.y + inside.y);
    ::ShowWindow(window, SW_SHOWNA);
    ::UpdateWindow(window);
    ::PostMessageW(window, WM_MOUSEMOVE, 0, at);
    ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(window, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(dialog.ShowModal(SW_SHOWNA), GetParam().result);
    EXPECT_FALSE(::IsWindow(window));
}

INSTANTIATE_TEST_SUITE_P(Buttons, SampleDialogTest,
                         testing::Values(ClickCase{"Yes", SampleDialog::YesRect(), 6},
                                         ClickCase{"No", SampleDialog::NoRect(), 7}),
                         [](const testing::TestParamInfo<ClickCase>& info) { return info.param.name; });

TEST(SampleDialogCloseTest, ClosingWithoutAButtonReturnsZero) {
    SampleDialog dialog;
    ASSERT_NE(dialog.Open(kTopLeft), nullptr);
    dialog.PostMessageW(WM_CLOSE, 0, 0);
    EXPECT_EQ(dialog.ShowModal(SW_SHOWNA), 0u);
}

} // namespace
