// Stands in for a running program's main window: a hidden top-level window carrying the "Velbar-Digital" property,
// found and told to exit the way other processes do. The "Exit" command (100) ends it at once with exit code 0, as
// the program's tray menu does. With "--ignore-exit" it stays put, like a copy that hangs.
#include <windows.h>

#include <cwchar>

namespace {

constexpr wchar_t kWindowProperty[] = L"Velbar-Digital";
constexpr WPARAM kExitCommand = 100;
bool g_ignoreExit = false;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && wParam == kExitCommand && !g_ignoreExit) {
        ExitProcess(0);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    g_ignoreExit = std::wcsstr(commandLine, L"--ignore-exit") != nullptr;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"StandInMainWindow";
    if (RegisterClassW(&windowClass) == 0) {
        return 2;
    }
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"DIGITAL", WS_POPUP, 0, 0, 344, 216,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr || !SetPropW(window, kWindowProperty, reinterpret_cast<HANDLE>(1))) {
        return 2;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 3;
}
