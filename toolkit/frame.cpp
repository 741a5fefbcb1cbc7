// CFrame: the frame itself (construction, drawing, events, focus, modal view, size and
// drops). The window class, the wheel hook and the window procedure are in frame_window.cpp.
#include "frame.h"

#include "aeffguieditor.h"
#include "drawcontext.h"
#include "drawglobals.h"
#include "droptarget.h"
#include "vst/audioeffect.h"

#include <ole2.h>

#include <cstdlib>
#include <cstring>

namespace toolkit {

// ---- Construction -----------------------------------------------------------------------

CFrame::CFrame(const CRectangle& rect, void* systemWindow, AEffGUIEditor* editor)
    : CViewContainer(rect, nullptr, nullptr), pSystemWindow(static_cast<HWND>(systemWindow)),
      pEditor(editor) {
    pParentFrame = this;
    OleInitialize(nullptr);
    loadMsimg();
    if (pSystemWindow) {
        createWindow();
    }
}

void CFrame::loadMsimg() {
    gTransparentBlt = nullptr;
    gAlphaBlend = nullptr;
    hMsimg32 = LoadLibraryA("msimg32.dll");
    if (!hMsimg32) {
        return;
    }
    gAlphaBlend = reinterpret_cast<AlphaBlendProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(hMsimg32, "AlphaBlend")));
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionExA(&version) && version.dwPlatformId > 1) {
        gTransparentBlt = reinterpret_cast<TransparentBltProc>(
            reinterpret_cast<void (*)()>(GetProcAddress(hMsimg32, "TransparentBlt")));
    }
}

CFrame::~CFrame() {
    setCursor(0);
    setDropActive(false);
    if (pFrameContext) {
        pFrameContext->forget();
        pFrameContext = nullptr;
    }
    OleUninitialize();
    if (hMsimg32) {
        FreeLibrary(hMsimg32);
        hMsimg32 = nullptr;
        // The last holder let go and the library is gone: nothing may call into it now.
        if (GetModuleHandleA("msimg32.dll") == nullptr) {
            gTransparentBlt = nullptr;
            gAlphaBlend = nullptr;
        }
    }
    if (pHwnd) {
        destroyWindow();
    }
    if (bHostWindow) {
        close();
    }
    if (pHostWindowBuffer) {
        std::free(pHostWindowBuffer);
    }
    // Views still pointing at the modal or focus view must not reach them while the
    // container part deletes its children.
    pModalView = nullptr;
    pFocusView = nullptr;
}

CDrawContext* CFrame::makeContext() {
    if (pFrameContext) {
        pFrameContext->remember();
        return pFrameContext;
    }
    return new CDrawContext(this, nullptr, pHwnd);
}

// ---- Drawing ----------------------------------------------------------------------------

void CFrame::draw(CDrawContext* context) {
    bFirstDraw = false;
    if (context) {
        CViewContainer::draw(context);
        return;
    }
    CDrawContext* temporary = makeContext();
    CViewContainer::draw(temporary);
    temporary->forget();
}

void CFrame::drawRect(CDrawContext* context, const CRectangle& updateRect) {
    bFirstDraw = false;
    CDrawContext* target = context ? context : makeContext();
    CRectangle oldClip;
    target->getClipRect(oldClip);
    target->setClipRect(updateRect);
    CViewContainer::drawRect(target, updateRect);
    target->setClipRect(oldClip);
    if (!context) {
        target->forget();
    }
}

void CFrame::drawView(CView* view) {
    if (view && !isChild(view)) {
        view = nullptr;
    }
    CDrawContext* context = makeContext();
    if (view) {
        view->draw(context);
    } else {
        draw(context);
    }
    context->forget();
}

void CFrame::update(CDrawContext* context) {
    if (!bOpenFlag || !context) {
        return;
    }
    if (dirty) {
        draw(context);
        return;
    }
    CRectangle oldClip;
    context->getClipRect(oldClip);
    CRectangle clip = localRect();
    clip.bound(oldClip);
    context->setClipRect(clip);
    if (pModalView && pModalView->isDirty()) {
        pModalView->update(context);
    }
    for (CCView* link = pFirstView; link; link = link->pNext) {
        CRectangle childClip;
        link->pView->getViewSize(childClip);
        childClip.bound(clip);
        context->setClipRect(childClip);
        link->pView->update(context);
    }
    context->setClipRect(oldClip);
}

void CFrame::idle() {
    // Nothing is drawn before the first paint: the window may not be shown yet.
    if (!bOpenFlag || bFirstDraw || !pHwnd || !isDirty()) {
        return;
    }
    CDrawContext* context = makeContext();
    update(context);
    context->forget();
}

void CFrame::invalidate(const CRectangle& rect) {
    for (CCView* link = pFirstView; link; link = link->pNext) {
        CRectangle area;
        if (link->pView->getViewSize(area).overlapsClosed(rect)) {
            link->pView->setDirty(true);
        }
    }
}

// ---- Events -----------------------------------------------------------------------------

void CFrame::mouse(CDrawContext* context, CPosition& where, std::int32_t buttons) {
    if (!context) {
        context = pFrameContext;
    }
    // A click anywhere ends a text edit first.
    if (pFocusView) {
        pFocusView->loseFocus(nullptr);
        pFocusView = nullptr;
    }
    if (buttons == kButtonsUnknown && context) {
        buttons = context->getMouseButtons();
    }
    if (pModalView) {
        if (pModalView->hitTest(where, buttons)) {
            pModalView->mouse(context, where, buttons);
        }
        return;
    }
    CViewContainer::mouse(context, where, buttons);
}

bool CFrame::onWheel(CDrawContext* context, const CPosition& where, float distance) {
    CDrawContext* target = context ? context : makeContext();
    const bool result = pModalView ? pModalView->onWheel(target, where, distance)
                                   : CViewContainer::onWheel(target, where, distance);
    if (!context) {
        target->forget();
    }
    return result;
}

std::int32_t CFrame::onKeyDown(VstKeyCode& key) {
    std::int32_t answer = -1;
    if (pFocusView) {
        answer = pFocusView->onKeyDown(key);
    }
    if (answer == -1 && pModalView) {
        answer = pModalView->onKeyDown(key);
    }
    return answer != -1 ? answer : CViewContainer::onKeyDown(key);
}

std::int32_t CFrame::onKeyUp(VstKeyCode& key) {
    std::int32_t answer = -1;
    if (pFocusView) {
        answer = pFocusView->onKeyUp(key);
    }
    if (answer == -1 && pModalView) {
        answer = pModalView->onKeyUp(key);
    }
    return answer != -1 ? answer : CViewContainer::onKeyUp(key);
}

bool CFrame::onDropFiles(void** items, std::int32_t count, std::int32_t type, CPosition& where) {
    if (pModalView || pFocusView) {
        return false;
    }
    return CViewContainer::onDropFiles(items, count, type, where);
}

// ---- Frame operations -------------------------------------------------------------------

bool CFrame::open(CPosition*) {
    // Only for a frame that made its own host window, which this program never does.
    return bHostWindow;
}

bool CFrame::close() {
    if (!bHostWindow) {
        return false;
    }
    bHostWindow = false;
    return true;
}

bool CFrame::isOpen() const {
    return bOpenFlag;
}

void CFrame::doIdleStuff() {
    if (pEditor) {
        pEditor->doIdleStuff();
    }
}

std::uint32_t CFrame::getTicks() const {
    return pEditor ? GetTickCount() : 0;
}

std::int32_t CFrame::getKnobMode() const {
    return AEffGUIEditor::getKnobModeSetting();
}

bool CFrame::getPosition(std::int32_t& x, std::int32_t& y) const {
    if (!pHwnd) {
        return false;
    }
    // Walk up to the window that looks like the editor's outer window: one with a caption,
    // without a parent, or clearly smaller than its parent.
    HWND window = pHwnd;
    for (HWND parent = GetParent(window); parent; parent = GetParent(window)) {
        const auto style = static_cast<LONG>(GetWindowLongPtrA(window, GWL_STYLE));
        RECT own, outer;
        GetWindowRect(window, &own);
        GetWindowRect(parent, &outer);
        const bool caption = (style & WS_CAPTION) == WS_CAPTION;
        const bool smaller = (outer.right - outer.left) - (own.right - own.left) > 60 ||
                             (outer.bottom - outer.top) - (own.bottom - own.top) > 60;
        if (caption || smaller) {
            break;
        }
        window = parent;
    }
    RECT rect;
    GetWindowRect(window, &rect);
    POINT topLeft{rect.left, rect.top};
    if (HWND parent = GetParent(window)) {
        ScreenToClient(parent, &topLeft);
    }
    x = topLeft.x;
    y = topLeft.y;
    return true;
}

bool CFrame::setSize(std::int32_t width, std::int32_t height) {
    if (width == size.width() && height == size.height()) {
        return false;
    }
    AudioEffect* effect = pEditor ? pEditor->getEffect() : nullptr;
    if (effect && effect->getAudioMaster()) {
        audioMasterCallback master = effect->getAudioMaster();
        char capability[] = "sizeWindow";
        if (master(effect->getAeffect(), audioMasterCanDo, 0, 0, capability, 0.0f) > 0 &&
            master(effect->getAeffect(), audioMasterSizeWindow, width, height, nullptr, 0.0f)) {
            size.setWidth(width).setHeight(height);
            if (pHwnd) {
                SetWindowPos(pHwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
            }
            return true;
        }
    }
    size.setWidth(width).setHeight(height);
    if (!pHwnd) {
        return true;
    }
    // Resize our window and the enclosing ones, each to the new size plus the borders met
    // so far, up to an MDI client or a top window; stop once the borders pass 80 pixels.
    std::int32_t borderX = 0, borderY = 0;
    HWND window = pHwnd;
    while (window) {
        RECT own;
        GetWindowRect(window, &own);
        SetWindowPos(window, nullptr, 0, 0, width + borderX, height + borderY,
                     SWP_NOMOVE | SWP_NOZORDER);
        HWND parent = GetParent(window);
        if (!parent) {
            break;
        }
        char className[32] = {};
        GetClassNameA(parent, className, sizeof className);
        if (std::strcmp(className, "MDIClient") == 0) {
            break;
        }
        RECT outer;
        GetWindowRect(parent, &outer);
        borderX += (outer.right - outer.left) - (own.right - own.left);
        borderY += (outer.bottom - outer.top) - (own.bottom - own.top);
        if (borderX > 80 || borderY > 80) {
            break;
        }
        window = parent;
    }
    return true;
}

bool CFrame::getSizeOf(CRectangle& rect) const {
    return getSize(rect);
}

bool CFrame::getSize(CRectangle& rect) const {
    if (!pHwnd) {
        return false;
    }
    HWND parent = GetParent(pHwnd);
    if (!parent) {
        return false;
    }
    RECT r;
    GetWindowRect(parent, &r);
    // In the coordinates of the window three levels further up, when there is one.
    HWND reference = parent;
    for (int level = 0; level < 3 && reference; ++level) {
        reference = GetParent(reference);
    }
    POINT topLeft{r.left, r.top}, bottomRight{r.right, r.bottom};
    if (reference) {
        ScreenToClient(reference, &topLeft);
        ScreenToClient(reference, &bottomRight);
    }
    rect = CRectangle(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    return true;
}

bool CFrame::setModalView(CView* view) {
    if (view && pModalView) {
        return false;
    }
    if (pModalView) {
        removeView(pModalView, false);
    }
    pModalView = view;
    if (view) {
        addView(view);
    }
    return true;
}

CView* CFrame::getModalView() const {
    return pModalView;
}

void CFrame::beginEdit(std::int32_t tag) {
    if (pEditor) {
        pEditor->beginEdit(tag);
    }
}

void CFrame::endEdit(std::int32_t tag) {
    if (pEditor) {
        pEditor->endEdit(tag);
    }
}

void CFrame::getCurrentLocation(CPosition& where) {
    POINT cursor{};
    GetCursorPos(&cursor);
    RECT window{};
    if (pHwnd) {
        GetWindowRect(pHwnd, &window);
    }
    where = CPosition(cursor.x - window.left, cursor.y - window.top);
}

void CFrame::setCursor(std::int32_t type) {
    if (!savedCursor) {
        savedCursor = GetCursor();
    }
    LPCSTR shape = nullptr;
    switch (type) {
    case 0:
        SetCursor(savedCursor);
        return;
    case 1:
        shape = IDC_WAIT;
        break;
    case 2:
        shape = IDC_SIZEWE;
        break;
    case 3:
        shape = IDC_SIZENS;
        break;
    case 4:
        shape = IDC_SIZEALL;
        break;
    case 5:
        shape = IDC_SIZENESW;
        break;
    case 6:
        shape = IDC_SIZENWSE;
        break;
    default:
        return;
    }
    SetCursor(LoadCursorA(nullptr, shape));
}

CView* CFrame::getCurrentView() {
    if (pModalView) {
        return pModalView;
    }
    CPosition where;
    getCurrentLocation(where);
    return childAt(where, kButtonsUnknown);
}

bool CFrame::setFocusView(CView* view) {
    CView* previous = pFocusView;
    pFocusView = view;
    if (previous && previous != view) {
        previous->loseFocus(nullptr);
    }
    return true;
}

CView* CFrame::getFocusView() const {
    return pFocusView;
}

bool CFrame::setDropActive(bool val) {
    if (!pHwnd || val == bDropActive) {
        return false;
    }
    if (val) {
        // The registration holds the only reference; RevokeDragDrop releases it.
        auto* target = new CDropTarget(this);
        target->AddRef();
        const bool registered = RegisterDragDrop(pHwnd, target) == S_OK;
        target->Release();
        if (!registered) {
            return false;
        }
    } else {
        RevokeDragDrop(pHwnd);
    }
    bDropActive = val;
    return true;
}

bool CFrame::isDropActive() const {
    return bDropActive;
}

void CFrame::setOpenFlag(bool val) {
    bOpenFlag = val;
}

bool CFrame::getOpenFlag() const {
    return bOpenFlag;
}

AEffGUIEditor* CFrame::getEditor() const {
    return pEditor;
}

} // namespace toolkit
