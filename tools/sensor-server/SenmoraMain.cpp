// Senmora: the sensor server. Publishes the CPU temperature, the CPU load and up to two further temperatures in
// the shared sensor record about once a second until it is terminated. No window, no console, no arguments.
#include <memory>
#include <optional>
#include <string>

#include <objbase.h>
#include <windows.h>

#include "CpuLoadMeter.h"
#include "DemoSource.h"
#include "HwmonSource.h"
#include "RecordPublisher.h"
#include "ServerConfig.h"
#include "SharedRecordWriter.h"
#include "SourceChain.h"
#include "WindowsFolderReader.h"
#include "WindowsText.h"
#include "WmiSource.h"

namespace {

// Held for the server's whole life; a later copy that finds it exits before touching the record.
constexpr wchar_t kServerMutexName[] = L"senmora_sensor_server";
constexpr ULONGLONG kPassMilliseconds = 1000;
constexpr DWORD kConfigFileLimit = 64 * 1024;

std::wstring ModuleFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::optional<std::string> ReadConfigFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string text(kConfigFileLimit, '\0');
    DWORD read = 0;
    const BOOL ok = ReadFile(file, text.data(), kConfigFileLimit, &read, nullptr);
    CloseHandle(file);
    if (!ok)
        return std::nullopt;
    text.resize(read);
    return text;
}

std::optional<std::string> EnvironmentValue(const char* name) {
    const std::wstring wideName = WideFromUtf8(name);
    const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0)
        return std::nullopt;
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    if (length == 0 || length >= size)
        return std::nullopt;
    value.resize(length);
    return Utf8FromWide(value);
}

// A relative folder in the configuration is taken from the server's own folder, not the inherited current one.
std::string BesideServer(const std::string& folder, const std::wstring& serverFolder) {
    const bool absolute =
        folder.size() >= 2 &&
        (folder[1] == ':' || ((folder[0] == '\\' || folder[0] == '/') && (folder[1] == '\\' || folder[1] == '/')));
    return absolute ? folder : Utf8FromWide(serverFolder) + folder;
}

// The host's sysfs folder as Wine shows it: through its own path translation when it offers one, else through
// the drive that a default Wine prefix maps to the host's root.
std::optional<std::string> WineFolder(const char* unixPath, const char* fallback) {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") == nullptr)
        return std::nullopt;
    using DosFileName = WCHAR* (*)(const char*);
    const auto translate = reinterpret_cast<DosFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (translate != nullptr) {
        if (WCHAR* dosName = translate(unixPath)) {
            std::string folder = Utf8FromWide(dosName);
            HeapFree(GetProcessHeap(), 0, dosName);
            if (!folder.empty())
                return folder;
        }
    }
    return std::string(fallback);
}

CpuTimes SampleSystemTimes() {
    FILETIME idle{}, kernel{}, user{};
    if (!GetSystemTimes(&idle, &kernel, &user))
        return {};
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return {ticks(idle), ticks(kernel), ticks(user)};
}

SourceChain BuildSourceChain(const ServerConfig& config, const std::wstring& serverFolder, FolderReader& reader) {
    SourceChain chain;
    for (SourceKind kind : SourceOrder(config.source)) {
        switch (kind) {
        case SourceKind::Wmi:
            chain.Add(std::make_unique<WmiSource>());
            break;
        case SourceKind::Hwmon: {
            // Outside Wine the sysfs folders exist only when the configuration names them.
            std::optional<std::string> hwmon = config.hwmonRoot
                                                   ? BesideServer(*config.hwmonRoot, serverFolder)
                                                   : WineFolder("/sys/class/hwmon", "Z:\\sys\\class\\hwmon");
            std::optional<std::string> thermal = config.thermalRoot
                                                     ? BesideServer(*config.thermalRoot, serverFolder)
                                                     : WineFolder("/sys/class/thermal", "Z:\\sys\\class\\thermal");
            if (hwmon || thermal)
                chain.Add(std::make_unique<HwmonSource>(reader, hwmon.value_or(""), thermal.value_or("")));
            break;
        }
        case SourceKind::Demo:
            chain.Add(std::make_unique<DemoSource>());
            break;
        case SourceKind::Automatic:
            break;
        }
    }
    return chain;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    HANDLE instance = CreateMutexW(nullptr, FALSE, kServerMutexName);
    // Access denied means a copy running under another token holds it: that one publishes already.
    if (instance == nullptr || GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;

    // A missing drive or an unreadable sensor file must never bring up a system error box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE, nullptr,
                         EOAC_NONE, nullptr);

    const std::wstring serverFolder = ModuleFolder();
    ServerConfig config;
    if (std::optional<std::string> text = ReadConfigFile(serverFolder + WideFromUtf8(kConfigFileName)))
        config = ParseServerConfig(*text);
    ApplyEnvironment(config, EnvironmentValue);

    WindowsFolderReader reader;
    SourceChain chain = BuildSourceChain(config, serverFolder, reader);
    SharedRecordWriter writer;
    std::optional<RecordPublisher> publisher;
    CpuLoadMeter loadMeter;

    const ULONGLONG start = GetTickCount64();
    ULONGLONG nextPass = start;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const double seconds = static_cast<double>(now - start) / 1000.0;
        const float load = loadMeter.Update(SampleSystemTimes());
        if (!publisher) {
            if (SensorRecord* record = writer.Record())
                publisher.emplace(*record);
        }
        // Without any temperature the server still publishes the load and stays visibly alive, with 0 degrees
        // meaning "no reading".
        if (publisher)
            publisher->Publish(chain.Read(seconds).value_or(SensorReadings{}), load);

        // Keep a steady pace; after a slow pass (a stalled WMI query) start the next one a full period later.
        nextPass += kPassMilliseconds;
        const ULONGLONG after = GetTickCount64();
        if (nextPass <= after)
            nextPass = after + kPassMilliseconds;
        Sleep(static_cast<DWORD>(nextPass - after));
    }
}
