// Process preparation of the tray program's entry point. UI thread.
#pragma once

#include <windows.h>

constexpr wchar_t kSingleInstanceName[] = L"Velbar-Digital";

// Below 1400 x 800 (as reported before any DPI declaration) the process declares itself DPI-aware.
constexpr bool NeedsDpiAwareness(int screenWidth, int screenHeight) {
    return screenWidth < 1400 || screenHeight < 800;
}

enum class InstanceRole { First, AlreadyRunning };

// Creates the named mutex with initial ownership. Its handle is kept for the life of the process on purpose;
// a creation failure counts as the first instance.
InstanceRole AcquireSingleInstance();

// The running instance's main window: the first top-level window carrying the "Velbar-Digital" property.
HWND FindRunningInstanceWindow();

// Enables SeDebugPrivilege in the process token; the result is only informative.
bool EnableDebugPrivilege();
