// Shows the sample dialog. With two file names it is driven by the screenshot script: it writes the first once the
// dialog has painted and closes as soon as the second exists (or after a minute).
#include <windows.h>

#include <string>

#include "SampleDialog.h"

namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollMs = 100;
constexpr int kGiveUpPolls = 600;

class ScriptedSampleDialog : public SampleDialog {
public:
    ScriptedSampleDialog(std::wstring readyFile, std::wstring doneFile)
        : m_readyFile(std::move(readyFile)), m_doneFile(std::move(doneFile)) {}

    void Start() { SetTimer(kPollTimer, kPollMs, nullptr); }
    void OnTimer(UINT_PTR timerId) override {
        if (timerId != kPollTimer) {
            return;
        }
        ++m_polls;
        if (!m_ready) {
            // The first tick comes after the first paint: timers rank below painting in the queue.
            const HANDLE file = ::CreateFileW(m_readyFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE) {
                ::CloseHandle(file);
            }
            m_ready = true;
        }
        if (::GetFileAttributesW(m_doneFile.c_str()) != INVALID_FILE_ATTRIBUTES || m_polls > kGiveUpPolls) {
            KillTimer(kPollTimer);
            DoClose();
        }
    }

private:
    std::wstring m_readyFile;
    std::wstring m_doneFile;
    int m_polls = 0;
    bool m_ready = false;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    Ovrix::Manager::SetInstance(::GetModuleHandleW(nullptr));
    // Wine has no Arial, the library's default face; this is the face the library embeds.
    Ovrix::Manager::SetFontName(L"DejaVu Sans");
    UINT result = 0;
    {
        const bool scripted = argc >= 3;
        ScriptedSampleDialog dialog(scripted ? argv[1] : L"", scripted ? argv[2] : L"");
        if (dialog.Open(POINT{40, 40}) != nullptr) {
            if (scripted) {
                dialog.Start();
            }
            result = dialog.ShowModal(SW_SHOW);
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return static_cast<int>(result);
}
