// One image of a paint manager's image cache: the cache owns it, controls borrow it.
#pragma once

#include <string>

#include "OvrixApi.h"

namespace Ovrix {

struct OVRIX_API ImgResInfo {
    ImgResInfo() = default;
    ~ImgResInfo() { delete m_pImage; }
    ImgResInfo(const ImgResInfo&) = delete;
    ImgResInfo& operator=(const ImgResInfo&) = delete;

    Gdiplus::Image* m_pImage = nullptr;
    // Image width divided by the cell count of the first request.
    int m_nWidth = 0;
    int m_nHeight = 0;
    // Equal cells side by side (a state strip).
    int m_nCount = 1;
    // Skin-relative file name; empty for resource images.
    std::wstring m_path;
    UINT m_uResID = 0;
};

} // namespace Ovrix
