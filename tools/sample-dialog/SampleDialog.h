// A small dialog built only from the library's public classes: a picture, a wrapped text and two buttons. Its
// Yes and No buttons end the modal loop with the results 6 and 7. UI thread.
#pragma once

#include <Ovrix/Ovrix.h>

class SampleDialog : public Ovrix::MDialog {
public:
    static constexpr UINT kPictureId = 31;
    static constexpr UINT kTextId = 32;
    static constexpr UINT kYesId = 33;
    static constexpr UINT kNoId = 34;
    static constexpr int kWidth = 360;
    static constexpr int kHeight = 200;

    ~SampleDialog() override;

    void InitUI(Ovrix::CRect client) override;
    LRESULT OnMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam) override;

    // A pop-up of the dialog's size with its top-left corner at the given screen point.
    HWND Open(POINT topLeft);
    // Where each button sits, in client coordinates.
    static Ovrix::CRect YesRect();
    static Ovrix::CRect NoRect();
};
