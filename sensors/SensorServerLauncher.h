// Finding and starting the sensor server installed beside the program. UI thread. Windows only.
#pragma once

#include <string>

constexpr wchar_t kSensorServerImageName[] = L"Senmora.exe";
constexpr wchar_t kSensorServerFolder[] = L"Halvorn";         // Windows 10 and later
constexpr wchar_t kSensorServerWin7Folder[] = L"HalvornWin7"; // earlier versions

// The running executable's folder with a trailing backslash; empty if it cannot be read.
std::wstring ModuleDirectory();

// Asks ntdll's RtlGetNtVersionNumbers, which no compatibility shim rewrites. Writes a GBK line to stderr and
// answers false when the library or the export is missing.
bool IsWindows10OrLater();
// The same query through any library and export name.
bool IsWindows10OrLater(const wchar_t* library, const char* exportName);

// Full path of the server build for this Windows version.
std::wstring SensorServerPath(bool windows10OrLater);

// Starts the server without waiting for it; a missing server is silently not started. The path is quoted so a
// folder with spaces can never resolve to another executable at one of its prefixes.
void LaunchSensorServer();
