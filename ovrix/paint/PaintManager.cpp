// Life cycle, the control factory and the two control lists.
#include "Ovrix/PaintManager.h"

#include <algorithm>
#include <cwchar>

#include "Ovrix/CArea.h"
#include "Ovrix/MButton.h"
#include "Ovrix/MControl.h"
#include "Ovrix/MPicture.h"
#include "Ovrix/MText.h"
#include "controls/SectionLock.h"

namespace Ovrix {

namespace {

constexpr UINT kDefaultVerticalScrollId = 102;
constexpr UINT kDefaultHorizontalScrollId = 101;
constexpr UINT kEmbeddedFontId = 106;

struct FactoryArguments {
    MObject* parent;
    UINT id;
    CRect rect;
    const wchar_t* text;
    int a;
    int b;
};

struct FactoryEntry {
    const wchar_t* className;
    MControl* (*create)(const FactoryArguments&);
};

// Class names the library can build, compared exactly and in this order. Classes that do not exist in this
// build are simply absent: their names yield null like any unknown name.
const FactoryEntry kFactory[] = {
    {L"CArea", [](const FactoryArguments& c) -> MControl* { return new CArea(c.parent, c.id, c.rect, c.a, 1); }},
    {L"MText", [](const FactoryArguments& c) -> MControl* { return new MText(c.parent, c.id, c.rect, c.text, c.a); }},
    {L"MPicture",
     [](const FactoryArguments& c) -> MControl* { return new MPicture(c.parent, c.id, c.rect, c.a, c.b); }},
    {L"MButton",
     [](const FactoryArguments& c) -> MControl* { return new MButton(c.parent, c.id, c.rect, c.text, c.a, c.b); }},
};

} // namespace

PaintManager::PaintManager() {
    ::InitializeCriticalSection(&m_areaLock);
    ::InitializeCriticalSection(&m_controlLock);
    ::InitializeCriticalSection(&m_fastTimerLock);
    ::InitializeCriticalSection(&m_imageLock);
    ::InitializeCriticalSection(&m_timerLock);
    ::InitializeCriticalSection(&m_fontLock);
}

PaintManager::~PaintManager() {
    if (m_hTooltipWnd != nullptr && ::IsWindow(m_hTooltipWnd)) {
        ::DestroyWindow(m_hTooltipWnd);
    }
    m_hTooltipWnd = nullptr;
    if (m_hDragBitmap != nullptr) {
        ::DeleteObject(m_hDragBitmap);
        m_hDragBitmap = nullptr;
    }
    DestroyData();
    // Stopped here, not in the base: a tick must never reach a half-destroyed manager.
    ZorvTimer::KillTimer();
    // Whatever DestroyData left because the manager was never bound.
    ClearTimers();
    ClearAllControls();
    ClearImgResInfo();
    ClearTempFont();
    delete m_pBackImage;
    m_pBackImage = nullptr;
    // The locks live as long as the object: late messages and the teardown above still take them.
    ::DeleteCriticalSection(&m_fontLock);
    ::DeleteCriticalSection(&m_timerLock);
    ::DeleteCriticalSection(&m_imageLock);
    ::DeleteCriticalSection(&m_fastTimerLock);
    ::DeleteCriticalSection(&m_controlLock);
    ::DeleteCriticalSection(&m_areaLock);
}

void PaintManager::Init(HWND window, MWindow* owner) {
    if (window == nullptr || !::IsWindow(window)) {
        return;
    }
    if (window != m_hWnd) {
        if (m_hPaintDC != nullptr && m_hWnd != nullptr) {
            ::ReleaseDC(m_hWnd, m_hPaintDC);
        }
        m_hWnd = window;
        m_hPaintDC = ::GetDC(window);
    }
    m_pOwner = owner;
    InitDragDrop();
    SetTargetWnd(window);
    m_bInitialised = TRUE;
    m_uScrollVID = kDefaultVerticalScrollId;
    m_uScrollHID = kDefaultHorizontalScrollId;
    AddGDITempFont(kEmbeddedFontId);
}

void PaintManager::DestroyData() {
    if (!m_bInitialised) {
        return;
    }
    m_bInitialised = FALSE;
    delete m_pBackImage;
    m_pBackImage = nullptr;
    if (m_hPaintDC != nullptr) {
        ::ReleaseDC(m_hWnd, m_hPaintDC);
        m_hPaintDC = nullptr;
    }
    // OLE keeps a reference to the drop target until the registration is revoked; the window still exists here.
    if (::IsWindow(m_hWnd)) {
        ::RevokeDragDrop(m_hWnd);
    }
    ZorvTimer::KillTimer();
    ClearTimers();
    ClearAreaControls();
    ClearControls();
    {
        SectionLock lock(m_fastTimerLock);
        m_fastTimerControls.clear();
    }
    ClearImgResInfo();
    ClearTempFont();
}

void PaintManager::OnDestroyMessage(HWND window) {
    if (window == m_hWnd) {
        DestroyData();
    }
}

BOOL PaintManager::OnCreate(LPCREATESTRUCTW) {
    return TRUE;
}
BOOL PaintManager::OnDestroy() {
    return TRUE;
}
BOOL PaintManager::PostNcDestroy() {
    DestroyData();
    return TRUE;
}

MControl* PaintManager::NewControl(const wchar_t* className, MObject* parent, UINT id, CRect rect, const wchar_t* text,
                                   int a, int b) {
    const FactoryArguments arguments{parent, id, rect, text != nullptr ? text : L"", a, b};
    for (const FactoryEntry& entry : kFactory) {
        if (std::wcscmp(entry.className, className) == 0) {
            return entry.create(arguments);
        }
    }
    return nullptr;
}

MControl* PaintManager::CreateControl(UINT kind, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                      const wchar_t* text, int a, int b) {
    if (className == nullptr || className[0] == L'\0') {
        return nullptr;
    }
    MControl* control = NewControl(className, parent, id, rect, text, a, b);
    if (control == nullptr) {
        return nullptr;
    }
    control->SetManager(this);
    if (kind == 0) {
        SectionLock lock(m_areaLock);
        m_areaControls.push_back(control);
    } else if (kind == 1) {
        SectionLock lock(m_controlLock);
        m_controls.push_back(control);
    }
    return control;
}

MControl* PaintManager::CreateControl(MObject* parent, const wchar_t* className, UINT id, CRect rect,
                                      const wchar_t* text, int a, int b) {
    return CreateControl(1, parent, className, id, rect, text, a, b);
}

MControl* PaintManager::CreateArea(MObject* parent, const wchar_t* className, UINT id, CRect rect, const wchar_t* text,
                                   int a, int b) {
    return CreateControl(0, parent, className, id, rect, text, a, b);
}

MControl* PaintManager::GetControl(UINT id) {
    for (const std::vector<MControl*>* list : {&m_controls, &m_areaControls}) {
        for (MControl* control : *list) {
            if (control->GetControlID() == id) {
                return control;
            }
            if (MControl* found = control->GetControl(id)) {
                return found;
            }
        }
    }
    return nullptr;
}

void PaintManager::ForgetControlTree(MControl* control) {
    if (control == nullptr) {
        return;
    }
    for (MControl* child : control->GetControls()) {
        ForgetControlTree(child);
    }
    if (m_pHoverControl == control) {
        m_pHoverControl = nullptr;
    }
    if (m_pFocusControl == control) {
        m_pFocusControl = nullptr;
    }
    // A timer left running for a destroyed control would call into freed memory at its next tick.
    KillTimer(control);
    SectionLock lock(m_fastTimerLock);
    m_fastTimerControls.erase(std::remove(m_fastTimerControls.begin(), m_fastTimerControls.end(), control),
                              m_fastTimerControls.end());
}

// The references are dropped and the controls destroyed outside the list lock: a fast tick holds the fast-timer
// lock while it asks for repaints, which take the list locks, so the list lock must not wait on it.
void PaintManager::RemoveControl(MControl* control) {
    {
        SectionLock lock(m_controlLock);
        const auto found = std::find(m_controls.begin(), m_controls.end(), control);
        if (found == m_controls.end()) {
            return;
        }
        m_controls.erase(found);
    }
    ForgetControlTree(control);
    delete control;
}

void PaintManager::ClearControls() {
    std::vector<MControl*> cleared;
    {
        SectionLock lock(m_controlLock);
        cleared.swap(m_controls);
    }
    for (MControl* control : cleared) {
        ForgetControlTree(control);
        delete control;
    }
}

void PaintManager::ClearAreaControls() {
    std::vector<MControl*> cleared;
    {
        SectionLock lock(m_areaLock);
        cleared.swap(m_areaControls);
    }
    for (MControl* control : cleared) {
        ForgetControlTree(control);
        delete control;
    }
}

void PaintManager::ClearAllControls() {
    ClearAreaControls();
    ClearControls();
}

void PaintManager::GetClientRect(CRect& rect) {
    if (HasWindow()) {
        ::GetClientRect(m_hWnd, &rect);
    }
}

void PaintManager::GetWindowRect(CRect& rect) {
    if (HasWindow()) {
        ::GetWindowRect(m_hWnd, &rect);
    }
}

void PaintManager::GetClientSize(int& width, int& height) {
    CRect client;
    GetClientRect(client);
    width = client.Width();
    height = client.Height();
}

void PaintManager::SetScrollResID(UINT vertical, UINT horizontal) {
    m_uScrollVID = vertical;
    m_uScrollHID = horizontal;
}

BOOL PaintManager::HasWindow() const {
    return m_hWnd != nullptr && ::IsWindow(m_hWnd);
}

// The shadow object comes with the window-shadow support; until a window has one, these do nothing.
void PaintManager::CreateShadow(BOOL, bool) {}
void PaintManager::SetShadowShow(BOOL) {}
BOOL PaintManager::SetSize(int) {
    return FALSE;
}
BOOL PaintManager::SetSharpness(UINT) {
    return FALSE;
}
BOOL PaintManager::SetDarkness(UINT) {
    return FALSE;
}
BOOL PaintManager::SetPosition(int, int) {
    return FALSE;
}
BOOL PaintManager::SetShadowColor(COLORREF) {
    return FALSE;
}
BOOL PaintManager::SetShadowImage(const wchar_t*, CRect) {
    return FALSE;
}
BOOL PaintManager::SetShadowImage(UINT, CRect) {
    return FALSE;
}
void PaintManager::DisableShadow(BOOL) {}

} // namespace Ovrix
