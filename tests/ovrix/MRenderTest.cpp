// Drawing helpers checked by the pixels they leave in a real 32-bit GDI surface, and the library's resources.
#include <Ovrix/Ovrix.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "support/OvrixTestSupport.h"

namespace {

using Ovrix::CPoint;
using Ovrix::CRect;
using Ovrix::MRender;
using OvrixTest::Surface;

HMODULE Library() {
    return ::GetModuleHandleW(L"Ovrix.dll");
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

int Channel(std::uint32_t rgb, int shift) {
    return static_cast<int>((rgb >> shift) & 0xFF);
}

::testing::AssertionResult Near(std::uint32_t actual, std::uint32_t expected, int tolerance) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(Channel(actual, shift) - Channel(expected, shift)) > tolerance) {
            return ::testing::AssertionFailure() << std::hex << "0x" << actual << " is not within " << std::dec
                                                 << tolerance << " of 0x" << std::hex << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

struct AlphaCase {
    Gdiplus::ARGB in;
    Gdiplus::ARGB out;
};

void PrintTo(const AlphaCase& c, std::ostream* out) {
    *out << std::hex << "0x" << c.in;
}

class CheckAlphaColorTest : public testing::TestWithParam<AlphaCase> {};

TEST_P(CheckAlphaColorTest, NudgesOnlyPureBlack) {
    Gdiplus::ARGB color = GetParam().in;
    MRender::CheckAlphaColor(color);
    EXPECT_EQ(color, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Colours, CheckAlphaColorTest,
                         testing::Values(AlphaCase{0xFF000000, 0xFF000001}, AlphaCase{0x00000000, 0x00000001},
                                         AlphaCase{0x80000000, 0x80000001}, AlphaCase{0xFF010000, 0xFF010000},
                                         AlphaCase{0xFF000100, 0xFF000100}, AlphaCase{0x00FFFFFF, 0x00FFFFFF}));

struct OriginCase {
    int width, height, contentWidth, contentHeight;
    UINT horizontal, vertical;
    CPoint expected;
};

void PrintTo(const OriginCase& c, std::ostream* out) {
    *out << c.contentWidth << "x" << c.contentHeight << "-in-" << c.width << "x" << c.height << "-codes-"
         << c.horizontal << "-" << c.vertical;
}

class OriginPointTest : public testing::TestWithParam<OriginCase> {};

TEST_P(OriginPointTest, PlacesContentByAlignmentCodes) {
    const OriginCase& c = GetParam();
    EXPECT_EQ(MRender::GetOriginPoint(c.width, c.height, c.contentWidth, c.contentHeight, c.horizontal, c.vertical),
              c.expected);
    const CPoint absolute = MRender::GetOriginPoint(CRect(10, 20, 10 + c.width, 20 + c.height), c.contentWidth,
                                                    c.contentHeight, c.horizontal, c.vertical);
    EXPECT_EQ(absolute, CPoint(10 + c.expected.x, 20 + c.expected.y + 2)) << "two pixels lower, absolute";
}

INSTANTIATE_TEST_SUITE_P(Codes, OriginPointTest,
                         testing::Values(OriginCase{100, 30, 41, 11, 1, 4, CPoint(29, 9)},
                                         OriginCase{100, 30, 41, 11, 0, 0, CPoint(0, 0)},
                                         OriginCase{100, 30, 41, 11, 2, 8, CPoint(59, 19)},
                                         OriginCase{100, 30, 41, 11, 3, 5, CPoint(0, 0)},
                                         OriginCase{10, 30, 15, 11, 1, 0, CPoint(-2, 0)}));

struct FitCase {
    int imageWidth, imageHeight;
    CRect area;
    CRect expected;
};

void PrintTo(const FitCase& c, std::ostream* out) {
    *out << c.imageWidth << "x" << c.imageHeight << "-in-" << c.area.Width() << "x" << c.area.Height();
}

class ImageRectTest : public testing::TestWithParam<FitCase> {};

TEST_P(ImageRectTest, FitsCentredWithoutEnlarging) {
    const FitCase& c = GetParam();
    EXPECT_EQ(MRender::GetImageRect(c.imageWidth, c.imageHeight, c.area), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ImageRectTest,
                         testing::Values(FitCase{200, 100, CRect(0, 0, 100, 100), CRect(0, 25, 100, 75)},
                                         FitCase{100, 200, CRect(0, 0, 100, 100), CRect(25, 0, 75, 100)},
                                         FitCase{400, 200, CRect(0, 0, 100, 80), CRect(0, 15, 100, 65)},
                                         FitCase{400, 200, CRect(0, 0, 300, 100), CRect(50, 0, 250, 100)},
                                         FitCase{150, 100, CRect(0, 0, 100, 100), CRect(0, 17, 100, 83)},
                                         FitCase{20, 10, CRect(5, 5, 105, 55), CRect(45, 25, 65, 35)}));

TEST(MRenderGeometryTest, RotatePointTurnsClockwiseOnScreen) {
    Gdiplus::PointF point(20.0f, 10.0f);
    MRender::RotatePoint(point, 90.0f, Gdiplus::PointF(10.0f, 10.0f));
    EXPECT_NEAR(point.X, 10.0f, 1e-4);
    EXPECT_NEAR(point.Y, 20.0f, 1e-4);
}

TEST(MRenderSurfaceTest, ARGB32BitmapIsBottomUp) {
    BYTE* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    const HBITMAP bitmap = MRender::CreateARGB32Bitmap(screen, 3, 2, &bits);
    ::ReleaseDC(nullptr, screen);
    ASSERT_NE(bitmap, nullptr);
    ASSERT_NE(bits, nullptr);
    DIBSECTION section{};
    ASSERT_EQ(::GetObjectW(bitmap, sizeof(section), &section), static_cast<int>(sizeof(section)));
    EXPECT_EQ(section.dsBmih.biHeight, 2);
    EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
    ::DeleteObject(bitmap);
}

TEST(MRenderFillTest, FillSolidRectCoversExactlyTheRectangle) {
    Surface surface(10, 10);
    surface.Fill(0);
    MRender::FillSolidRect(surface.Dc(), 2, 3, 4, 5, RGB(10, 20, 30));
    EXPECT_EQ(surface.InkBounds(0), CRect(2, 3, 6, 8));
    EXPECT_EQ(surface.Rgb(2, 3), 0x0A141Eu);
}

TEST(MRenderFillTest, DrawColorBlendsAndSkipsZeroAlpha) {
    Surface surface(10, 10);
    surface.Fill(0xFFFFFFFF);
    MRender::DrawColor(surface.Dc(), CRect(0, 0, 10, 10), 0x00FF0000);
    EXPECT_EQ(surface.Rgb(5, 5), 0xFFFFFFu);
    MRender::DrawColor(surface.Dc(), CRect(0, 0, 5, 10), 0xFFFF0000);
    EXPECT_EQ(surface.Rgb(2, 5), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(7, 5), 0xFFFFFFu);
    MRender::DrawColor(surface.Dc(), CRect(5, 0, 10, 10), 0x80000000);
    EXPECT_TRUE(Near(surface.Rgb(7, 5), 0x7F7F7F, 2));
}

// A strip of two 6 x 6 cells; the second has a distinct colour in each of its nine 2 x 2 regions.
class NineGridTest : public testing::Test {
protected:
    static constexpr Gdiplus::ARGB kRegions[3][3] = {
        {0xFFFF0000, 0xFF00FF00, 0xFF0000FF},
        {0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF},
        {0xFF800000, 0xFF008000, 0xFF000080},
    };

    void SetUp() override {
        m_strip = std::make_unique<Gdiplus::Bitmap>(12, 6, PixelFormat32bppARGB);
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 12; ++x) {
                const Gdiplus::ARGB color = x < 6 ? 0xFF202020 : kRegions[y / 2][(x - 6) / 2];
                m_strip->SetPixel(x, y, Gdiplus::Color(color));
            }
        }
    }

    void Draw(Surface& surface, CRect destination, bool separateMargins) {
        Gdiplus::Graphics graphics(surface.Dc());
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        if (separateMargins) {
            MRender::DrawImageFrameMID(&graphics, m_strip.get(), destination, 6, 0, 6, 6, 2, 2, 2, 2);
        } else {
            MRender::DrawImageFrame(&graphics, m_strip.get(), destination, 6, 0, 6, 6, 2);
        }
    }

    static std::uint32_t Rgb(int row, int column) { return kRegions[row][column] & 0xFFFFFF; }

    std::unique_ptr<Gdiplus::Bitmap> m_strip;
};

constexpr Gdiplus::ARGB NineGridTest::kRegions[3][3];

TEST_F(NineGridTest, CornersStayUnscaledEdgesAndCentreStretch) {
    for (bool separate : {false, true}) {
        Surface surface(30, 24);
        surface.Fill(0);
        Draw(surface, CRect(5, 4, 25, 18), separate);
        EXPECT_EQ(surface.InkBounds(0), CRect(5, 4, 25, 18));
        // Each corner is exactly 2 x 2 of its own colour.
        for (int dy = 0; dy < 2; ++dy) {
            for (int dx = 0; dx < 2; ++dx) {
                EXPECT_EQ(surface.Rgb(5 + dx, 4 + dy), Rgb(0, 0));
                EXPECT_EQ(surface.Rgb(23 + dx, 4 + dy), Rgb(0, 2));
                EXPECT_EQ(surface.Rgb(5 + dx, 16 + dy), Rgb(2, 0));
                EXPECT_EQ(surface.Rgb(23 + dx, 16 + dy), Rgb(2, 2));
            }
        }
        EXPECT_EQ(surface.Rgb(7, 4), Rgb(0, 1)) << "top edge starts right after the corner";
        EXPECT_EQ(surface.Rgb(22, 5), Rgb(0, 1));
        EXPECT_EQ(surface.Rgb(5, 6), Rgb(1, 0));
        EXPECT_EQ(surface.Rgb(24, 15), Rgb(1, 2));
        EXPECT_EQ(surface.Rgb(15, 17), Rgb(2, 1));
        EXPECT_EQ(surface.Rgb(7, 6), Rgb(1, 1));
        EXPECT_EQ(surface.Rgb(22, 15), Rgb(1, 1)) << "centre stretched, not tiled";
    }
}

TEST_F(NineGridTest, DestinationTwoCornersWideDrawsOnlyTheSideColumns) {
    Surface surface(10, 12);
    surface.Fill(0);
    Draw(surface, CRect(3, 0, 7, 12), false);
    EXPECT_EQ(surface.InkBounds(0), CRect(3, 0, 7, 12));
    EXPECT_EQ(surface.Rgb(3, 0), Rgb(0, 0));
    EXPECT_EQ(surface.Rgb(5, 0), Rgb(0, 2));
    EXPECT_EQ(surface.Rgb(4, 6), Rgb(1, 0));
    EXPECT_EQ(surface.Rgb(6, 6), Rgb(1, 2));
}

TEST(MRenderGradientTest, EndsHitTheirColours) {
    Surface surface(64, 64);
    surface.Fill(0);
    MRender::DrawGradient(surface.Dc(), CRect(0, 0, 64, 64), 0xFFFF0000, 0xFF0000FF, true, 10);
    EXPECT_TRUE(Near(surface.Rgb(10, 0), 0xFF0000, 4));
    EXPECT_TRUE(Near(surface.Rgb(10, 63), 0x0000FF, 6));
    EXPECT_TRUE(Near(surface.Rgb(10, 32), 0x7F007F, 6));
    EXPECT_EQ(surface.Rgb(0, 10), surface.Rgb(63, 10)) << "vertical: rows are uniform";

    MRender::DrawGradient(surface.Dc(), CRect(0, 0, 64, 64), 0xFF00FF00, 0xFFFFFFFF, false, 0);
    EXPECT_TRUE(Near(surface.Rgb(0, 10), 0x00FF00, 4));
    EXPECT_TRUE(Near(surface.Rgb(63, 10), 0xFFFFFF, 6));
    EXPECT_EQ(surface.Rgb(10, 0), surface.Rgb(10, 63)) << "horizontal: columns are uniform";
}

TEST(MRenderGradientTest, AlphaIsTheMeanOfTheTwoColours) {
    Surface surface(32, 32);
    surface.Fill(0xFFFFFFFF);
    MRender::DrawGradient(surface.Dc(), CRect(0, 0, 32, 32), 0x00000000, 0x00000000, true, 0);
    EXPECT_EQ(surface.InkBounds(0xFFFFFF), CRect()) << "both transparent: nothing drawn";
    MRender::DrawGradient(surface.Dc(), CRect(0, 0, 16, 32), 0xFF000000, 0x00000000, true, 0);
    EXPECT_TRUE(Near(surface.Rgb(8, 16), 0x808080, 2)) << "black over white at constant alpha 127";
    EXPECT_EQ(surface.Rgb(24, 16), 0xFFFFFFu);
}

class TransitionTest : public testing::Test {
protected:
    TransitionTest() : m_source(4, 255), m_target(4, 255) {
        m_source.Fill(0xFFFFFFFF);
        m_target.Fill(0xFF000000);
    }
    Surface m_source;
    Surface m_target;
};

TEST_F(TransitionTest, VerticalFadeStepsAlphaRowByRow) {
    const int last =
        MRender::DrawVerticalTransition(m_target.Dc(), m_source.Dc(), CRect(0, 0, 4, 255), CRect(0, 0, 4, 255), 0, 100);
    EXPECT_EQ(last, 1);
    EXPECT_EQ(m_target.Rgb(0, 0), 0xFFFFFFu);
    EXPECT_TRUE(Near(m_target.Rgb(0, 127), 0x808080, 2));
    EXPECT_TRUE(Near(m_target.Rgb(0, 254), 0x010101, 1));
}

TEST_F(TransitionTest, EqualEndsUseOneAlphaAndEmptyDrawsNothing) {
    const int last =
        MRender::DrawVerticalTransition(m_target.Dc(), m_source.Dc(), CRect(0, 0, 4, 10), CRect(0, 0, 4, 10), 80, 80);
    EXPECT_EQ(last, 51);
    EXPECT_EQ(m_target.Rgb(0, 0), m_target.Rgb(0, 9));
    EXPECT_TRUE(Near(m_target.Rgb(0, 0), 0x333333, 1));
    EXPECT_EQ(MRender::DrawHorizontalTransition(m_target.Dc(), m_source.Dc(), CRect(0, 20, 0, 30), CRect(0, 0, 0, 10),
                                                0, 100),
              255);
    EXPECT_EQ(m_target.Rgb(0, 25), 0u);
}

TEST_F(TransitionTest, HorizontalFadeGoesTheOtherWayWhenEndIsLower) {
    Surface source(100, 2);
    Surface target(100, 2);
    source.Fill(0xFFFFFFFF);
    target.Fill(0xFF000000);
    const int last =
        MRender::DrawHorizontalTransition(target.Dc(), source.Dc(), CRect(0, 0, 100, 2), CRect(0, 0, 100, 2), 100, 0);
    EXPECT_EQ(last, 252);
    EXPECT_EQ(target.Rgb(0, 0), 0u);
    EXPECT_GT(Channel(target.Rgb(99, 1), 0), 245);
}

TEST(MRenderRoundRectTest, FillsInsideAndLeavesCornersOut) {
    Surface surface(60, 40);
    surface.Fill(0xFFFFFFFF);
    {
        Gdiplus::Graphics graphics(surface.Dc());
        MRender::DrawRoundRectange(&graphics, 0.0f, 0.0f, 40.0f, 20.0f, 8.0f, Gdiplus::Color(0xFFFF0000));
    }
    EXPECT_EQ(surface.Rgb(20, 10), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(0, 0), 0xFFFFFFu) << "the corner is rounded off";
    EXPECT_EQ(surface.Rgb(20, 1), 0xFF0000u);
    EXPECT_EQ(surface.Rgb(45, 10), 0xFFFFFFu);
}

TEST(MRenderRoundRectTest, OutlineVariantDrawsPenOverFill) {
    Surface surface(60, 40);
    surface.Fill(0xFFFFFFFF);
    {
        Gdiplus::Graphics graphics(surface.Dc());
        MRender::DrawRoundRectange(&graphics, 5.0f, 5.0f, 48.0f, 24.0f, 12.0f, Gdiplus::Color(0xFF0000FF), 3.0f, true,
                                   Gdiplus::Color(0xFF00FF00));
    }
    EXPECT_EQ(surface.Rgb(29, 17), 0x00FF00u);
    EXPECT_EQ(surface.Rgb(5, 17), 0x0000FFu);
    EXPECT_EQ(surface.Rgb(29, 5), 0x0000FFu);
    Gdiplus::GraphicsPath path;
    MRender::AddRoundedRectangle(&path, 0.0f, 0.0f, 40.0f, 20.0f, 5.0f);
    Gdiplus::RectF bounds;
    path.GetBounds(&bounds);
    EXPECT_NEAR(bounds.Width, 40.0f, 0.01f);
    EXPECT_NEAR(bounds.Height, 20.0f, 0.01f);
}

// The library's own font, as the paint manager would register it.
class LibraryFontTest : public testing::Test {
protected:
    void SetUp() override {
        const HRSRC resource = ::FindResourceW(Library(), MAKEINTRESOURCEW(106), L"ttf");
        ASSERT_NE(resource, nullptr) << "TTF 106 is embedded and found case-insensitively";
        const DWORD size = ::SizeofResource(Library(), resource);
        void* bytes = ::LockResource(::LoadResource(Library(), resource));
        DWORD installed = 0;
        m_gdiFont = ::AddFontMemResourceEx(bytes, size, nullptr, &installed);
        ASSERT_NE(m_gdiFont, nullptr);
        ASSERT_EQ(m_collection.AddMemoryFont(bytes, static_cast<INT>(size)), Gdiplus::Ok);
        INT found = 0;
        m_collection.GetFamilies(1, &m_family, &found);
        ASSERT_EQ(found, 1);
    }
    void TearDown() override {
        if (m_gdiFont != nullptr) {
            ::RemoveFontMemResourceEx(m_gdiFont);
        }
    }
    HFONT CreateGdiFont(int pixels) {
        LOGFONTW description{};
        description.lfHeight = -pixels;
        description.lfCharSet = DEFAULT_CHARSET;
        wchar_t name[LF_FACESIZE];
        m_family.GetFamilyName(name);
        wcsncpy(description.lfFaceName, name, LF_FACESIZE - 1);
        return ::CreateFontIndirectW(&description);
    }

    HANDLE m_gdiFont = nullptr;
    Gdiplus::PrivateFontCollection m_collection;
    Gdiplus::FontFamily m_family;
};

struct TextPlacement {
    UINT horizontal;
    UINT vertical;
};

void PrintTo(const TextPlacement& c, std::ostream* out) {
    *out << "codes-" << c.horizontal << "-" << c.vertical;
}

class TextAlignmentTest : public LibraryFontTest, public testing::WithParamInterface<TextPlacement> {};

TEST_P(TextAlignmentTest, AlignmentCodesPlaceTheText) {
    Surface surface(344, 216);
    surface.Fill(0);
    const HFONT font = CreateGdiFont(24);
    RECT rect{0, 0, 344, 216};
    const COLORREF previous = ::SetTextColor(surface.Dc(), RGB(1, 2, 3));
    MRender::DrawTextW(surface.Dc(), &rect, L"HHHH", RGB(255, 255, 255), font,
                       GetParam().horizontal | GetParam().vertical | DT_SINGLELINE);
    EXPECT_EQ(::GetTextColor(surface.Dc()), RGB(1, 2, 3)) << "text colour restored";
    ::SetTextColor(surface.Dc(), previous);
    EXPECT_NE(::GetCurrentObject(surface.Dc(), OBJ_FONT), font) << "font restored";
    ::DeleteObject(font);

    const CRect ink = surface.InkBounds(0);
    ASSERT_FALSE(ink.IsRectEmpty());
    const int centreX = (ink.left + ink.right) / 2;
    const int centreY = (ink.top + ink.bottom) / 2;
    switch (GetParam().horizontal) {
    case 0:
        EXPECT_LT(ink.left, 6);
        break;
    case 1:
        EXPECT_NEAR(centreX, 172, 3);
        break;
    default:
        EXPECT_GT(ink.right, 338);
        break;
    }
    switch (GetParam().vertical) {
    case 0:
        EXPECT_LT(ink.top, 10);
        break;
    case 4:
        EXPECT_NEAR(centreY, 108, 4);
        break;
    default:
        EXPECT_GT(ink.bottom, 200);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, TextAlignmentTest,
                         testing::Values(TextPlacement{0, 0}, TextPlacement{1, 0}, TextPlacement{2, 0},
                                         TextPlacement{0, 4}, TextPlacement{1, 4}, TextPlacement{2, 4},
                                         TextPlacement{0, 8}, TextPlacement{1, 8}, TextPlacement{2, 8}));

TEST_F(LibraryFontTest, NullTextDrawsNothing) {
    Surface surface(20, 20);
    surface.Fill(0);
    RECT rect{0, 0, 20, 20};
    MRender::DrawTextW(surface.Dc(), &rect, nullptr, RGB(255, 255, 255), nullptr, 0);
    EXPECT_EQ(surface.InkBounds(0), CRect());
}

TEST_F(LibraryFontTest, TextBoundsCountInkOnlyAndAddTheLineHeight) {
    Gdiplus::Font font(&m_family, 20.0f, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
    ASSERT_EQ(font.GetLastStatus(), Gdiplus::Ok);
    const Gdiplus::REAL line = font.GetHeight(0.0f);
    const int expectedHeight = line != std::floor(line) ? static_cast<int>(line + 4) : static_cast<int>(line) + 1;

    const Gdiplus::Size empty = MRender::GetTextBounds(&font, L"");
    EXPECT_EQ(empty.Width, 0);
    EXPECT_EQ(empty.Height, expectedHeight);

    const Gdiplus::Size word = MRender::GetTextBounds(&font, L"Temp");
    const Gdiplus::Size padded = MRender::GetTextBounds(&font, L"  Temp  ");
    EXPECT_GT(word.Width, 20);
    EXPECT_LT(word.Width, 80);
    EXPECT_NEAR(padded.Width, word.Width, 1) << "blanks add no ink";
    EXPECT_EQ(word.Height, expectedHeight);

    Gdiplus::StringFormat format;
    const Gdiplus::Size oneLine = MRender::GetTextBounds(&font, &format, 400, L"Temp Temp");
    const Gdiplus::Size wrapped = MRender::GetTextBounds(&font, &format, word.Width + 8, L"Temp Temp");
    // Wine's path layout drops the lines after the first when the layout height is 0 (Windows treats 0 as no
    // limit), so the wrap shows here as the narrower ink, not as a taller result.
    EXPECT_GT(oneLine.Width, word.Width + 8);
    EXPECT_LE(wrapped.Width, word.Width + 8);
}

TEST(MRenderResourceTest, ScrollBarImagesAreEmbedded) {
    struct Expected {
        UINT id;
        UINT width;
        UINT height;
    };
    for (const Expected& expected : {Expected{101, 22, 20}, Expected{102, 12, 72}}) {
        std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromIDResource(expected.id, L"png", Library()));
        ASSERT_NE(image, nullptr) << expected.id;
        ASSERT_EQ(image->GetLastStatus(), Gdiplus::Ok);
        EXPECT_EQ(image->GetWidth(), expected.width);
        EXPECT_EQ(image->GetHeight(), expected.height);
    }
    std::unique_ptr<Gdiplus::Bitmap> vertical(
        static_cast<Gdiplus::Bitmap*>(MRender::LoadImageFromIDResource(102, L"PNG", Library())));
    Gdiplus::Color track;
    Gdiplus::Color thumb;
    vertical->GetPixel(1, 30, &track);
    vertical->GetPixel(9, 30, &thumb);
    EXPECT_LT(track.GetA(), 0xFF) << "the track is translucent";
    EXPECT_EQ(thumb.GetA(), 0xFF);
    EXPECT_EQ(MRender::LoadImageFromIDResource(103, L"PNG", Library()), nullptr);
    EXPECT_EQ(MRender::LoadImageFromIDResource(101, L"PNG", ::GetModuleHandleW(nullptr)), nullptr)
        << "the images live in the library, not the program";
}

CLSID EncoderFor(const wchar_t* mimeType) {
    UINT count = 0;
    UINT size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    Gdiplus::GetImageEncoders(count, size, encoders);
    for (UINT i = 0; i < count; ++i) {
        if (std::wstring(encoders[i].MimeType) == mimeType) {
            return encoders[i].Clsid;
        }
    }
    return CLSID{};
}

TEST(MRenderLoadTest, FilesLoadAtTheirOwnSizeOrAsThumbnails) {
    const std::wstring path = TempPath(L"ovrix-load-test.png");
    {
        Gdiplus::Bitmap bitmap(9, 7, PixelFormat32bppARGB);
        bitmap.SetPixel(2, 3, Gdiplus::Color(0xFF123456));
        const CLSID png = EncoderFor(L"image/png");
        ASSERT_EQ(bitmap.Save(path.c_str(), &png, nullptr), Gdiplus::Ok);
    }
    std::unique_ptr<Gdiplus::Image> image(MRender::LoadImageFromFile(path));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 9u);
    Gdiplus::Color pixel;
    static_cast<Gdiplus::Bitmap*>(image.get())->GetPixel(2, 3, &pixel);
    EXPECT_EQ(pixel.GetValue(), 0xFF123456u);

    std::unique_ptr<Gdiplus::Image> copy(MRender::LoadImageFromFileEx(path, 0, 0));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetWidth(), 9u);
    EXPECT_EQ(copy->GetHeight(), 7u);
    std::unique_ptr<Gdiplus::Image> thumbnail(MRender::LoadImageFromFileEx(path, 4, 3));
    ASSERT_NE(thumbnail, nullptr);
    EXPECT_EQ(thumbnail->GetWidth(), 4u);
    EXPECT_EQ(thumbnail->GetHeight(), 3u);
    image.reset();
    copy.reset();
    thumbnail.reset();
    ::DeleteFileW(path.c_str());
}

TEST(MRenderLoadTest, MissingOrUndecodableFilesGiveNull) {
    EXPECT_EQ(MRender::LoadImageFromFile(TempPath(L"ovrix-no-such-file.png")), nullptr);
    EXPECT_EQ(MRender::LoadImageFromFileEx(TempPath(L"ovrix-no-such-file.png"), 0, 0), nullptr);
    const std::wstring garbage = TempPath(L"ovrix-garbage.png");
    {
        std::ofstream out(std::filesystem::path(garbage), std::ios::binary);
        out << "this is not an image";
    }
    EXPECT_EQ(MRender::LoadImageFromFile(garbage), nullptr);
    ::DeleteFileW(garbage.c_str());
}

TEST(MRenderLoadTest, IconOfAProgramFile) {
    wchar_t system[MAX_PATH];
    ::GetSystemDirectoryW(system, MAX_PATH);
    const HICON icon = MRender::LoadIconFromFile(std::wstring(system) + L"\\notepad.exe");
    ASSERT_NE(icon, nullptr);
    ::DestroyIcon(icon);
}

std::vector<unsigned char> ReadFile(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t Le32(const std::vector<unsigned char>& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

TEST(MRenderSaveTest, BitmapIsWrittenAsUncompressedBmpThatReadsBack) {
    // Odd width, so rows carry padding.
    Surface surface(7, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            ::SetPixel(surface.Dc(), x, y, RGB(x * 30, y * 50, 200 - x * 10));
        }
    }
    surface.Deselect();
    const std::wstring path = TempPath(L"ovrix-save-test.bmp");
    ASSERT_TRUE(MRender::SaveBitmapToFile(surface.Bitmap(), path));
    surface.Reselect();

    const std::vector<unsigned char> bytes = ReadFile(path);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Le32(bytes, 2), bytes.size()) << "size field equals the file length";
    EXPECT_EQ(Le32(bytes, 10), 54u) << "no colour table at 24 bits";
    EXPECT_EQ(Le32(bytes, 14), 40u);
    EXPECT_EQ(bytes[28], 24) << "the display is deeper than 8 bits";
    EXPECT_EQ(Le32(bytes, 30), 0u) << "uncompressed";
    EXPECT_EQ(bytes.size(), 54u + 5 * 24) << "7 pixels of 3 bytes padded to 24 per row";

    std::unique_ptr<Gdiplus::Bitmap> loaded(static_cast<Gdiplus::Bitmap*>(MRender::LoadImageFromFile(path)));
    ASSERT_NE(loaded, nullptr);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            Gdiplus::Color pixel;
            loaded->GetPixel(x, y, &pixel);
            EXPECT_EQ(pixel.GetValue() & 0xFFFFFF, surface.Rgb(x, y)) << x << "," << y;
        }
    }
    loaded.reset();
    ::DeleteFileW(path.c_str());
}

TEST(MRenderSaveTest, UnwritablePathOrBadBitmapFails) {
    Surface surface(2, 2);
    surface.Deselect();
    EXPECT_FALSE(MRender::SaveBitmapToFile(surface.Bitmap(), TempPath(L"no-such-folder\\x.bmp")));
    EXPECT_FALSE(MRender::SaveBitmapToFile(nullptr, TempPath(L"ovrix-null.bmp")));
    surface.Reselect();
}

} // namespace
