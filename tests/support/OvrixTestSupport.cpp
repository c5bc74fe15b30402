#include "OvrixTestSupport.h"

#include <gtest/gtest.h>

#include <ole2.h>

namespace OvrixTest {

namespace {

// The program starts GDI+ itself, as the tray program does; Manager::InitGdiplus is left for its own tests.
class GdiplusEnvironment : public testing::Environment {
public:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
        // As the tray program does: drag and drop needs OLE on the window's thread.
        ::OleInitialize(nullptr);
        Ovrix::Manager::SetInstance(::GetModuleHandleW(nullptr));
    }
    void TearDown() override {
        ::OleUninitialize();
        Gdiplus::GdiplusShutdown(m_token);
    }

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

ManagedWindow::~ManagedWindow() {
    DestroyWindow();
}

BOOL ManagedWindow::OnInitDialog() {
    m_manager.Init(m_hWnd, this);
    return TRUE;
}

LRESULT ManagedWindow::OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    m_messages.push_back(message);
    if (message == WM_ERASEBKGND) {
        return 1;
    }
    if (message == 0x0172 || message == WM_NCLBUTTONDOWN) {
        m_received.emplace_back(message, lParam);
    }
    const LRESULT handled = m_manager.OnWindowMessage(message, wParam, lParam);
    if (handled != 0) {
        return handled;
    }
    return MWindow::OnWindowMessage(message, wParam, lParam);
}

HWND ManagedWindow::Open(Ovrix::CRect screenRect) {
    const HWND window = Create(nullptr, L"managed", WS_POPUP, WS_EX_TOPMOST, screenRect);
    if (window != nullptr) {
        ::ShowWindow(window, SW_SHOWNA);
        ::UpdateWindow(window);
    }
    return window;
}

void ManagedWindow::PaintAndCapture(Surface& surface) {
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ::UpdateWindow(m_hWnd);
    const HDC window = ::GetDC(m_hWnd);
    ::BitBlt(surface.Dc(), 0, 0, surface.Width(), surface.Height(), window, 0, 0, SRCCOPY);
    ::ReleaseDC(m_hWnd, window);
    ::GdiFlush();
}

ProbeControl::~ProbeControl() {
    if (m_destroyed != nullptr) {
        *m_destroyed = true;
    }
}

void ProbeControl::DrawControl(HDC& dc, Ovrix::CRect) {
    ++m_draws;
    if (m_color != 0) {
        Ovrix::MRender::FillSolidRect(dc, m_rect, m_color);
    }
}

BOOL ProbeControl::OnControlLButtonDown(UINT, Ovrix::CPoint point) {
    Record("down", point);
    return m_takesPress ? TRUE : FALSE;
}

BOOL ProbeControl::OnControlScroll(int, UINT direction, Ovrix::CPoint point) {
    return Record(direction == 1 ? "wheel-toward" : "wheel-away", point);
}

BOOL ProbeControl::OnControlKeyDown(UINT key, UINT, UINT modifiers) {
    m_events.push_back({"key", Ovrix::CPoint(static_cast<LONG>(key), static_cast<LONG>(modifiers))});
    return TRUE;
}

BOOL ProbeControl::SetControlFocus(BOOL focus) {
    m_bFocused = focus;
    return TRUE;
}

BOOL ProbeControl::OnControlTimer() {
    m_tickThread = ::GetCurrentThreadId();
    ++m_ticks;
    return FALSE;
}

HBITMAP ProbeControl::GetControlDropBitmap() {
    return m_pManager != nullptr
               ? m_pManager->GetDropBitmap(this, Ovrix::CRect(0, 0, m_rect.Width(), m_rect.Height()), 0)
               : nullptr;
}

std::vector<std::string> ProbeControl::Names() const {
    std::vector<std::string> names;
    for (const Event& event : m_events) {
        names.push_back(event.name);
    }
    return names;
}

std::wstring WriteSkinImage(const std::wstring& name, int width, int height, Gdiplus::ARGB color) {
    return WriteSkinPicture(name, width, height,
                            [color](Gdiplus::Graphics& graphics) { graphics.Clear(Gdiplus::Color(color)); });
}

std::wstring WriteSkinPicture(const std::wstring& name, int width, int height,
                              const std::function<void(Gdiplus::Graphics&)>& painter) {
    const std::wstring folder = Ovrix::GetSkinFolder();
    ::CreateDirectoryW((Ovrix::GetModuleFolder() + L"skins").c_str(), nullptr);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    Gdiplus::Bitmap image(width, height, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&image);
        graphics.Clear(Gdiplus::Color(0));
        painter(graphics);
    }
    // The PNG encoder's class ID.
    const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    image.Save((folder + name).c_str(), &png, nullptr);
    return name;
}

void DeleteSkinImage(const std::wstring& name) {
    ::DeleteFileW((Ovrix::GetSkinFolder() + name).c_str());
}

} // namespace OvrixTest
