// The parent interface: anything that owns windowless controls. Controls reach their owner only through these
// virtual operations.
#pragma once

#include "OvrixApi.h"

namespace Ovrix {

class OVRIX_API MObject {
public:
    MObject() = default;
    virtual ~MObject();

    // Exact, case-sensitive comparison with GetClassNameW(); a null class name matches nothing.
    virtual BOOL IsClass(const wchar_t* name);
    virtual const wchar_t* GetClassNameW() const;
    virtual const wchar_t* GetObjectClass();
    virtual const wchar_t* BaseObjectClassName();
    // Notification from a child control. WPARAM/LPARAM so that pointers survive the 64-bit build.
    virtual LRESULT OnBaseMessage(UINT id, UINT code, WPARAM wParam, LPARAM lParam);
    // Repaint request for an area in the window's client coordinates; rebuild marks the control's cache stale.
    virtual LRESULT OnControlUpdate(CRect area, BOOL rebuild, MControl* control);
};

} // namespace Ovrix
