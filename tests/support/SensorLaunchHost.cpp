// Runs the sensor server launcher from whatever folder it is copied to, as the main program would.
//   launch    LaunchSensorServer once; exit code 10 on Windows 10 or later, 7 before.
//   choose    writes the server path the launcher would start to "chosen-server.txt" beside itself, without
//             starting it; same exit codes.
//   watchdog  maps the shared record and runs the watchdog's checks back to back with the real launcher, waiting
//             after each launch until the started server has left its marker; exit code = checks run.
#include <cwchar>
#include <string>

#include <windows.h>

#include "sensors/SensorRecordMapping.h"
#include "sensors/SensorServerLauncher.h"
#include "sensors/SensorServerWatchdog.h"

namespace {

int CountMarkers(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + L"started-*.txt").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        ++count;
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return count;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"launch") == 0) {
        LaunchSensorServer();
        return IsWindows10OrLater() ? 10 : 7;
    }
    if (argc > 1 && std::wcscmp(argv[1], L"choose") == 0) {
        const bool windows10OrLater = IsWindows10OrLater();
        const std::wstring path = SensorServerPath(windows10OrLater);
        HANDLE file = CreateFileW((ModuleDirectory() + L"chosen-server.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return 100;
        DWORD written = 0;
        WriteFile(file, path.data(), static_cast<DWORD>(path.size() * sizeof(wchar_t)), &written, nullptr);
        CloseHandle(file);
        return windows10OrLater ? 10 : 7;
    }
    if (argc > 1 && std::wcscmp(argv[1], L"watchdog") == 0) {
        auto record = OpenSensorRecord();
        if (!record)
            return 100;
        const std::wstring serverFolder = SensorServerPath(IsWindows10OrLater());
        const std::wstring folder = serverFolder.substr(0, serverFolder.find_last_of(L'\\') + 1);
        SensorServerWatchdog watchdog([&] {
            const int before = CountMarkers(folder);
            LaunchSensorServer();
            for (int i = 0; i < 1500 && CountMarkers(folder) == before; ++i)
                Sleep(20);
        });
        while (watchdog.Tick(record->View())) {
        }
        return watchdog.Ticks();
    }
    return 200;
}
