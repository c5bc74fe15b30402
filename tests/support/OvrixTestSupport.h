// Shared pieces of the UI library tests: GDI+ running for the whole test program, waiting on the message queue,
// and a 32-bit surface whose pixels can be read back.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include <Ovrix/Ovrix.h>

namespace OvrixTest {

// Pumps this thread's messages until the condition holds or the deadline passes; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = std::chrono::seconds(10));
// Pumps whatever is queued now, for a short settle after an action with no observable end.
void PumpPending();

// A top-down-addressed view of a bottom-up 32-bit section selected into its own memory DC.
class Surface {
public:
    Surface(int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC& Dc() { return m_dc; }
    HBITMAP Bitmap() const { return m_bitmap; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // 0x00RRGGBB of the pixel at client (x, y); alpha dropped.
    std::uint32_t Rgb(int x, int y) const;
    std::uint8_t Alpha(int x, int y) const;
    void Fill(std::uint32_t bgra);
    // Smallest rectangle holding every pixel whose colour differs from the background; empty when none does.
    Ovrix::CRect InkBounds(std::uint32_t backgroundRgb) const;
    // Takes the bitmap out of the DC (some calls want it unselected) and puts it back.
    void Deselect();
    void Reselect();

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    BYTE* m_bits = nullptr;
};

} // namespace OvrixTest
