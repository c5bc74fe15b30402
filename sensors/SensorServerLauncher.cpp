#include "SensorServerLauncher.h"

#include <cstdio>
#include <vector>

#include <windows.h>

namespace {

// "无法加载 ntdll.dll" and "无法获取 RtlGetNtVersionNumbers 函数的地址" in GBK.
constexpr char kLoadFailedLine[] = "\xce\xde\xb7\xa8\xbc\xd3\xd4\xd8 ntdll.dll\n";
constexpr char kExportMissingLine[] = "\xce\xde\xb7\xa8\xbb\xf1\xc8\xa1 RtlGetNtVersionNumbers "
                                      "\xba\xaf\xca\xfd\xb5\xc4\xb5\xd8\xd6\xb7\n";

using GetNtVersionNumbers = void(WINAPI*)(DWORD* major, DWORD* minor, DWORD* build);

void WriteErrorLine(const char* line) {
    std::fputs(line, stderr);
    std::fflush(stderr);
}

} // namespace

std::wstring ModuleDirectory() {
    // Grow past MAX_PATH rather than cut a long installation path.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return {};
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            const std::size_t slash = path.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
        }
        if (buffer.size() >= 32768)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

bool IsWindows10OrLater(const wchar_t* library, const char* exportName) {
    HMODULE module = LoadLibraryW(library);
    if (module == nullptr) {
        WriteErrorLine(kLoadFailedLine);
        return false;
    }
    auto query = reinterpret_cast<GetNtVersionNumbers>(reinterpret_cast<void*>(GetProcAddress(module, exportName)));
    if (query == nullptr) {
        WriteErrorLine(kExportMissingLine);
        FreeLibrary(module);
        return false;
    }
    DWORD major = 0, minor = 0, build = 0;
    query(&major, &minor, &build);
    FreeLibrary(module);
    return major >= 10;
}

bool IsWindows10OrLater() {
    return IsWindows10OrLater(L"ntdll.dll", "RtlGetNtVersionNumbers");
}

std::wstring SensorServerPath(bool windows10OrLater) {
    return ModuleDirectory() + (windows10OrLater ? kSensorServerFolder : kSensorServerWin7Folder) + L"\\" +
           kSensorServerImageName;
}

void LaunchSensorServer() {
    // Without our own folder a bare relative path would be looked up in the current directory and the search path.
    if (ModuleDirectory().empty())
        return;
    const std::wstring quoted = L"\"" + SensorServerPath(IsWindows10OrLater()) + L"\"";
    std::vector<wchar_t> commandLine(quoted.begin(), quoted.end());
    commandLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}
