#include "Ovrix/MObject.h"

#include <cwchar>

namespace Ovrix {

MObject::~MObject() = default;

BOOL MObject::IsClass(const wchar_t* name) {
    const wchar_t* own = GetClassNameW();
    if (own == nullptr || name == nullptr) {
        return FALSE;
    }
    return std::wcscmp(own, name) == 0;
}

const wchar_t* MObject::GetClassNameW() const {
    return nullptr;
}
const wchar_t* MObject::GetObjectClass() {
    return nullptr;
}
const wchar_t* MObject::BaseObjectClassName() {
    return nullptr;
}
LRESULT MObject::OnBaseMessage(UINT, UINT, WPARAM, LPARAM) {
    return 0;
}
LRESULT MObject::OnControlUpdate(CRect, BOOL, MControl*) {
    return 0;
}

} // namespace Ovrix
