// Display plug events: registration for device-interface broadcasts, the broadcast handler and the interface
// probe. UI thread. Windows only.
#pragma once

#include <windows.h>

#include "RefreshWorker.h"

// Registers `window` for the USB device, disk, HID and network adapter interface classes, in that order. The
// registrations last as long as the window. Returns how many succeeded.
int RegisterDeviceInterfaceNotifications(HWND window);

// For a device-change message: acts on display arrivals and removals of the device-interface kind, ignores
// everything else. The main window answers 0 either way.
void HandleDeviceInterfaceEvent(WPARAM event, LPARAM broadcast, RefreshWorker& worker);

// True when `path` opens and its top-level collection is the displays' vendor page and usage.
bool ProbeDisplayInterface(const wchar_t* path);
