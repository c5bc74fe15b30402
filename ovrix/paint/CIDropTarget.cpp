#include "Ovrix/CIDropTarget.h"

namespace Ovrix {

CIDropTarget::CIDropTarget(HWND target) : m_hTargetWnd(target) {
    // Absent when COM is not initialised on this thread; drops then work without the drag image.
    if (FAILED(::CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper,
                                  reinterpret_cast<void**>(&m_pDropTargetHelper)))) {
        m_pDropTargetHelper = nullptr;
    }
}

CIDropTarget::~CIDropTarget() {
    if (m_pDropTargetHelper != nullptr) {
        m_pDropTargetHelper->Release();
    }
}

HRESULT STDMETHODCALLTYPE CIDropTarget::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (id == IID_IUnknown || id == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CIDropTarget::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&m_lRefCount));
}

ULONG STDMETHODCALLTYPE CIDropTarget::Release() {
    const LONG left = ::InterlockedDecrement(&m_lRefCount);
    return static_cast<ULONG>(left > 0 ? left : 0);
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    if (data == nullptr || effect == nullptr) {
        return E_INVALIDARG;
    }
    if (m_pDropTargetHelper != nullptr) {
        POINT at{point.x, point.y};
        m_pDropTargetHelper->DragEnter(m_hTargetWnd, data, &at, *effect);
    }
    m_pSupportedFrmt = nullptr;
    for (FORMATETC& format : m_formatetc) {
        if (data->QueryGetData(&format) == S_OK) {
            m_pSupportedFrmt = &format;
            break;
        }
    }
    m_bAllowDrop = m_pSupportedFrmt != nullptr;
    QueryDrop(keyState, effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect) {
    if (effect == nullptr) {
        return E_INVALIDARG;
    }
    if (m_pDropTargetHelper != nullptr) {
        POINT at{point.x, point.y};
        m_pDropTargetHelper->DragOver(&at, *effect);
    }
    QueryDrop(keyState, effect);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::DragLeave() {
    if (m_pDropTargetHelper != nullptr) {
        m_pDropTargetHelper->DragLeave();
    }
    m_bAllowDrop = false;
    m_pSupportedFrmt = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CIDropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    if (data == nullptr || effect == nullptr) {
        return E_INVALIDARG;
    }
    if (m_pDropTargetHelper != nullptr) {
        POINT at{point.x, point.y};
        m_pDropTargetHelper->Drop(data, &at, *effect);
    }
    if (QueryDrop(keyState, effect) && m_bAllowDrop && m_pSupportedFrmt != nullptr) {
        STGMEDIUM medium{};
        if (SUCCEEDED(data->GetData(m_pSupportedFrmt, &medium))) {
            if (OnDrop(m_pSupportedFrmt, medium, effect)) {
                ::ReleaseStgMedium(&medium);
            }
        }
    }
    m_bAllowDrop = false;
    *effect = DROPEFFECT_NONE;
    m_pSupportedFrmt = nullptr;
    return S_OK;
}

bool CIDropTarget::OnDrop(FORMATETC*, STGMEDIUM&, DWORD*) {
    return true;
}

void CIDropTarget::AddSuportedFormat(FORMATETC& format) {
    // Formats are added before any drag starts, so the accepted-format pointer into the list stays valid.
    m_formatetc.push_back(format);
}

bool CIDropTarget::QueryDrop(DWORD keyState, LPDWORD effect) {
    const DWORD allowed = *effect;
    if (!m_bAllowDrop) {
        *effect = DROPEFFECT_NONE;
        return false;
    }
    const bool control = (keyState & MK_CONTROL) != 0;
    const bool shift = (keyState & MK_SHIFT) != 0;
    DWORD wanted = DROPEFFECT_NONE;
    if (control && shift) {
        wanted = DROPEFFECT_LINK;
    } else if (control) {
        wanted = DROPEFFECT_COPY;
    } else if (shift) {
        wanted = DROPEFFECT_MOVE;
    }
    if (wanted != DROPEFFECT_NONE) {
        *effect = (allowed & wanted) != 0 ? wanted : DROPEFFECT_NONE;
    } else if (allowed & DROPEFFECT_COPY) {
        *effect = DROPEFFECT_COPY;
    } else if (allowed & DROPEFFECT_MOVE) {
        *effect = DROPEFFECT_MOVE;
    } else if (allowed & DROPEFFECT_LINK) {
        *effect = DROPEFFECT_LINK;
    } else {
        *effect = DROPEFFECT_NONE;
    }
    return *effect != DROPEFFECT_NONE;
}

} // namespace Ovrix
