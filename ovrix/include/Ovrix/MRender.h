// Stateless drawing and imaging helpers over GDI and GDI+. Called on the thread that paints.
// Images returned by the loaders belong to the caller, who deletes them.
#pragma once

#include <string>

#include "OvrixApi.h"

namespace Ovrix {

class OVRIX_API MRender {
public:
    // 0xFF000000 -> 0xFF000001: pure black with any alpha is nudged so it never reads as the colour key.
    static void CheckAlphaColor(Gdiplus::ARGB& color);

    static HICON LoadIconFromFile(std::wstring path);
    static Gdiplus::Image* LoadImageFromFile(std::wstring path);
    // 0 x 0 keeps the file's own size.
    static Gdiplus::Image* LoadImageFromFileEx(std::wstring path, int width, int height);
    static Gdiplus::Image* LoadImageFromIDResource(UINT id, std::wstring type, HINSTANCE module);

    static void FillSolidRect(HDC& dc, CRect rect, COLORREF color);
    static void FillSolidRect(HDC& dc, int x, int y, int cx, int cy, COLORREF color);
    // start and end are transparency percentages (0 opaque, 100 transparent); returns the last alpha used.
    static int DrawVerticalTransition(HDC& destination, HDC& source, CRect destinationRect, CRect sourceRect, int start,
                                      int end);
    static int DrawHorizontalTransition(HDC& destination, HDC& source, CRect destinationRect, CRect sourceRect,
                                        int start, int end);
    static void DrawRightBottomTransition(HDC& destination, HDC& source, CRect rect, int size, DWORD unused);

    // Nine-grid: corners 1:1, edges stretched along their length, centre stretched both ways.
    static void DrawImageFrame(Gdiplus::Graphics* graphics, Gdiplus::Image* image, CRect destination, int sourceX,
                               int sourceY, int sourceWidth, int sourceHeight, int corner);
    static void DrawImageFrameMID(Gdiplus::Graphics* graphics, Gdiplus::Image* image, CRect destination, int sourceX,
                                  int sourceY, int sourceWidth, int sourceHeight, int left, int top, int right,
                                  int bottom);

    static HDC CreateCompatibleDC(HDC dc);
    static HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
    // Bottom-up 32-bit section; bytes are B, G, R, A per pixel.
    static HBITMAP CreateARGB32Bitmap(HDC dc, int width, int height, BYTE** bits);
    static BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY);
    static BOOL BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                       DWORD rasterOperation);

    // Ink bounds of the laid-out text, with the line height added to the height.
    static Gdiplus::Size GetTextBounds(const Gdiplus::Font* font, const Gdiplus::StringFormat* format,
                                       std::wstring text);
    static Gdiplus::Size GetTextBounds(const Gdiplus::Font* font, const Gdiplus::StringFormat* format, int width,
                                       std::wstring text);
    static Gdiplus::Size GetTextBounds(const Gdiplus::Font* font, std::wstring text);
    // Horizontal codes 0 left, 1 centre, 2 right; vertical 0 top, 4 centre, 8 bottom.
    static CPoint GetOriginPoint(int width, int height, int contentWidth, int contentHeight, UINT horizontal,
                                 UINT vertical);
    // Absolute, and two pixels lower than the size form.
    static CPoint GetOriginPoint(CRect area, int contentWidth, int contentHeight, UINT horizontal, UINT vertical);

    static void DrawTextW(HDC dc, RECT* rect, const wchar_t* text, COLORREF color, HFONT font, UINT format);
    static void DrawColor(HDC dc, CRect rect, Gdiplus::ARGB color);
    static void DrawGradient(HDC dc, CRect rect, Gdiplus::ARGB first, Gdiplus::ARGB second, bool vertical, int steps);
    static void DrawRectangle(HDC& dc, CRect rect, int, int, int);
    static void DrawRoundRectange(Gdiplus::Graphics* graphics, float x, float y, float width, float height,
                                  float radius, Gdiplus::Color fill);
    static void DrawRoundRectange(Gdiplus::Graphics* graphics, float x, float y, float width, float height,
                                  float divisor, Gdiplus::Color pen, float penWidth, bool fill,
                                  Gdiplus::Color fillColor);
    static void AddRoundedRectangle(Gdiplus::GraphicsPath* path, float x, float y, float width, float height,
                                    float radius);
    static void RotatePoint(Gdiplus::PointF& point, float angle, Gdiplus::PointF centre);

    // Uncompressed BMP at the display's depth (24-bit above 8 bits per pixel).
    static BOOL SaveBitmapToFile(HBITMAP bitmap, std::wstring path);
    // Fitted inside the area, centred, aspect kept, never enlarged.
    static CRect GetImageRect(int imageWidth, int imageHeight, CRect area);
};

} // namespace Ovrix
