#include "updater/WebFetcher.h"

#include <wininet.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr char kUserAgent[64] = "IIC2.0/PC 5.5.0000";
constexpr char kRequestHeaders[] = "Accept: */*\r\n\r\n";
// Always reload from the server, never write to the cache, send a no-cache pragma.
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
static_assert(kRequestFlags == 0x84000100);
constexpr DWORD kReadSize = 10240;
// A version document is ten characters; anything this large is not one and must not grow without bound.
constexpr std::size_t kMaxTextBody = 1024 * 1024;

struct InternetCloser {
    void operator()(HINTERNET handle) const { InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetCloser>;

struct FileCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, FileCloser>;

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), length, nullptr,
                            nullptr);
    }
    return utf8;
}

std::wstring FromUtf8UpToZero(const std::vector<char>& bytes) {
    std::size_t size = 0;
    while (size < bytes.size() && bytes[size] != '\0') {
        ++size;
    }
    if (size == 0) {
        return {};
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(size), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(size), text.data(), length);
    }
    return text;
}

InternetHandle OpenInternet() {
    DWORD state = 0;
    InternetGetConnectedState(&state, 0);
    const DWORD access = (state & INTERNET_CONNECTION_PROXY) ? INTERNET_OPEN_TYPE_PRECONFIG
                                                             : INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY;
    return InternetHandle(InternetOpenA(kUserAgent, access, nullptr, nullptr, 0));
}

InternetHandle OpenRequest(HINTERNET internet, const std::wstring& url) {
    const std::string utf8 = ToUtf8(url);
    return InternetHandle(InternetOpenUrlA(internet, utf8.c_str(), kRequestHeaders,
                                           static_cast<DWORD>(std::strlen(kRequestHeaders)), kRequestFlags, 0));
}

DWORD ContentLength(HINTERNET request) {
    DWORD length = 0;
    DWORD size = sizeof(length);
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr)) {
        return 0;
    }
    return length;
}

void DeleteIfPresent(const std::wstring& path) {
    DeleteFileW(path.c_str());
}

} // namespace

void WebFetcher::PostProgress(HWND window, int value) {
    if (window == nullptr || value == m_lastProgress) {
        return;
    }
    m_lastProgress = value;
    PostMessageW(window, WM_TRAY_NOTIFY, 0, value);
}

int WebFetcher::FetchText(const std::wstring& url, std::wstring& text) {
    m_running = 1;
    InternetHandle internet = OpenInternet();
    if (!internet) {
        return kFetchNoInternet;
    }
    InternetHandle request = OpenRequest(internet.get(), url);
    if (!request) {
        return kFetchFailed;
    }
    std::vector<char> body;
    std::vector<char> chunk(kReadSize);
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request.get(), chunk.data(), kReadSize, &read)) {
            return kFetchFailed;
        }
        if (read == 0) {
            break;
        }
        body.insert(body.end(), chunk.begin(), chunk.begin() + read);
        if (body.size() > kMaxTextBody) {
            return kFetchFailed;
        }
        if (!m_running) {
            break;
        }
    }
    text = FromUtf8UpToZero(body);
    return m_running ? kFetchDone : kFetchCancelled;
}

int WebFetcher::DownloadToFile(const std::wstring& url, const std::wstring& path, HWND progressWindow) {
    PostProgress(progressWindow, 0);
    m_running = 1;
    InternetHandle internet = OpenInternet();
    if (!internet) {
        return kFetchNoInternet;
    }
    PostProgress(progressWindow, 2);
    InternetHandle request = OpenRequest(internet.get(), url);
    if (!request) {
        return kFetchFailed;
    }
    PostProgress(progressWindow, 8);

    DeleteIfPresent(path);
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) {
        file.release();
        return kFetchFailed;
    }
    const DWORD length = ContentLength(request.get());
    PostProgress(progressWindow, 10);

    // Whatever ends the transfer early, a partial file must not look like a finished download.
    auto fail = [&](int result) {
        file.reset();
        DeleteIfPresent(path);
        return result;
    };

    std::vector<char> buffer(kReadSize);
    unsigned long long received = 0;
    for (;;) {
        std::memset(buffer.data(), 0, buffer.size());
        DWORD read = 0;
        if (!InternetReadFile(request.get(), buffer.data(), kReadSize, &read)) {
            return fail(kFetchFailed);
        }
        if (read == 0) {
            break;
        }
        DWORD written = 0;
        if (!WriteFile(file.get(), buffer.data(), read, &written, nullptr) || written != read) {
            return fail(kFetchFailed);
        }
        received += read;
        if (length >= kReadSize) {
            const unsigned long long value = 10 + (90 * received) / length;
            PostProgress(progressWindow, static_cast<int>(value > 100 ? 100 : value));
        }
        if (!m_running) {
            break;
        }
    }
    if (!m_running) {
        return fail(kFetchCancelled);
    }
    // WinINet reports a connection cut before the announced length as a normal end of data.
    if (length != 0 && received != length) {
        return fail(kFetchFailed);
    }
    file.reset();
    PostProgress(progressWindow, 100);
    return kFetchDone;
}
