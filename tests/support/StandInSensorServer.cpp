// A stand-in for the sensor server in launcher tests. Started without arguments it leaves a marker file beside
// itself ("started-<pid>.txt" holding its own path), publishes server activity in the shared record when a file
// named "publish" lies beside it, and exits. With "--stay" it just waits to be terminated.
#include <cstring>
#include <string>

#include <windows.h>

#include "sensors/SensorRecord.h"

namespace {

std::wstring OwnPath() {
    wchar_t path[4096] = {};
    GetModuleFileNameW(nullptr, path, 4096);
    return path;
}

std::string Utf8(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

void Publish() {
    // The test holds the record open, so what is written here outlives this process.
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kSensorRecordSize, kSensorRecordName);
    if (mapping == nullptr)
        return;
    auto* record = static_cast<SensorRecord*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, kSensorRecordSize));
    if (record != nullptr) {
        StoreRecordFloat(record->serverActivity, 1.0f);
        UnmapViewOfFile(record);
    }
    CloseHandle(mapping);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && std::wcscmp(argv[1], L"--stay") == 0) {
        Sleep(120000);
        return 3;
    }
    const std::wstring path = OwnPath();
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    if (GetFileAttributesW((folder + L"publish").c_str()) != INVALID_FILE_ATTRIBUTES)
        Publish();

    // Written aside and renamed, so a reader never sees half a marker.
    const std::wstring marker = folder + L"started-" + std::to_wstring(GetCurrentProcessId());
    const std::string text = Utf8(path) + "\n" + Utf8(GetCommandLineW()) + "\n";
    HANDLE file = CreateFileW((marker + L".tmp").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileW((marker + L".tmp").c_str(), (marker + L".txt").c_str());
    return 0;
}
