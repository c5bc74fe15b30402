#include "updater/ProgramLauncher.h"

#include <windows.h>

#include <shellapi.h>

namespace {
// Not in every SDK's headers.
constexpr DWORD kErrorElevationRequired = 740;
} // namespace

bool InstallerLauncher::Start(const std::wstring& fullPath) {
    // With the application name given nothing is searched for, and the quoted command line keeps a path with
    // blanks one argument for the started program.
    std::wstring commandLine = L"\"" + fullPath + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(fullPath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return true;
    }
    if (GetLastError() != kErrorElevationRequired) {
        return false;
    }
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = L"open";
    execute.lpFile = fullPath.c_str();
    execute.nShow = SW_SHOW;
    return ShellExecuteExW(&execute) != FALSE;
}
