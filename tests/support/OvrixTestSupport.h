// Shared pieces of the UI library tests: GDI+ running for the whole test program, waiting on the message queue,
// and a 32-bit surface whose pixels can be read back.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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

// A window that embeds a paint manager and hands it every message, as a dialog does: the manager first, then the
// default procedure. It is also the parent its top-level controls report to.
class ManagedWindow : public Ovrix::MWindow, public Ovrix::MObject {
public:
    ManagedWindow() = default;
    ~ManagedWindow() override;

    const wchar_t* GetWindowClassName() const override { return L"OvrixManagedTestWindow"; }
    BOOL OnInitDialog() override;
    LRESULT OnWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* message) override { return m_manager.PreTranslateMessage(message); }
    void OnDestroyMessage(HWND window) override { m_manager.OnDestroyMessage(window); }
    LRESULT OnControlUpdate(Ovrix::CRect area, BOOL rebuild, Ovrix::MControl* control) override {
        return m_manager.OnControlUpdate(area, rebuild, control);
    }

    // A visible pop-up at the given screen rectangle; layered windows get no style until their first paint.
    HWND Open(Ovrix::CRect screenRect);
    // Repaints everything now and reads the client area back from the window into the surface.
    void PaintAndCapture(Surface& surface);

    Ovrix::PaintManager m_manager;
    std::vector<UINT> m_messages;
    std::vector<std::pair<UINT, LPARAM>> m_received;
};

// A control that fills its rectangle with one colour and records what reaches it.
class ProbeControl : public Ovrix::MControl {
public:
    ProbeControl(Ovrix::MObject* parent, UINT id, Ovrix::CRect rect, COLORREF color = 0, BOOL response = TRUE)
        : MControl(parent, id, rect, TRUE, TRUE, response), m_color(color) {}
    ~ProbeControl() override;

    void DrawControl(HDC& dc, Ovrix::CRect paintArea) override;
    BOOL OnControlMouseMove(UINT, Ovrix::CPoint point) override { return Record("move", point); }
    BOOL OnControlLButtonDown(UINT, Ovrix::CPoint point) override;
    BOOL OnControlLButtonUp(UINT, Ovrix::CPoint point) override { return Record("up", point); }
    BOOL OnControlRButtonDown(UINT, Ovrix::CPoint point) override { return Record("rdown", point); }
    BOOL OnControlScroll(int, UINT direction, Ovrix::CPoint point) override;
    BOOL OnControlKeyDown(UINT key, UINT, UINT modifiers) override;
    BOOL SetControlFocus(BOOL focus) override;
    BOOL OnControlTimer() override;
    HBITMAP GetControlDropBitmap() override;

    std::vector<std::string> Names() const;
    void Clear() { m_events.clear(); }
    void SetTabStopFlag(BOOL on) { m_bTabStop = on; }
    void SetDragFlag(BOOL on) { m_bDragDrop = on; }

    struct Event {
        std::string name;
        Ovrix::CPoint point;
    };
    std::vector<Event> m_events;
    COLORREF m_color;
    bool m_takesPress = true;
    int m_draws = 0;
    std::atomic<int> m_ticks{0};
    std::atomic<DWORD> m_tickThread{0};
    bool* m_destroyed = nullptr;

private:
    BOOL Record(const char* name, Ovrix::CPoint point) {
        m_events.push_back({name, point});
        return TRUE;
    }
};

// Writes a PNG of the given size (filled with one colour) into the skin folder; returns its skin-relative name.
std::wstring WriteSkinImage(const std::wstring& name, int width, int height, Gdiplus::ARGB color);
void DeleteSkinImage(const std::wstring& name);
// The same with whatever the painter draws on a transparent image.
std::wstring WriteSkinPicture(const std::wstring& name, int width, int height,
                              const std::function<void(Gdiplus::Graphics&)>& painter);

} // namespace OvrixTest
