#include "Settings.h"

#include <cwchar>

#include <windows.h>

namespace {

constexpr DWORD kValueBufferBytes = 512;
constexpr DWORD kValueCapacityBytes = 255;

struct KeyCloser {
    HKEY key;
    ~KeyCloser() { RegCloseKey(key); }
};

} // namespace

std::wstring SettingsKeyPath() {
    return std::wstring(L"SOFTWARE\\") + kProductName;
}

std::int32_t ReadSetting(const wchar_t* name) {
    const std::wstring path = SettingsKeyPath();
    HKEY key = nullptr;
    const LSTATUS opened = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (opened == ERROR_FILE_NOT_FOUND) {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr) == ERROR_SUCCESS)
            RegCloseKey(key);
        return 0;
    }
    if (opened != ERROR_SUCCESS)
        return 0;
    KeyCloser closer{key};

    // Declaring less than the buffer holds keeps whatever is read NUL-terminated as wide text.
    alignas(wchar_t) BYTE buffer[kValueBufferBytes] = {};
    DWORD size = kValueCapacityBytes;
    // A value that does not fit leaves the buffer's contents undefined: treat it as missing.
    if (RegQueryValueExW(key, name, nullptr, nullptr, buffer, &size) != ERROR_SUCCESS)
        return 0;
    return static_cast<std::int32_t>(std::wcstol(reinterpret_cast<const wchar_t*>(buffer), nullptr, 10));
}

void WriteSetting(const wchar_t* name, const wchar_t* text) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    KeyCloser closer{key};
    const DWORD bytes = static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes);
}
