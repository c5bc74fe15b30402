#include "OvrixTestSupport.h"

#include <gtest/gtest.h>

namespace OvrixTest {

namespace {

// The program starts GDI+ itself, as the tray program does; Manager::InitGdiplus is left for its own tests.
class GdiplusEnvironment : public testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
        Ovrix::Manager::SetInstance(::GetModuleHandleW(nullptr));
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(m_token); }

private:
    ULONG_PTR m_token = 0;
};

[[maybe_unused]] testing::Environment* const kGdiplus = testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

} // namespace

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void PumpPending() {
    MSG message;
    for (int round = 0; round < 5; ++round) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

Surface::Surface(int width, int height) : m_width(width), m_height(height) {
    HDC screen = ::GetDC(nullptr);
    m_dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    m_bitmap = Ovrix::MRender::CreateARGB32Bitmap(m_dc, width, height, &m_bits);
    m_old = ::SelectObject(m_dc, m_bitmap);
}

Surface::~Surface() {
    ::SelectObject(m_dc, m_old);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
}

std::uint32_t Surface::Rgb(int x, int y) const {
    ::GdiFlush();
    const BYTE* pixel = m_bits + (static_cast<std::size_t>(m_height - 1 - y) * m_width + x) * 4;
    return (static_cast<std::uint32_t>(pixel[2]) << 16) | (pixel[1] << 8) | pixel[0];
}

std::uint8_t Surface::Alpha(int x, int y) const {
    ::GdiFlush();
    return m_bits[(static_cast<std::size_t>(m_height - 1 - y) * m_width + x) * 4 + 3];
}

void Surface::Fill(std::uint32_t bgra) {
    ::GdiFlush();
    auto* pixels = reinterpret_cast<std::uint32_t*>(m_bits);
    std::fill(pixels, pixels + static_cast<std::size_t>(m_width) * m_height, bgra);
}

Ovrix::CRect Surface::InkBounds(std::uint32_t backgroundRgb) const {
    Ovrix::CRect bounds(m_width, m_height, 0, 0);
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            if (Rgb(x, y) != backgroundRgb) {
                bounds.left = std::min<LONG>(bounds.left, x);
                bounds.top = std::min<LONG>(bounds.top, y);
                bounds.right = std::max<LONG>(bounds.right, x + 1);
                bounds.bottom = std::max<LONG>(bounds.bottom, y + 1);
            }
        }
    }
    return bounds.IsRectEmpty() ? Ovrix::CRect() : bounds;
}

void Surface::Deselect() {
    ::SelectObject(m_dc, m_old);
}
void Surface::Reselect() {
    ::SelectObject(m_dc, m_bitmap);
}

} // namespace OvrixTest
