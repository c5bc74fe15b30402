// Messages and commands of the tray program's main window, shared by the window, the tray, the worker's update
// steps and other processes that post commands to it.
#pragma once

#include <windows.h>

constexpr UINT WM_TRAY_NOTIFY = 0x069A;   // tray callback; with wParam 0, download progress 0..100 in lParam
constexpr UINT WM_UPDATE_RESULT = 0x069C; // wParam 1 software, 2 firmware; lParam 0 not newer, other newer

constexpr UINT ID_EXIT = 100;
constexpr UINT ID_CHECK_FIRMWARE = 101;
constexpr UINT ID_CHECK_SOFTWARE = 102;
constexpr UINT ID_DEVICE_COUNT = 202;
constexpr UINT ID_VERSION = 203;
