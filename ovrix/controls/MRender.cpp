#include "Ovrix/MRender.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <shellapi.h>

namespace Ovrix {

namespace {

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
using GradientFillFunction = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// Looked up once per process; the magic static makes the first use thread-safe.
struct BlendEntryPoints {
    AlphaBlendFunction alphaBlend = nullptr;
    GradientFillFunction gradientFill = nullptr;

    BlendEntryPoints() {
        if (HMODULE library = ::LoadLibraryW(L"msimg32.dll")) {
            alphaBlend =
                reinterpret_cast<AlphaBlendFunction>(reinterpret_cast<void*>(::GetProcAddress(library, "AlphaBlend")));
            gradientFill = reinterpret_cast<GradientFillFunction>(
                reinterpret_cast<void*>(::GetProcAddress(library, "GradientFill")));
        }
    }
};

const BlendEntryPoints& EntryPoints() {
    static const BlendEntryPoints entryPoints;
    return entryPoints;
}

BLENDFUNCTION ConstantAlpha(int alpha, BYTE format = 0) {
    return BLENDFUNCTION{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), format};
}

struct TransitionAlphas {
    int first;
    int last;
};

// start and end are transparency percentages; A is the more opaque end, B the more transparent one.
TransitionAlphas TransitionRange(int start, int end) {
    const int low = std::min(start, end);
    const int high = std::max(start, end);
    return {static_cast<int>(255.0 - low * 255.0 / 100.0), static_cast<int>((100.0 - high) * 255.0 / 100.0)};
}

int Transition(HDC destination, HDC source, const CRect& destinationRect, const CRect& sourceRect, int start, int end,
               bool byRows) {
    const TransitionAlphas range = TransitionRange(start, end);
    const int count = byRows ? destinationRect.Height() : destinationRect.Width();
    if (count <= 0) {
        return 255;
    }
    const double step = static_cast<double>(range.first - range.last) / count;
    int alpha = 255;
    for (int i = 0; i < count; ++i) {
        alpha = end > start ? static_cast<int>(range.first - i * step) : static_cast<int>(range.last + i * step);
        if (byRows) {
            ::AlphaBlend(destination, destinationRect.left, destinationRect.top + i, destinationRect.Width(), 1, source,
                         sourceRect.left, sourceRect.top + i, destinationRect.Width(), 1, ConstantAlpha(alpha));
        } else {
            ::AlphaBlend(destination, destinationRect.left + i, destinationRect.top, 1, destinationRect.Height(),
                         source, sourceRect.left + i, sourceRect.top, 1, destinationRect.Height(),
                         ConstantAlpha(alpha));
        }
    }
    return alpha;
}

struct NineGrid {
    int left, top, right, bottom;
};

void DrawNineGrid(Gdiplus::Graphics* graphics, Gdiplus::Image* image, const CRect& d, int sx, int sy, int sw, int sh,
                  const NineGrid& m) {
    const int width = d.Width();
    const int height = d.Height();
    const auto piece = [&](int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH) {
        graphics->DrawImage(image, Gdiplus::Rect(x, y, w, h), srcX, srcY, srcW, srcH, Gdiplus::UnitPixel);
    };
    const int middleWidth = width - m.left - m.right;
    const int middleHeight = height - m.top - m.bottom;
    const int sourceMiddleWidth = sw - m.left - m.right;
    const int sourceMiddleHeight = sh - m.top - m.bottom;
    piece(d.left, d.top, m.left, m.top, sx, sy, m.left, m.top);
    piece(d.left, d.top + m.top, m.left, middleHeight, sx, sy + m.top, m.left, sourceMiddleHeight);
    piece(d.left, d.bottom - m.bottom, m.left, m.bottom, sx, sy + sh - m.bottom, m.left, m.bottom);
    piece(d.left + m.left, d.top, middleWidth, m.top, sx + m.left, sy, sourceMiddleWidth, m.top);
    piece(d.right - m.right, d.top, m.right, m.top, sx + sw - m.right, sy, m.right, m.top);
    piece(d.right - m.right, d.top + m.top, m.right, middleHeight, sx + sw - m.right, sy + m.top, m.right,
          sourceMiddleHeight);
    piece(d.right - m.right, d.bottom - m.bottom, m.right, m.bottom, sx + sw - m.right, sy + sh - m.bottom, m.right,
          m.bottom);
    piece(d.left + m.left, d.bottom - m.bottom, middleWidth, m.bottom, sx + m.left, sy + sh - m.bottom,
          sourceMiddleWidth, m.bottom);
    piece(d.left + m.left, d.top + m.top, middleWidth, middleHeight, sx + m.left, sy + m.top, sourceMiddleWidth,
          sourceMiddleHeight);
}

// Clockwise from the top edge; left open, as the fill and the outline both expect.
void AddClockwiseRoundRect(Gdiplus::GraphicsPath& path, float x, float y, float w, float h, float rx, float ry) {
    path.AddLine(x + rx, y, x + w - rx, y);
    path.AddArc(x + w - 2 * rx, y, 2 * rx, 2 * ry, 270.0f, 90.0f);
    path.AddLine(x + w, y + ry, x + w, y + h - ry);
    path.AddArc(x + w - 2 * rx, y + h - 2 * ry, 2 * rx, 2 * ry, 0.0f, 90.0f);
    path.AddLine(x + w - rx, y + h, x + rx, y + h);
    path.AddArc(x, y + h - 2 * ry, 2 * rx, 2 * ry, 90.0f, 90.0f);
    path.AddLine(x, y + h - ry, x, y + ry);
    path.AddArc(x, y, 2 * rx, 2 * ry, 180.0f, 90.0f);
}

bool HasFraction(Gdiplus::REAL value) {
    return value != std::floor(value);
}

struct PathMeasure {
    Gdiplus::RectF bounds;
    Gdiplus::REAL lineHeight = 0;
};

PathMeasure MeasureTextPath(const Gdiplus::Font* font, const Gdiplus::StringFormat* format, int width,
                            const std::wstring& text) {
    PathMeasure measure;
    Gdiplus::FontFamily family;
    font->GetFamily(&family);
    Gdiplus::GraphicsPath path;
    const Gdiplus::RectF layout(0.0f, 0.0f, static_cast<Gdiplus::REAL>(width), 0.0f);
    path.AddString(text.c_str(), static_cast<INT>(text.size()), &family, font->GetStyle(), font->GetSize(), layout,
                   format);
    path.GetBounds(&measure.bounds, nullptr, nullptr);
    measure.lineHeight = font->GetHeight(0.0f);
    return measure;
}

int LineHeightWithoutWidth(Gdiplus::REAL lineHeight) {
    return HasFraction(lineHeight) ? static_cast<int>(lineHeight + 4) : static_cast<int>(lineHeight) + 1;
}

} // namespace

void MRender::CheckAlphaColor(Gdiplus::ARGB& color) {
    if ((color & 0x00FFFFFF) == 0) {
        color += 1;
    }
}

HICON MRender::LoadIconFromFile(std::wstring path) {
    // The call may write the found icon's path back into the buffer.
    std::vector<wchar_t> buffer(std::max<std::size_t>(MAX_PATH, path.size() + 1), L'\0');
    std::copy(path.begin(), path.end(), buffer.begin());
    WORD index = 0;
    return ::ExtractAssociatedIconW(nullptr, buffer.data(), &index);
}

Gdiplus::Image* MRender::LoadImageFromFile(std::wstring path) {
    auto* image = new Gdiplus::Image(path.c_str());
    if (image->GetLastStatus() != Gdiplus::Ok) {
        delete image;
        return nullptr;
    }
    return image;
}

Gdiplus::Image* MRender::LoadImageFromFileEx(std::wstring path, int width, int height) {
    Gdiplus::Image* image = LoadImageFromFile(std::move(path));
    if (image == nullptr) {
        return nullptr;
    }
    if (width == 0 && height == 0) {
        width = static_cast<int>(image->GetWidth());
        height = static_cast<int>(image->GetHeight());
    }
    Gdiplus::Image* thumbnail = image->GetThumbnailImage(width, height, nullptr, nullptr);
    delete image;
    return thumbnail;
}

Gdiplus::Image* MRender::LoadImageFromIDResource(UINT id, std::wstring type, HINSTANCE module) {
    const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), type.c_str());
    if (resource == nullptr) {
        return nullptr;
    }
    const DWORD size = ::SizeofResource(module, resource);
    const HGLOBAL loaded = ::LoadResource(module, resource);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return nullptr;
    }
    const HGLOBAL block = ::GlobalAlloc(GMEM_FIXED, size);
    if (block == nullptr) {
        return nullptr;
    }
    std::memcpy(block, bytes, size);
    // The stream owns the block; GDI+ keeps the stream for as long as the image lives, so the block goes with
    // the image instead of staying behind for the rest of the process.
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, TRUE, &stream))) {
        ::GlobalFree(block);
        return nullptr;
    }
    Gdiplus::Image* image = Gdiplus::Image::FromStream(stream);
    stream->Release();
    ::FreeResource(loaded);
    return image;
}

void MRender::FillSolidRect(HDC& dc, CRect rect, COLORREF color) {
    ::SetBkColor(dc, color);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void MRender::FillSolidRect(HDC& dc, int x, int y, int cx, int cy, COLORREF color) {
    FillSolidRect(dc, CRect(x, y, x + cx, y + cy), color);
}

int MRender::DrawVerticalTransition(HDC& destination, HDC& source, CRect destinationRect, CRect sourceRect, int start,
                                    int end) {
    return Transition(destination, source, destinationRect, sourceRect, start, end, true);
}

int MRender::DrawHorizontalTransition(HDC& destination, HDC& source, CRect destinationRect, CRect sourceRect, int start,
                                      int end) {
    return Transition(destination, source, destinationRect, sourceRect, start, end, false);
}

void MRender::DrawRightBottomTransition(HDC& destination, HDC& source, CRect rect, int size, DWORD) {
    if (size <= 0) {
        return;
    }
    const int width = rect.Width();
    const int height = rect.Height();
    const double perStep = 255.0 / size;
    for (int i = 0; i < size; ++i) {
        for (int j = 0; j < size; ++j) {
            const double distance = std::min<double>(size, std::sqrt(static_cast<double>(i * i + j * j)));
            const int alpha = static_cast<int>(255.0 - distance * perStep);
            const int x = width - size + i;
            const int y = height - size + j;
            ::AlphaBlend(destination, x, y, 1, 1, source, x, y, 1, 1, ConstantAlpha(alpha));
        }
    }
}

void MRender::DrawImageFrame(Gdiplus::Graphics* graphics, Gdiplus::Image* image, CRect destination, int sourceX,
                             int sourceY, int sourceWidth, int sourceHeight, int corner) {
    DrawNineGrid(graphics, image, destination, sourceX, sourceY, sourceWidth, sourceHeight,
                 NineGrid{corner, corner, corner, corner});
}

void MRender::DrawImageFrameMID(Gdiplus::Graphics* graphics, Gdiplus::Image* image, CRect destination, int sourceX,
                                int sourceY, int sourceWidth, int sourceHeight, int left, int top, int right,
                                int bottom) {
    DrawNineGrid(graphics, image, destination, sourceX, sourceY, sourceWidth, sourceHeight,
                 NineGrid{left, top, right, bottom});
}

HDC MRender::CreateCompatibleDC(HDC dc) {
    return ::CreateCompatibleDC(dc);
}

HBITMAP MRender::CreateCompatibleBitmap(HDC dc, int width, int height) {
    return ::CreateCompatibleBitmap(dc, width, height);
}

HBITMAP MRender::CreateARGB32Bitmap(HDC dc, int width, int height, BYTE** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits != nullptr) {
        *bits = static_cast<BYTE*>(pixels);
    }
    return bitmap;
}

BOOL MRender::BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY) {
    return ::BitBlt(destination, x, y, width, height, source, sourceX, sourceY, SRCCOPY);
}

BOOL MRender::BitBlt(HDC destination, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                     DWORD rasterOperation) {
    return ::BitBlt(destination, x, y, width, height, source, sourceX, sourceY, rasterOperation);
}

Gdiplus::Size MRender::GetTextBounds(const Gdiplus::Font* font, const Gdiplus::StringFormat* format,
                                     std::wstring text) {
    const PathMeasure measure = MeasureTextPath(font, format, 0, text);
    return Gdiplus::Size(static_cast<INT>(std::ceil(measure.bounds.Width)), LineHeightWithoutWidth(measure.lineHeight));
}

Gdiplus::Size MRender::GetTextBounds(const Gdiplus::Font* font, const Gdiplus::StringFormat* format, int width,
                                     std::wstring text) {
    const PathMeasure measure = MeasureTextPath(font, format, width, text);
    const Gdiplus::REAL lineHeight = measure.lineHeight;
    const Gdiplus::REAL textHeight = measure.bounds.Height;
    const int line = HasFraction(lineHeight) ? static_cast<int>(lineHeight + 2) : static_cast<int>(lineHeight) + 1;
    const int lines = HasFraction(textHeight) ? static_cast<int>(textHeight + 2) : static_cast<int>(textHeight) + 1;
    const int height = lines > line ? lines + 5 : line + 1;
    return Gdiplus::Size(static_cast<INT>(std::ceil(measure.bounds.Width)), height);
}

Gdiplus::Size MRender::GetTextBounds(const Gdiplus::Font* font, std::wstring text) {
    Gdiplus::StringFormat format(0, LANG_NEUTRAL);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    return GetTextBounds(font, &format, std::move(text));
}

CPoint MRender::GetOriginPoint(int width, int height, int contentWidth, int contentHeight, UINT horizontal,
                               UINT vertical) {
    CPoint origin;
    if (horizontal == 1) {
        origin.x = (width - contentWidth) / 2;
    } else if (horizontal == 2) {
        origin.x = width - contentWidth;
    }
    if (vertical == 4) {
        origin.y = (height - contentHeight) / 2;
    } else if (vertical == 8) {
        origin.y = height - contentHeight;
    }
    return origin;
}

CPoint MRender::GetOriginPoint(CRect area, int contentWidth, int contentHeight, UINT horizontal, UINT vertical) {
    const CPoint offset =
        GetOriginPoint(area.Width(), area.Height(), contentWidth, contentHeight, horizontal, vertical);
    return CPoint(area.left + offset.x, area.top + offset.y + 2);
}

void MRender::DrawTextW(HDC dc, RECT* rect, const wchar_t* text, COLORREF color, HFONT font, UINT format) {
    if (text == nullptr) {
        return;
    }
    ::SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = ::SetTextColor(dc, color);
    const HGDIOBJ oldFont = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    ::DrawTextW(dc, text, -1, rect, format);
    ::SetTextColor(dc, oldColor);
    if (oldFont != nullptr) {
        ::SelectObject(dc, oldFont);
    }
}

void MRender::DrawColor(HDC dc, CRect rect, Gdiplus::ARGB color) {
    if (color < 0x01000000) {
        return;
    }
    Gdiplus::Graphics graphics(dc);
    Gdiplus::SolidBrush brush{Gdiplus::Color(color)};
    graphics.FillRectangle(&brush, static_cast<INT>(rect.left), static_cast<INT>(rect.top), rect.Width(),
                           rect.Height());
}

void MRender::DrawGradient(HDC dc, CRect rect, Gdiplus::ARGB first, Gdiplus::ARGB second, bool vertical, int) {
    const int alpha = static_cast<int>(((first >> 24) + (second >> 24)) >> 1);
    const BlendEntryPoints& entryPoints = EntryPoints();
    if (alpha == 0 || entryPoints.gradientFill == nullptr || entryPoints.alphaBlend == nullptr) {
        return;
    }
    const int width = rect.Width();
    const int height = rect.Height();
    const bool blend = alpha < 255;
    HDC target = dc;
    HDC memoryDC = nullptr;
    HBITMAP memoryBitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    CRect area = rect;
    if (blend) {
        memoryDC = ::CreateCompatibleDC(dc);
        memoryBitmap = ::CreateCompatibleBitmap(dc, width, height);
        if (memoryDC == nullptr || memoryBitmap == nullptr) {
            if (memoryDC != nullptr) {
                ::DeleteDC(memoryDC);
            }
            if (memoryBitmap != nullptr) {
                ::DeleteObject(memoryBitmap);
            }
            return;
        }
        oldBitmap = ::SelectObject(memoryDC, memoryBitmap);
        target = memoryDC;
        area = CRect(0, 0, width, height);
    }
    const auto channel = [](Gdiplus::ARGB color, int shift) {
        return static_cast<COLOR16>(((color >> shift) & 0xFF) << 8);
    };
    TRIVERTEX vertices[2] = {
        {area.left, area.top, channel(first, 16), channel(first, 8), channel(first, 0), 0xFF00},
        {area.right, area.bottom, channel(second, 16), channel(second, 8), channel(second, 0), 0xFF00},
    };
    GRADIENT_RECT gradient{0, 1};
    entryPoints.gradientFill(target, vertices, 2, &gradient, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    if (blend) {
        entryPoints.alphaBlend(dc, rect.left, rect.top, width, height, memoryDC, 0, 0, width, height,
                               ConstantAlpha(alpha, AC_SRC_ALPHA));
        ::SelectObject(memoryDC, oldBitmap);
        ::DeleteObject(memoryBitmap);
        ::DeleteDC(memoryDC);
    }
}

void MRender::DrawRectangle(HDC&, CRect, int, int, int) {}

void MRender::DrawRoundRectange(Gdiplus::Graphics* graphics, float x, float y, float width, float height, float radius,
                                Gdiplus::Color fill) {
    Gdiplus::GraphicsPath path;
    AddClockwiseRoundRect(path, x, y, width, height, radius, radius);
    Gdiplus::SolidBrush brush(fill);
    graphics->FillPath(&brush, &path);
}

void MRender::DrawRoundRectange(Gdiplus::Graphics* graphics, float x, float y, float width, float height, float divisor,
                                Gdiplus::Color pen, float penWidth, bool fill, Gdiplus::Color fillColor) {
    float rx = (width / divisor) * 0.5f;
    float ry = (height / divisor) * 0.5f;
    if (std::fabs(rx - ry) > 10.0f) {
        rx = ry = std::min(rx, ry);
    }
    Gdiplus::GraphicsPath path;
    AddClockwiseRoundRect(path, x, y, width, height, rx, ry);
    Gdiplus::Pen outline(pen, penWidth);
    if (fill) {
        Gdiplus::SolidBrush brush(fillColor);
        graphics->FillPath(&brush, &path);
    }
    graphics->DrawPath(&outline, &path);
}

void MRender::AddRoundedRectangle(Gdiplus::GraphicsPath* path, float x, float y, float width, float height,
                                  float radius) {
    const float d = 2 * radius;
    path->AddArc(x, y, d, d, 180.0f, 90.0f);
    path->AddLine(x + radius, y, x + width - d, y);
    path->AddArc(x + width - d, y, d, d, 270.0f, 90.0f);
    path->AddLine(x + width, y + radius, x + width, y + height - d);
    path->AddArc(x + width - d, y + height - d, d, d, 0.0f, 90.0f);
    path->AddLine(x + width - d, y + height, x + radius, y + height);
    path->AddArc(x, y + height - d, d, d, 90.0f, 90.0f);
    path->CloseFigure();
}

void MRender::RotatePoint(Gdiplus::PointF& point, float angle, Gdiplus::PointF centre) {
    const double radians = angle * 3.1415926 / 180.0;
    const float c = static_cast<float>(std::cos(radians));
    const float s = static_cast<float>(std::sin(radians));
    const float dx = point.X - centre.X;
    const float dy = point.Y - centre.Y;
    point.X = dx * c - dy * s + centre.X;
    point.Y = dy * c + dx * s + centre.Y;
}

BOOL MRender::SaveBitmapToFile(HBITMAP bitmap, std::wstring path) {
    HDC display = ::GetDC(nullptr);
    const int displayBits = ::GetDeviceCaps(display, PLANES) * ::GetDeviceCaps(display, BITSPIXEL);
    ::ReleaseDC(nullptr, display);
    const WORD depth = displayBits <= 1 ? 1 : displayBits <= 4 ? 4 : displayBits <= 8 ? 8 : 24;

    BITMAP described{};
    if (::GetObjectW(bitmap, sizeof(described), &described) == 0) {
        return FALSE;
    }
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = described.bmWidth;
    header.biHeight = described.bmHeight;
    header.biPlanes = 1;
    header.biBitCount = depth;
    header.biCompression = BI_RGB;
    const DWORD rowSize = ((static_cast<DWORD>(described.bmWidth) * depth + 31) / 32) * 4;
    const DWORD pixelSize = rowSize * static_cast<DWORD>(described.bmHeight);
    const DWORD paletteSize = depth <= 8 ? (1u << depth) * 4 : 0;
    const DWORD blockSize = sizeof(BITMAPINFOHEADER) + paletteSize + pixelSize;

    const HGLOBAL block = ::GlobalAlloc(GHND, blockSize);
    if (block == nullptr) {
        return FALSE;
    }
    auto* info = static_cast<BITMAPINFOHEADER*>(::GlobalLock(block));
    *info = header;

    HDC screen = ::GetDC(nullptr);
    const HPALETTE oldPalette =
        ::SelectPalette(screen, static_cast<HPALETTE>(::GetStockObject(DEFAULT_PALETTE)), FALSE);
    ::RealizePalette(screen);
    ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(described.bmHeight),
                reinterpret_cast<BYTE*>(info) + sizeof(BITMAPINFOHEADER) + paletteSize,
                reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS);
    if (oldPalette != nullptr) {
        ::SelectPalette(screen, oldPalette, TRUE);
        ::RealizePalette(screen);
    }
    ::ReleaseDC(nullptr, screen);

    BOOL written = FALSE;
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        BITMAPFILEHEADER fileHeader{};
        fileHeader.bfType = 0x4D42;
        fileHeader.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + paletteSize;
        fileHeader.bfSize = sizeof(BITMAPFILEHEADER) + blockSize;
        DWORD headerWritten = 0;
        DWORD blockWritten = 0;
        // A short write is a failure, not a saved file.
        written = ::WriteFile(file, &fileHeader, sizeof(fileHeader), &headerWritten, nullptr) &&
                  headerWritten == sizeof(fileHeader) && ::WriteFile(file, info, blockSize, &blockWritten, nullptr) &&
                  blockWritten == blockSize;
        ::CloseHandle(file);
    }
    ::GlobalUnlock(block);
    ::GlobalFree(block);
    return written;
}

CRect MRender::GetImageRect(int imageWidth, int imageHeight, CRect area) {
    const int areaWidth = area.Width();
    const int areaHeight = area.Height();
    int width = imageWidth;
    int height = imageHeight;
    const bool wider = imageWidth > areaWidth;
    const bool taller = imageHeight > areaHeight;
    if (wider || taller) {
        bool fitWidth = wider;
        if (wider && taller) {
            fitWidth = static_cast<double>(imageWidth) / imageHeight > static_cast<double>(areaWidth) / areaHeight;
        }
        if (fitWidth) {
            width = areaWidth;
            height = areaWidth * imageHeight / imageWidth;
        } else {
            width = areaHeight * imageWidth / imageHeight;
            height = areaHeight;
        }
    }
    const int left = area.left + (areaWidth - width) / 2;
    const int top = area.top + (areaHeight - height) / 2;
    return CRect(left, top, left + width, top + height);
}

} // namespace Ovrix
