// The updater's HTTP(S) client over WinINet. Both operations block the calling (worker) thread; Cancel may be
// called from any thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "common/MainWindowMessages.h"


// Result codes of both operations.
constexpr int kFetchDone = 1;
constexpr int kFetchNoInternet = 0;
constexpr int kFetchFailed = -1;
constexpr int kFetchCancelled = -2;

class WebFetcher {
public:
    WebFetcher() = default;
    WebFetcher(const WebFetcher&) = delete;
    WebFetcher& operator=(const WebFetcher&) = delete;

    // Reads a short document; the text is replaced only on success or cancellation.
    int FetchText(const std::wstring& url, std::wstring& text);
    // Stores the resource in the file, posting WM_TRAY_NOTIFY progress values to the window when one is given.
    // Anything short of the whole announced body is a failure and leaves no file behind.
    int DownloadToFile(const std::wstring& url, const std::wstring& path, HWND progressWindow);

    // Stops a running transfer after its current chunk.
    void Cancel() { m_running = 0; }
    int LastProgress() const { return m_lastProgress; }

private:
    void PostProgress(HWND window, int value);

    std::atomic<int> m_running{0};
    std::atomic<int> m_lastProgress{0};
};
