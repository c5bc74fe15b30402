#include "SensorServerProcess.h"

#include <windows.h>

#include <tlhelp32.h>

#include "sensors/SensorServerLauncher.h"

bool TerminateSensorServer() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return false;
    bool found = false;
    DWORD processId = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (CompareStringOrdinal(entry.szExeFile, -1, kSensorServerImageName, -1, TRUE) == CSTR_EQUAL) {
            found = true;
            processId = entry.th32ProcessID;
            break;
        }
    }
    CloseHandle(snapshot);
    if (found) {
        HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
        if (process != nullptr) {
            TerminateProcess(process, 0);
            CloseHandle(process);
        }
    }
    return true;
}
