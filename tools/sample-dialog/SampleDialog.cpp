#include "SampleDialog.h"

namespace {

constexpr COLORREF kBackground = 0xF2F2F2;
constexpr COLORREF kFrame = 0x8C8C8C;
constexpr Gdiplus::ARGB kInk = 0xFF141414;
const wchar_t kMessage[] = L"A newer firmware for the display is ready. The display goes dark for a moment while it "
                           L"is written. Install it now?";

} // namespace

SampleDialog::~SampleDialog() {
    DestroyWindow();
}

Ovrix::CRect SampleDialog::YesRect() {
    return Ovrix::CRect(70, 150, 170, 180);
}

Ovrix::CRect SampleDialog::NoRect() {
    return Ovrix::CRect(190, 150, 290, 180);
}

HWND SampleDialog::Open(POINT topLeft) {
    const HWND window = Create(nullptr, L"Sample dialog", WS_POPUP, WS_EX_TOPMOST,
                               Ovrix::CRect(topLeft.x, topLeft.y, topLeft.x + kWidth, topLeft.y + kHeight));
    // A press beside the buttons would start moving the window; the sample stays put.
    EnableWndDrag(FALSE);
    return window;
}

void SampleDialog::InitUI(Ovrix::CRect client) {
    m_PaintManager.SetBackColor(kBackground, kFrame);

    auto* picture = static_cast<Ovrix::MPicture*>(
        CreateArea(L"MPicture", kPictureId, Ovrix::CRect(20, 16, client.right - 20, 50), nullptr, 1, 1));
    if (picture != nullptr) {
        picture->SetImage(L"img_dev_cpu.png", 1);
        picture->SetAlignment(1, 4);
    }

    auto* text = static_cast<Ovrix::MText*>(
        CreateArea(L"MText", kTextId, Ovrix::CRect(20, 60, client.right - 20, 136), kMessage, 1, 1));
    if (text != nullptr) {
        text->SetAlignment(1, 4);
        text->EnableMultiLine(1);
        text->EnableVCenter(1);
        text->SetTextColor(Gdiplus::Color(kInk));
    }

    const struct {
        UINT id;
        Ovrix::CRect rect;
        const wchar_t* caption;
    } buttons[] = {{kYesId, YesRect(), L"Yes"}, {kNoId, NoRect(), L"No"}};
    for (const auto& entry : buttons) {
        auto* button =
            static_cast<Ovrix::MButton*>(CreateControl(L"MButton", entry.id, entry.rect, entry.caption, 1, 1));
        if (button != nullptr) {
            button->SetImage(L"img_button.png", 4);
            button->SetTextColor(Gdiplus::Color(kInk));
        }
    }
}

LRESULT SampleDialog::OnMessage(UINT id, UINT code, WPARAM, LPARAM) {
    if (code != Ovrix::kButtonClicked) {
        return 0;
    }
    if (id == kYesId) {
        DoYes();
        return 1;
    }
    if (id == kNoId) {
        DoNo();
        return 1;
    }
    return 0;
}
