#include "Ovrix/Manager.h"

#include <map>

#include <ole2.h>

namespace Ovrix {

namespace {

// Only the keys mean anything; the value is always 0.
std::map<MWindow*, int>& WindowRegistry() {
    static std::map<MWindow*, int> registry;
    return registry;
}

constexpr int kAltKey = 0x12;
constexpr int kF4Key = 0x73;

// Either bit: down now, or pressed since the previous query.
bool KeyReported(int key) {
    return ::GetAsyncKeyState(key) != 0;
}

} // namespace

HINSTANCE Manager::m_hInstance = nullptr;
float Manager::m_scale_value = 1.0f;
std::wstring Manager::m_fontname = L"Arial";
int Manager::m_fontwidth = 14;
Gdiplus::ARGB Manager::m_select_color = 0xFFBD30FF;
UINT Manager::m_uControlID = 0;
Gdiplus::GdiplusStartupInput Manager::m_gdiplusStartupInput;
ULONG_PTR Manager::m_gdiplusToken = 0;

void Manager::SetInstance(HINSTANCE instance) {
    m_hInstance = instance;
}
HINSTANCE Manager::GetInstance() {
    return m_hInstance;
}

float Manager::GetScaleValue() {
    return m_scale_value;
}

int Manager::GetScaleValue(int value) {
    const float scaled = static_cast<float>(value) * m_scale_value;
    return static_cast<int>(scaled);
}

void Manager::SetScaleValue(float value) {
    m_scale_value = value;
}

std::wstring Manager::GetFontName() {
    return m_fontname;
}
void Manager::SetFontName(std::wstring name) {
    m_fontname = std::move(name);
}
int Manager::GetFontWidth() {
    return m_fontwidth;
}
void Manager::SetFontWidth(int width) {
    m_fontwidth = width;
}

void Manager::SetFont(std::wstring name, int size) {
    m_fontname = std::move(name);
    m_fontwidth = size;
}

Gdiplus::ARGB Manager::GetSelectColor() {
    return m_select_color;
}
std::wstring Manager::GetTheme() {
    return L"theme1\\";
}

void Manager::InitGdiplus() {
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &m_gdiplusStartupInput, nullptr);
    ::CoInitialize(nullptr);
    ::OleInitialize(nullptr);
    WindowRegistry().clear();
}

void Manager::UnInitGdiplus() {
    Gdiplus::GdiplusShutdown(m_gdiplusToken);
    ::CoUninitialize();
    ::OleUninitialize();
    WindowRegistry().clear();
}

void Manager::AddWnd(MWindow* window) {
    WindowRegistry().emplace(window, 0);
}
void Manager::DeleteWnd(MWindow* window) {
    WindowRegistry().erase(window);
}
BOOL Manager::IsWndRegistered(MWindow* window) {
    return WindowRegistry().count(window) != 0;
}

BOOL Manager::PreTranslateMessage(MSG*) {
    return KeyReported(kAltKey) && KeyReported(kF4Key);
}

void Manager::MessageLoop() {
    MSG message;
    for (;;) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            return;
        }
        // -1 is a retrieval error, which does not end the loop; there is no message to hand on then.
        if (got == -1 || PreTranslateMessage(&message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

std::wstring GetModuleFolder() {
    // Grow past MAX_PATH rather than cut a long program path short.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            path.clear();
            break;
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    path.resize(slash == std::wstring::npos ? 0 : slash + 1);
    if (path.empty() || path.back() != L'\\') {
        path.push_back(L'\\');
    }
    return path;
}

std::wstring GetSkinFolder() {
    return GetModuleFolder() + L"skins\\" + Manager::GetTheme();
}

void M_Trace(const wchar_t*, ...) {}

} // namespace Ovrix
