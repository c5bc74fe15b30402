// OLE drag and drop: the window as a drop target for pictures, and dragging a control out as a picture.
#include "Ovrix/PaintManager.h"

#include <shellapi.h>
#include <shlobj.h>

#include "Ovrix/MControl.h"

namespace Ovrix {

namespace {

constexpr DWORD kMaxDroppedPath = 520;
constexpr UINT kSetImageMessage = 0x0172; // STM_SETIMAGE

FORMATETC Format(CLIPFORMAT format, DWORD medium) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, medium};
}

// Where a packed DIB's pixels start, or 0 when the block is too small to hold what its header announces.
SIZE_T DibBitsOffset(const BITMAPINFOHEADER* header, SIZE_T blockSize) {
    if (blockSize < sizeof(DWORD) || header->biSize < sizeof(BITMAPCOREHEADER) || header->biSize > blockSize) {
        return 0;
    }
    SIZE_T colours = 0;
    SIZE_T entrySize = 4;
    SIZE_T masks = 0;
    WORD bitCount = 0;
    if (header->biSize == sizeof(BITMAPCOREHEADER)) {
        bitCount = reinterpret_cast<const BITMAPCOREHEADER*>(header)->bcBitCount;
        entrySize = 3;
    } else {
        if (blockSize < sizeof(BITMAPINFOHEADER)) {
            return 0;
        }
        bitCount = header->biBitCount;
        colours = header->biClrUsed;
        if (header->biCompression == BI_BITFIELDS) {
            masks = 12;
        }
    }
    if (colours == 0 && bitCount <= 8 && bitCount != 0) {
        colours = SIZE_T{1} << bitCount;
    }
    if (colours > 256 && bitCount <= 8) {
        return 0;
    }
    const SIZE_T offset = header->biSize + masks + colours * entrySize;
    return offset < blockSize ? offset : 0;
}

HBITMAP BitmapFromDib(HGLOBAL block) {
    const SIZE_T size = ::GlobalSize(block);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(block));
    if (header == nullptr) {
        return nullptr;
    }
    HBITMAP bitmap = nullptr;
    const SIZE_T offset = DibBitsOffset(header, size);
    if (offset != 0) {
        const HDC screen = ::GetDC(nullptr);
        bitmap = ::CreateDIBitmap(screen, header, CBM_INIT, reinterpret_cast<const BYTE*>(header) + offset,
                                  reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, screen);
    }
    ::GlobalUnlock(block);
    return bitmap;
}

HBITMAP BitmapFromMetafile(HENHMETAFILE metafile, HDC reference) {
    ENHMETAHEADER header{};
    if (::GetEnhMetaFileHeader(metafile, sizeof(header), &header) == 0) {
        return nullptr;
    }
    const HDC screen = ::GetDC(nullptr);
    const HDC device = reference != nullptr ? reference : screen;
    // The frame is in 0.01 mm.
    const int width = ::MulDiv(header.rclFrame.right - header.rclFrame.left, ::GetDeviceCaps(device, HORZRES),
                               ::GetDeviceCaps(device, HORZSIZE) * 100);
    const int height = ::MulDiv(header.rclFrame.bottom - header.rclFrame.top, ::GetDeviceCaps(device, VERTRES),
                                ::GetDeviceCaps(device, VERTSIZE) * 100);
    HBITMAP bitmap = nullptr;
    if (width > 0 && height > 0) {
        bitmap = ::CreateCompatibleBitmap(device, width, height);
        const HDC memory = ::CreateCompatibleDC(device);
        const HGDIOBJ old = ::SelectObject(memory, bitmap);
        RECT bounds{0, 0, width, height};
        ::PlayEnhMetaFile(memory, metafile, &bounds);
        ::SelectObject(memory, old);
        ::DeleteDC(memory);
    }
    ::ReleaseDC(nullptr, screen);
    return bitmap;
}

// IUnknown for the small COM objects of a drag: one interface, a reference count, deleted at the last release.
template <class Interface> class ComObject : public Interface {
public:
    virtual ~ComObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (id == IID_IUnknown || id == __uuidof(Interface)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&m_references);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

private:
    LONG m_references = 1;
};

// What a dragged control carries: a bitmap and an enhanced metafile of it. Owns both; hands out copies.
class DragDataObject final : public ComObject<IDataObject> {
public:
    DragDataObject(HBITMAP bitmap, HENHMETAFILE metafile) : m_bitmap(bitmap), m_metafile(metafile) {}
    ~DragDataObject() override {
        if (m_bitmap != nullptr) {
            ::DeleteObject(m_bitmap);
        }
        if (m_metafile != nullptr) {
            ::DeleteEnhMetaFile(m_metafile);
        }
    }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (format == nullptr || medium == nullptr) {
            return E_INVALIDARG;
        }
        const HRESULT available = QueryGetData(format);
        if (available != S_OK) {
            return available;
        }
        *medium = STGMEDIUM{};
        medium->tymed = format->tymed & (TYMED_GDI | TYMED_ENHMF);
        if (format->cfFormat == CF_BITMAP) {
            medium->tymed = TYMED_GDI;
            medium->hBitmap = static_cast<HBITMAP>(::CopyImage(m_bitmap, IMAGE_BITMAP, 0, 0, 0));
            return medium->hBitmap != nullptr ? S_OK : E_OUTOFMEMORY;
        }
        medium->tymed = TYMED_ENHMF;
        medium->hEnhMetaFile = ::CopyEnhMetaFileW(m_metafile, nullptr);
        return medium->hEnhMetaFile != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        if (format == nullptr) {
            return E_INVALIDARG;
        }
        if (format->cfFormat == CF_BITMAP && (format->tymed & TYMED_GDI) != 0 && m_bitmap != nullptr) {
            return S_OK;
        }
        if (format->cfFormat == CF_ENHMETAFILE && (format->tymed & TYMED_ENHMF) != 0 && m_metafile != nullptr) {
            return S_OK;
        }
        return DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out != nullptr) {
            out->ptd = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override {
        if (formats == nullptr) {
            return E_INVALIDARG;
        }
        if (direction != DATADIR_GET) {
            *formats = nullptr;
            return E_NOTIMPL;
        }
        FORMATETC offered[] = {Format(CF_BITMAP, TYMED_GDI), Format(CF_ENHMETAFILE, TYMED_ENHMF)};
        return ::SHCreateStdEnumFmtEtc(2, offered, formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    HBITMAP m_bitmap;
    HENHMETAFILE m_metafile;
};

class DragSource final : public ComObject<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keyState) override {
        if (escape) {
            return DRAGDROP_S_CANCEL;
        }
        return (keyState & MK_LBUTTON) == 0 ? DRAGDROP_S_DROP : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
};

HENHMETAFILE MetafileOf(HBITMAP bitmap, HDC reference) {
    BITMAP described{};
    if (::GetObjectW(bitmap, sizeof(described), &described) == 0) {
        return nullptr;
    }
    const HDC recorder = ::CreateEnhMetaFileW(reference, nullptr, nullptr, nullptr);
    if (recorder == nullptr) {
        return nullptr;
    }
    const HDC source = ::CreateCompatibleDC(reference);
    const HGDIOBJ old = ::SelectObject(source, bitmap);
    ::BitBlt(recorder, 0, 0, described.bmWidth, described.bmHeight, source, 0, 0, SRCCOPY);
    ::SelectObject(source, old);
    ::DeleteDC(source);
    return ::CloseEnhMetaFile(recorder);
}

} // namespace

BOOL PaintManager::InitDragDrop() {
    AddRef();
    if (!HasWindow() || FAILED(::RegisterDragDrop(m_hWnd, static_cast<IDropTarget*>(this)))) {
        Release();
        return FALSE;
    }
    Release();
    if (m_formatetc.empty()) {
        FORMATETC formats[] = {Format(CF_BITMAP, TYMED_GDI), Format(CF_DIB, TYMED_HGLOBAL),
                               Format(CF_HDROP, TYMED_HGLOBAL), Format(CF_ENHMETAFILE, TYMED_ENHMF)};
        for (FORMATETC& format : formats) {
            AddSuportedFormat(format);
        }
    }
    return TRUE;
}

bool PaintManager::OnDrop(FORMATETC* format, STGMEDIUM& medium, DWORD*) {
    if (format == nullptr || !HasWindow()) {
        return true;
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SendMessageW(m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(cursor.x, cursor.y));

    HBITMAP bitmap = nullptr;
    bool releaseMedium = true;
    if (format->cfFormat == CF_DIB && medium.tymed == TYMED_HGLOBAL) {
        bitmap = BitmapFromDib(medium.hGlobal);
    } else if (format->cfFormat == CF_BITMAP && medium.tymed == TYMED_GDI) {
        bitmap = medium.hBitmap;
        releaseMedium = false;
    } else if (format->cfFormat == CF_ENHMETAFILE && medium.tymed == TYMED_ENHMF) {
        bitmap = BitmapFromMetafile(medium.hEnhMetaFile, m_hPaintDC);
    } else if (format->cfFormat == CF_HDROP && medium.tymed == TYMED_HGLOBAL) {
        wchar_t path[kMaxDroppedPath] = {};
        if (::DragQueryFileW(static_cast<HDROP>(medium.hGlobal), 0, path, kMaxDroppedPath) != 0) {
            bitmap = static_cast<HBITMAP>(::LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        }
    }
    if (bitmap == nullptr) {
        return true;
    }
    const auto previous = reinterpret_cast<HBITMAP>(
        ::SendMessageW(m_hWnd, kSetImageMessage, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (previous != nullptr && previous != bitmap) {
        ::DeleteObject(previous);
    }
    return releaseMedium;
}

BOOL PaintManager::StartDragControl() {
    m_bDragPending = FALSE;
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    ::ClipCursor(&window);
    ::ReleaseCapture();
    m_bCaptured = FALSE;

    BITMAP described{};
    ::GetObjectW(m_hDragBitmap, sizeof(described), &described);
    const auto copy = static_cast<HBITMAP>(::CopyImage(m_hDragBitmap, IMAGE_BITMAP, 0, 0, 0));
    auto* data = new DragDataObject(copy, MetafileOf(m_hDragBitmap, m_hPaintDC));
    auto* source = new DragSource;

    IDragSourceHelper* helper = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                                     reinterpret_cast<void**>(&helper)))) {
        SHDRAGIMAGE image{};
        image.sizeDragImage = {described.bmWidth, described.bmHeight};
        image.ptOffset = {described.bmWidth / 2, described.bmHeight / 2};
        image.hbmpDragImage = static_cast<HBITMAP>(::CopyImage(m_hDragBitmap, IMAGE_BITMAP, 0, 0, 0));
        image.crColorKey = ::GetSysColor(COLOR_WINDOW);
        // On success the helper owns the image bitmap.
        if (FAILED(helper->InitializeFromBitmap(&image, data)) && image.hbmpDragImage != nullptr) {
            ::DeleteObject(image.hbmpDragImage);
        }
    }
    DWORD effect = DROPEFFECT_NONE;
    ::DoDragDrop(data, source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    if (helper != nullptr) {
        helper->Release();
    }
    source->Release();
    data->Release();
    m_bLeftPressed = FALSE;
    ::ClipCursor(nullptr);
    return TRUE;
}

} // namespace Ovrix
