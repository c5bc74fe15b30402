// The OLE drop-target half of a window: negotiates which of its supported formats to take and which effect to
// grant, shows the shell's drag image and hands the data to OnDrop. UI thread (OLE calls it there).
#pragma once

#include <vector>

#include "OvrixApi.h"
// After <windows.h>, which OvrixApi.h brings in.
#include <shlobj.h>

namespace Ovrix {

class OVRIX_API CIDropTarget : public IDropTarget {
public:
    explicit CIDropTarget(HWND target = nullptr);
    virtual ~CIDropTarget();
    CIDropTarget(const CIDropTarget&) = delete;
    CIDropTarget& operator=(const CIDropTarget&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    // Counts only: the object is a base of its owner and lives as long as the owner, never by its references.
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    // true: the caller releases the medium; false: the receiver kept it.
    virtual bool OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD* effect);

    void AddSuportedFormat(FORMATETC& format);
    void SetTargetWnd(HWND target) { m_hTargetWnd = target; }
    HWND GetTargetWnd() const { return m_hTargetWnd; }

protected:
    bool QueryDrop(DWORD keyState, LPDWORD effect);

    LONG m_lRefCount = 0;
    bool m_bAllowDrop = false;
    HWND m_hTargetWnd;
    IDropTargetHelper* m_pDropTargetHelper = nullptr;
    std::vector<FORMATETC> m_formatetc;
    FORMATETC* m_pSupportedFrmt = nullptr;
};

} // namespace Ovrix
