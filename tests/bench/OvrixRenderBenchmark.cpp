// Timing of the drawing helpers the skin paints with, into a surface the size of the main window (344 x 216).
// Google Benchmark exists only for the host build, so this times with QpcTiming.h (median batch). Not part of the test
// run; by hand:
//   scripts/wine-run.sh --prefix build/windows/wineprefix build/windows/bin/ovrix_render_benchmark.exe
#include <Ovrix/Ovrix.h>

#include <cstdio>
#include <memory>

#include "QpcTiming.h"

namespace {

constexpr int kWidth = 344;
constexpr int kHeight = 216;
constexpr int kBatches = 31;
constexpr int kRepetitionsPerBatch = 200;

} // namespace

int main() {
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        HDC screen = ::GetDC(nullptr);
        HDC dc = ::CreateCompatibleDC(screen);
        ::ReleaseDC(nullptr, screen);
        BYTE* bits = nullptr;
        HBITMAP surface = Ovrix::MRender::CreateARGB32Bitmap(dc, kWidth, kHeight, &bits);
        HGDIOBJ old = ::SelectObject(dc, surface);

        // A three-state 60 x 20 strip, like a skinned button's.
        Gdiplus::Bitmap strip(180, 20, PixelFormat32bppARGB);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 180; ++x) {
                strip.SetPixel(x, y, Gdiplus::Color(0xFF, (x * 7) & 0xFF, (y * 11) & 0xFF, 0x80));
            }
        }
        Gdiplus::Graphics graphics(dc);
        const double nineGrid = MedianMicroseconds([&] {
            Ovrix::MRender::DrawImageFrame(&graphics, &strip, Ovrix::CRect(0, 0, kWidth, kHeight), 60, 0, 60, 20, 6);
        });

        // The same with the cheapest sampling, to show what the default interpolation costs.
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        const double nineGridNearest = MedianMicroseconds([&] {
            Ovrix::MRender::DrawImageFrame(&graphics, &strip, Ovrix::CRect(0, 0, kWidth, kHeight), 60, 0, 60, 20, 6);
        });

        // The library's own font at the size of the temperature read-out.
        const HMODULE library = ::GetModuleHandleW(L"Ovrix.dll");
        const HRSRC resource = ::FindResourceW(library, MAKEINTRESOURCEW(106), L"TTF");
        void* fontBytes = ::LockResource(::LoadResource(library, resource));
        const DWORD fontSize = ::SizeofResource(library, resource);
        DWORD installed = 0;
        HANDLE memoryFont = ::AddFontMemResourceEx(fontBytes, fontSize, nullptr, &installed);
        LOGFONTW description{};
        description.lfHeight = -24;
        description.lfCharSet = DEFAULT_CHARSET;
        wcscpy(description.lfFaceName, L"DejaVu Sans");
        HFONT font = ::CreateFontIndirectW(&description);
        const double text = MedianMicroseconds([&] {
            RECT rect{0, 0, kWidth, kHeight};
            Ovrix::MRender::DrawTextW(dc, &rect, L"CPU 45\u00B0C", RGB(255, 255, 255), font,
                                      DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        });

        Gdiplus::PrivateFontCollection collection;
        collection.AddMemoryFont(fontBytes, static_cast<INT>(fontSize));
        Gdiplus::FontFamily family;
        INT found = 0;
        collection.GetFamilies(1, &family, &found);
        Gdiplus::Font plusFont(&family, 24.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        const double bounds = MedianMicroseconds([&] { Ovrix::MRender::GetTextBounds(&plusFont, L"CPU 45\u00B0C"); });

        std::printf("median of %d batches x %d repetitions, %d x %d 32-bit surface\n", kBatches, kRepetitionsPerBatch,
                    kWidth, kHeight);
        std::printf("DrawImageFrame (nine-grid, full surface): %8.1f us\n", nineGrid);
        std::printf("DrawImageFrame, nearest-neighbour:        %8.1f us\n", nineGridNearest);
        std::printf("DrawTextW (GDI, 24 px, centred):          %8.1f us\n", text);
        std::printf("GetTextBounds (GDI+ path, 24 px):         %8.1f us\n", bounds);

        ::DeleteObject(font);
        ::RemoveFontMemResourceEx(memoryFont);
        ::SelectObject(dc, old);
        ::DeleteObject(surface);
        ::DeleteDC(dc);
    }
    Gdiplus::GdiplusShutdown(token);
    return 0;
}
