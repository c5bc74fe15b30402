#include "WindowsFolderReader.h"

#include <algorithm>

#include <windows.h>

#include "WindowsText.h"

namespace {

constexpr DWORD kSmallFileLimit = 4096;

std::wstring WindowsPath(const std::string& path) {
    std::wstring wide = WideFromUtf8(path);
    std::replace(wide.begin(), wide.end(), L'/', L'\\');
    return wide;
}

struct FindHandle {
    explicit FindHandle(HANDLE h) : handle(h) {}
    ~FindHandle() {
        if (handle != INVALID_HANDLE_VALUE)
            FindClose(handle);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE handle;
};

struct FileHandle {
    explicit FileHandle(HANDLE h) : handle(h) {}
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE handle;
};

} // namespace

std::vector<std::string> WindowsFolderReader::ListFolder(const std::string& path) {
    std::vector<std::string> names;
    std::wstring pattern = WindowsPath(path);
    if (pattern.empty())
        return names;
    if (pattern.back() != L'\\')
        pattern += L'\\';
    pattern += L'*';

    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (find.handle == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(Utf8FromWide(name));
    } while (FindNextFileW(find.handle, &data));
    return names;
}

std::optional<std::string> WindowsFolderReader::ReadSmallFile(const std::string& path) {
    // Sysfs files report a size of 4096 whatever they hold, so read until the end instead of by size.
    FileHandle file(CreateFileW(WindowsPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string text(kSmallFileLimit, '\0');
    DWORD total = 0;
    while (total < kSmallFileLimit) {
        DWORD read = 0;
        if (!ReadFile(file.handle, text.data() + total, kSmallFileLimit - total, &read, nullptr))
            return std::nullopt;
        if (read == 0)
            break;
        total += read;
    }
    text.resize(total);
    return text;
}
