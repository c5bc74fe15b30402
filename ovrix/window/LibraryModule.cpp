#include "LibraryModule.h"

namespace Ovrix {

HMODULE g_hLibModule = nullptr;

} // namespace Ovrix

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        Ovrix::g_hLibModule = instance;
    }
    return TRUE;
}
