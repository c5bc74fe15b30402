// Process-wide state of the library: instance handle, scale, font defaults, GDI+ start-up and the registry of
// live window objects. UI thread only; nothing here is synchronised.
#pragma once

#include <string>

#include "OvrixApi.h"

namespace Ovrix {

class OVRIX_API Manager {
public:
    Manager() = default;
    // Everything is static; copying an instance has nothing to copy.
    Manager& operator=(const Manager&) { return *this; }
    Manager& operator=(Manager&&) { return *this; }

    static void SetInstance(HINSTANCE instance);
    static HINSTANCE GetInstance();

    static float GetScaleValue();
    // Single-precision product truncated towards zero: 7 -> 10 and -3 -> -4 at a factor of 1.5.
    static int GetScaleValue(int value);
    static void SetScaleValue(float value);

    static std::wstring GetFontName();
    static void SetFontName(std::wstring name);
    static int GetFontWidth();
    static void SetFontWidth(int width);
    static void SetFont(std::wstring name, int size);

    static Gdiplus::ARGB GetSelectColor();
    static std::wstring GetTheme();

    // GDI+, then COM and OLE; both empty the window registry.
    static void InitGdiplus();
    static void UnInitGdiplus();

    static void AddWnd(MWindow* window);
    static void DeleteWnd(MWindow* window);
    static BOOL IsWndRegistered(MWindow* window);

    // TRUE while Alt and F4 are both reported pressed; the message is not looked at.
    static BOOL PreTranslateMessage(MSG* message);
    // Runs until the thread's queue yields WM_QUIT; drops messages while Alt+F4 is held.
    static void MessageLoop();

    static HINSTANCE m_hInstance;
    static float m_scale_value;
    static std::wstring m_fontname;
    static int m_fontwidth;
    static Gdiplus::ARGB m_select_color;
    static UINT m_uControlID;
    static Gdiplus::GdiplusStartupInput m_gdiplusStartupInput;
    static ULONG_PTR m_gdiplusToken;
};

// Folder of the running program's executable (not of this library), with a trailing backslash.
OVRIX_API std::wstring GetModuleFolder();
// GetModuleFolder() + "skins\" + the theme folder; every image named by file is taken from here.
OVRIX_API std::wstring GetSkinFolder();
// Trace entry point; traces are discarded.
OVRIX_API void M_Trace(const wchar_t* format, ...);

} // namespace Ovrix
