// The image cache and the temporary font table.
#include "Ovrix/PaintManager.h"

#include "Ovrix/MRender.h"
#include "Ovrix/Manager.h"
#include "controls/SectionLock.h"
#include "window/LibraryModule.h"

namespace Ovrix {

namespace {

const wchar_t kFontResourceType[] = L"ttf";

struct ResourceBytes {
    const void* data = nullptr;
    DWORD size = 0;
};

ResourceBytes FindResourceBytes(HMODULE module, UINT id, const wchar_t* type) {
    const HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (resource == nullptr) {
        return {};
    }
    const HGLOBAL loaded = ::LoadResource(module, resource);
    if (loaded == nullptr) {
        return {};
    }
    return {::LockResource(loaded), ::SizeofResource(module, resource)};
}

// A count below 1 would divide by zero; such a request is refused instead.
ImgResInfo* MakeRecord(Gdiplus::Image* image, int count) {
    if (image == nullptr) {
        return nullptr;
    }
    auto* record = new ImgResInfo;
    record->m_pImage = image;
    record->m_nCount = count;
    record->m_nWidth = static_cast<int>(image->GetWidth()) / count;
    record->m_nHeight = static_cast<int>(image->GetHeight());
    return record;
}

Gdiplus::FontFamily* FirstFamily(Gdiplus::PrivateFontCollection& collection) {
    if (collection.GetFamilyCount() < 1) {
        return nullptr;
    }
    Gdiplus::FontFamily found;
    INT count = 0;
    if (collection.GetFamilies(1, &found, &count) != Gdiplus::Ok || count < 1) {
        return nullptr;
    }
    return found.Clone();
}

} // namespace

ImgResInfo* PaintManager::AddImgResInfo(const wchar_t* fileName, int count) {
    if (fileName == nullptr || count < 1) {
        return nullptr;
    }
    SectionLock lock(m_imageLock);
    const auto cached = m_fileImages.find(fileName);
    if (cached != m_fileImages.end()) {
        return cached->second;
    }
    ImgResInfo* record = MakeRecord(MRender::LoadImageFromFile(GetSkinFolder() + fileName), count);
    if (record == nullptr) {
        return nullptr;
    }
    record->m_path = fileName;
    m_fileImages[fileName] = record;
    return record;
}

ImgResInfo* PaintManager::AddImgResInfo(UINT resourceId, const wchar_t* resourceType, int count,
                                        BOOL applicationModule) {
    if (resourceType == nullptr || count < 1) {
        return nullptr;
    }
    SectionLock lock(m_imageLock);
    std::map<UINT, ImgResInfo*>& images = applicationModule ? m_appResourceImages : m_libResourceImages;
    const auto cached = images.find(resourceId);
    if (cached != images.end()) {
        return cached->second;
    }
    const HINSTANCE module = applicationModule ? Manager::m_hInstance : g_hLibModule;
    ImgResInfo* record = MakeRecord(MRender::LoadImageFromIDResource(resourceId, resourceType, module), count);
    if (record == nullptr) {
        return nullptr;
    }
    record->m_uResID = resourceId;
    images[resourceId] = record;
    return record;
}

void PaintManager::ClearImgResInfo() {
    SectionLock lock(m_imageLock);
    for (auto& entry : m_fileImages) {
        delete entry.second;
    }
    m_fileImages.clear();
    for (auto* images : {&m_appResourceImages, &m_libResourceImages}) {
        for (auto& entry : *images) {
            delete entry.second;
        }
        images->clear();
    }
}

void PaintManager::AddGDITempFont(UINT resourceId) {
    const ResourceBytes bytes = FindResourceBytes(g_hLibModule, resourceId, kFontResourceType);
    if (bytes.data == nullptr || bytes.size == 0) {
        return;
    }
    DWORD installed = 0;
    const HANDLE font = ::AddFontMemResourceEx(const_cast<void*>(bytes.data), bytes.size, nullptr, &installed);
    if (font == nullptr) {
        return;
    }
    SectionLock lock(m_fontLock);
    m_gdiTempFonts.push_back(font);
}

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* name, const wchar_t* fontFile) {
    if (name == nullptr || fontFile == nullptr) {
        return nullptr;
    }
    auto* collection = new Gdiplus::PrivateFontCollection;
    return StoreTempFont(name, collection, collection->AddFontFile(fontFile) == Gdiplus::Ok);
}

Gdiplus::FontFamily* PaintManager::StoreTempFont(const wchar_t* name, Gdiplus::PrivateFontCollection* collection,
                                                 bool loaded) {
    Gdiplus::FontFamily* family = loaded ? FirstFamily(*collection) : nullptr;
    if (family == nullptr) {
        delete collection;
        return nullptr;
    }
    SectionLock lock(m_fontLock);
    // A family copied out of a private collection refers to the collection's fonts; both go together.
    m_fontCollections.push_back(collection);
    Gdiplus::FontFamily*& slot = m_tempFonts[name];
    // Controls copy the family they are given, so the replaced one has no other user.
    delete slot;
    slot = family;
    return family;
}

Gdiplus::FontFamily* PaintManager::AddTempFont(const wchar_t* name, UINT resourceId) {
    if (name == nullptr) {
        return nullptr;
    }
    const ResourceBytes bytes = FindResourceBytes(g_hLibModule, resourceId, kFontResourceType);
    if (bytes.data == nullptr || bytes.size == 0) {
        return nullptr;
    }
    auto* collection = new Gdiplus::PrivateFontCollection;
    return StoreTempFont(name, collection,
                         collection->AddMemoryFont(bytes.data, static_cast<INT>(bytes.size)) == Gdiplus::Ok);
}

Gdiplus::FontFamily* PaintManager::FindTempFont(const wchar_t*) {
    const std::wstring name = Manager::GetFontName();
    SectionLock lock(m_fontLock);
    const auto cached = m_tempFonts.find(name);
    if (cached != m_tempFonts.end() && cached->second != nullptr) {
        return cached->second;
    }
    auto* family = new Gdiplus::FontFamily(name.c_str());
    if (family->GetLastStatus() != Gdiplus::Ok) {
        delete family;
        return nullptr;
    }
    m_tempFonts[name] = family;
    return family;
}

void PaintManager::ClearTempFont() {
    SectionLock lock(m_fontLock);
    for (auto& entry : m_tempFonts) {
        delete entry.second;
    }
    m_tempFonts.clear();
    for (Gdiplus::PrivateFontCollection* collection : m_fontCollections) {
        delete collection;
    }
    m_fontCollections.clear();
    for (HANDLE font : m_gdiTempFonts) {
        ::RemoveFontMemResourceEx(font);
    }
    m_gdiTempFonts.clear();
}

} // namespace Ovrix
