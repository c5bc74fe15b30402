// Timing of the paint manager under Wine: one full repaint of a 344 x 216 layered window with ten controls, and
// routing 10,000 mouse moves over 100 controls. Median batch by QpcTiming.h. Not part of the test run; by hand:
//   scripts/wine-run.sh --prefix build/windows/wineprefix build/windows/bin/paint_manager_benchmark.exe
#include <Ovrix/Ovrix.h>

#include <cstdio>

#include "QpcTiming.h"

namespace {

constexpr int kWidth = 344;
constexpr int kHeight = 216;
constexpr int kMoves = 10000;

// A dialog-like window: every message goes to its paint manager first.
class BenchWindow : public Ovrix::MWindow, public Ovrix::MObject {
public:
    const wchar_t* GetWindowClassName() const override { return L"OvrixPaintBenchWindow"; }
    BOOL OnInitDialog() override {
        m_manager.Init(m_hWnd, this);
        return TRUE;
    }
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_ERASEBKGND) {
            return 1;
        }
        const LRESULT handled = m_manager.OnWindowMessage(message, wParam, lParam);
        return handled != 0 ? handled : MWindow::OnWindowMessage(message, wParam, lParam);
    }
    void OnDestroyMessage(HWND window) override { m_manager.OnDestroyMessage(window); }
    LRESULT OnControlUpdate(Ovrix::CRect area, BOOL rebuild, Ovrix::MControl* control) override {
        return m_manager.OnControlUpdate(area, rebuild, control);
    }
    Ovrix::PaintManager m_manager;
};

void Repaint(HWND window) {
    ::InvalidateRect(window, nullptr, FALSE);
    ::UpdateWindow(window);
}

} // namespace

int main() {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    Ovrix::Manager::SetInstance(::GetModuleHandleW(nullptr));
    // The pointer away from the windows, so that no hot-spot outline is drawn.
    ::SetCursorPos(0, 0);
    {
        BenchWindow layered;
        layered.m_manager.SetLayeredWindow(TRUE);
        layered.Create(nullptr, L"bench", WS_POPUP, WS_EX_TOPMOST, Ovrix::CRect(100, 100, 100 + kWidth, 100 + kHeight));
        ::ShowWindow(layered.GetSafeHwnd(), SW_SHOWNA);
        // Ten controls: translucent ramps and framed opaque areas, as a skin's panels would be.
        for (UINT i = 0; i < 10; ++i) {
            const int x = 8 + static_cast<int>(i % 5) * 66;
            const int y = 20 + static_cast<int>(i / 5) * 96;
            auto* area = static_cast<Ovrix::CArea*>(layered.m_manager.CreateControl(
                &layered, L"CArea", i + 1, Ovrix::CRect(x, y, x + 60, y + 80), L"", 1, 1));
            if (i % 2 == 0) {
                area->SetTransparent(10, 90, RGB(40 * i, 120, 200));
            } else {
                area->SetTransparent(0, 0, RGB(200, 40 * i, 60));
                area->SetFrame(TRUE, 0xFE101010, 0);
            }
        }
        const HWND window = layered.GetSafeHwnd();
        Repaint(window);
        const double cached = MedianMicroseconds([&] { Repaint(window); }, 11, 10);
        const double rebuilt = MedianMicroseconds(
            [&] {
                for (Ovrix::MControl* control : layered.m_manager.GetControls()) {
                    control->SetUpdate(FALSE, 0);
                }
                Repaint(window);
            },
            11, 10);
        layered.m_manager.LoadBKImage(101, L"PNG");
        layered.m_manager.SetBackMode(Ovrix::BKMODE_FRAME, 4);
        const double nineGrid = MedianMicroseconds([&] { Repaint(window); }, 11, 10);

        BenchWindow routed;
        routed.Create(nullptr, L"bench", WS_POPUP, WS_EX_TOPMOST, Ovrix::CRect(500, 100, 900, 500));
        ::ShowWindow(routed.GetSafeHwnd(), SW_SHOWNA);
        // 100 controls in a 10 x 10 grid of 40 x 40 cells.
        for (UINT i = 0; i < 100; ++i) {
            const int x = static_cast<int>(i % 10) * 40;
            const int y = static_cast<int>(i / 10) * 40;
            routed.m_manager.CreateControl(&routed, L"CArea", i + 1, Ovrix::CRect(x, y, x + 40, y + 40), L"", 1, 1);
        }
        ::SetCursorPos(700, 300);
        int step = 0;
        const double moves = MedianMicroseconds(
            [&] {
                for (int i = 0; i < kMoves; ++i, ++step) {
                    const int x = (step * 7) % 400;
                    const int y = (step * 13) % 400;
                    routed.m_manager.OnWindowMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
                }
            },
            11, 1);

        std::printf("median of 11 batches; layered window %d x %d with 10 area controls\n", kWidth, kHeight);
        std::printf("full repaint, controls cached (colour background): %9.1f us\n", cached);
        std::printf("full repaint, every control re-rendered:            %9.1f us\n", rebuilt);
        std::printf("full repaint, cached, nine-grid background image:   %9.1f us\n", nineGrid);
        std::printf("  (each paint ends with the paint cycle's 15 ms pause)\n");
        std::printf("%d mouse moves routed over 100 controls:          %9.1f us (%.2f us per move)\n", kMoves, moves,
                    moves / kMoves);
        routed.DestroyWindow();
        layered.DestroyWindow();
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
