// The logon task that starts the program elevated. UI thread. Windows only.
#pragma once

constexpr wchar_t kStartupTaskName[] = L"Velbar-Digital StartupTask";
constexpr wchar_t kStartupTriggerId[] = L"Administrator";
constexpr wchar_t kProgramFileName[] = L"Dravik.exe";

// Creates or updates the task in the root folder. 0 when registration was attempted (even if it failed), 1 when
// an earlier step failed; each failure writes its message and the lower-case hexadecimal HRESULT to stderr.
int RegisterStartupTask();
