// The library's own module handle, through which it reaches the resources stored inside itself (never through
// the application's instance handle).
#pragma once

#include <windows.h>

namespace Ovrix {

extern HMODULE g_hLibModule;

} // namespace Ovrix
