#include "viewcontainer.h"

#include "bitmap.h"
#include "drawcontext.h"
#include "frame.h"
#include "offscreencontext.h"

#include <algorithm>

namespace toolkit {

// Compared by address, never by text.
const char* const kMsgCheckIfViewContainer = "kMsgCheckIfViewContainer";

CViewContainer::CCView::CCView(CView* view) : pView(view) {
    pView->remember();
}

CViewContainer::CCView::~CCView() {
    pView->forget();
}

CViewContainer::CViewContainer(const CRectangle& rect, CFrame* frame, CBitmap* background)
    : CView(rect) {
    pParentFrame = frame;
    if (background) {
        setBackground(background);
    }
}

CViewContainer::~CViewContainer() {
    removeAll(true);
    dropOffscreen();
}

// ---- Child list -------------------------------------------------------------------------

void CViewContainer::addViewWithArea(CView* view, const CRectangle& area, bool enable) {
    if (!view) {
        return;
    }
    view->setMouseableArea(area);
    view->setMouseEnabled(enable);
    addView(view);
}

void CViewContainer::addView(CView* view) {
    if (!view) {
        return;
    }
    auto* link = new CCView(view);
    link->pPrevious = pLastView;
    if (pLastView) {
        pLastView->pNext = link;
    } else {
        pFirstView = link;
    }
    pLastView = link;
    view->setFrame(pParentFrame);
    view->setParentView(this);
    view->attached(this);
    view->setDirty(true);
}

void CViewContainer::removeView(CView* view, bool withForget) {
    for (CCView* link = pFirstView; link; link = link->pNext) {
        if (link->pView != view) {
            continue;
        }
        view->removed(this);
        if (withForget) {
            view->forget();
        }
        (link->pPrevious ? link->pPrevious->pNext : pFirstView) = link->pNext;
        (link->pNext ? link->pNext->pPrevious : pLastView) = link->pPrevious;
        delete link; // drops the list's own reference
        return;
    }
}

void CViewContainer::removeAll(bool withForget) {
    while (pFirstView) {
        removeView(pFirstView->pView, withForget);
    }
}

bool CViewContainer::isChild(CView* view) const {
    for (CCView* link = pFirstView; link; link = link->pNext) {
        if (link->pView == view) {
            return true;
        }
    }
    return false;
}

std::int32_t CViewContainer::getNbViews() const {
    std::int32_t n = 0;
    for (CCView* link = pFirstView; link; link = link->pNext) {
        ++n;
    }
    return n;
}

CView* CViewContainer::getView(std::int32_t index) const {
    if (index < 0) {
        return nullptr;
    }
    CCView* link = pFirstView;
    for (; link && index > 0; --index) {
        link = link->pNext;
    }
    return link ? link->pView : nullptr;
}

void CViewContainer::setBackgroundColor(const CColorRGBA& color) {
    backgroundColor = color;
}

CColorRGBA CViewContainer::getBackgroundColor() const {
    return backgroundColor;
}

void CViewContainer::setBackgroundOffset(const CPosition& offset) {
    backgroundOffset = offset;
}

const CPosition& CViewContainer::getBackgroundOffset() const {
    return backgroundOffset;
}

void CViewContainer::setMode(std::int32_t newMode) {
    mode = newMode;
}

std::int32_t CViewContainer::getMode() const {
    return mode;
}

void CViewContainer::useOffscreen(bool flag) {
    bDrawInOffscreen = flag;
    if (!flag) {
        dropOffscreen();
    }
}

std::int32_t CViewContainer::notify(CView*, const char* message) {
    return message == kMsgCheckIfViewContainer ? 1 : 0;
}

// ---- Drawing ----------------------------------------------------------------------------

void CViewContainer::makeOffscreen() {
    if (!pOffscreenContext) {
        pOffscreenContext =
            new COffscreenContext(pParentFrame, size.width(), size.height(), kBlackCColor);
    }
}

void CViewContainer::dropOffscreen() {
    if (pOffscreenContext) {
        pOffscreenContext->forget();
        pOffscreenContext = nullptr;
    }
}

CDrawContext* CViewContainer::beginTarget(CDrawContext* context) {
    if (bDrawInOffscreen) {
        makeOffscreen();
        return pOffscreenContext;
    }
    context->offset.offset(size.left, size.top);
    return context;
}

void CViewContainer::endTarget(CDrawContext* context, CDrawContext* target) {
    if (target == context) {
        context->offset.offset(-size.left, -size.top);
    }
}

void CViewContainer::draw(CDrawContext* context) {
    if (!context) {
        return;
    }
    CDrawContext* target = beginTarget(context);
    const CRectangle local = localRect();
    CRectangle oldClip;
    target->getClipRect(oldClip);
    CRectangle clip = local;
    clip.bound(oldClip);
    target->setClipRect(clip);

    if (pBackground) {
        if (transparencyEnabled) {
            pBackground->drawTransparent(target, local, backgroundOffset);
        } else {
            pBackground->draw(target, local, backgroundOffset);
        }
    } else if (!transparencyEnabled) {
        target->setFillColor(backgroundColor);
        target->fillRect(local);
    }

    for (CCView* link = pFirstView; link; link = link->pNext) {
        CRectangle childClip;
        link->pView->getViewSize(childClip);
        childClip.bound(clip);
        target->setClipRect(childClip);
        link->pView->draw(target);
    }
    target->setClipRect(oldClip);

    if (target == pOffscreenContext) {
        pOffscreenContext->copyFrom(context, size, CPosition(0, 0));
    }
    endTarget(context, target);
    setDirty(false);
}

void CViewContainer::drawRect(CDrawContext* context, const CRectangle& updateRect) {
    if (!context) {
        return;
    }
    // The part of the update rectangle that lies in this container and in the current clip,
    // in the parent's coordinates and then in local ones.
    CRectangle clientRect = updateRect;
    clientRect.bound(size);
    CRectangle callerClip;
    context->getClipRect(callerClip);
    clientRect.bound(callerClip);
    CRectangle local = clientRect;
    local.offset(-size.left, -size.top);

    CDrawContext* target = beginTarget(context);
    CRectangle oldClip;
    target->getClipRect(oldClip);
    target->setClipRect(local);
    drawBackgroundRect(target, local);
    for (CCView* link = pFirstView; link; link = link->pNext) {
        if (link->pView->checkUpdate(local)) {
            link->pView->drawRect(target, local);
        }
    }
    target->setClipRect(oldClip);

    if (target == pOffscreenContext) {
        pOffscreenContext->copyFrom(context, clientRect, CPosition(local.left, local.top));
    }
    endTarget(context, target);
    setDirty(false);
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRectangle& rect) {
    if (pBackground) {
        // The source starts at the background offset plus the rectangle's origin and never
        // reaches past the bitmap.
        const CPosition source(backgroundOffset.x + rect.left, backgroundOffset.y + rect.top);
        CRectangle part = rect;
        part.right = std::min(part.right, part.left + pBackground->getWidth() - source.x);
        part.bottom = std::min(part.bottom, part.top + pBackground->getHeight() - source.y);
        if (part.width() <= 0 || part.height() <= 0) {
            return;
        }
        if (transparencyEnabled) {
            pBackground->drawTransparent(context, part, source);
        } else {
            pBackground->draw(context, part, source);
        }
    } else if (!transparencyEnabled) {
        context->setFillColor(backgroundColor);
        context->fillRect(rect);
    }
}

void CViewContainer::redrawRect(CDrawContext* context, const CRectangle& rect) {
    CRectangle shifted = rect;
    shifted.offset(size.left, size.top);
    if (transparencyEnabled) {
        // What lies under a transparent container has to be drawn first.
        if (pParentView) {
            pParentView->redrawRect(context, shifted);
        } else if (pParentFrame) {
            pParentFrame->drawRect(context, shifted);
        }
    } else {
        drawRect(context, shifted);
    }
}

void CViewContainer::update(CDrawContext* context) {
    if (mode != kNormalUpdate && mode != kOnlyDirtyUpdate) {
        return;
    }
    const CRectangle local = localRect();
    if (mode == kNormalUpdate || dirty) {
        if (isDirty()) {
            if (context) {
                redrawRect(context, local);
            } else {
                redraw();
            }
        }
    } else {
        for (CCView* link = pFirstView; link; link = link->pNext) {
            CView* child = link->pView;
            if (!child->isDirty() || !child->checkUpdate(local)) {
                continue;
            }
            if (isContainer(child)) {
                child->update(context);
            } else if (context) {
                CRectangle area;
                child->getViewSize(area);
                area.bound(local);
                child->redrawRect(context, area);
            } else {
                child->redraw();
            }
        }
    }
    setDirty(false);
}

bool CViewContainer::isDirty() const {
    if (dirty) {
        return true;
    }
    for (CCView* link = pFirstView; link; link = link->pNext) {
        if (link->pView->isDirty()) {
            return true;
        }
    }
    return false;
}

void CViewContainer::setViewSize(const CRectangle& rect) {
    CView::setViewSize(rect);
    if (pOffscreenContext && bDrawInOffscreen) {
        dropOffscreen();
        makeOffscreen();
    }
}

bool CViewContainer::attached(CView* parent) {
    if (bDrawInOffscreen) {
        makeOffscreen();
    }
    return CView::attached(parent);
}

bool CViewContainer::removed(CView* parent) {
    dropOffscreen();
    return CView::removed(parent);
}

// ---- Events -----------------------------------------------------------------------------

CView* CViewContainer::childAt(const CPosition& local, std::int32_t buttons) const {
    for (CCView* link = pLastView; link; link = link->pPrevious) {
        if (link->pView->getMouseEnabled() && link->pView->hitTest(local, buttons)) {
            return link->pView;
        }
    }
    return nullptr;
}

CView* CViewContainer::childUnder(const CPosition& local) const {
    for (CCView* link = pLastView; link; link = link->pPrevious) {
        CRectangle area;
        if (link->pView->getMouseableArea(area).isInsideClosed(local)) {
            return link->pView;
        }
    }
    return nullptr;
}

void CViewContainer::mouse(CDrawContext* context, CPosition& where, std::int32_t buttons) {
    CPosition local(where.x - size.left, where.y - size.top);
    if (buttons == kButtonsUnknown && context) {
        buttons = context->getMouseButtons();
    }
    if (CView* child = childAt(local, buttons)) {
        child->mouse(context, local, buttons);
    }
}

bool CViewContainer::onWheel(CDrawContext* context, const CPosition& where, float distance) {
    const CPosition local(where.x - size.left, where.y - size.top);
    CView* child = childUnder(local);
    if (!child) {
        return false;
    }
    if (context) {
        context->offset.offset(size.left, size.top);
    }
    const bool result = child->onWheel(context, local, distance);
    if (context) {
        context->offset.offset(-size.left, -size.top);
    }
    return result;
}

std::int32_t CViewContainer::onKeyDown(VstKeyCode& key) {
    for (CCView* link = pLastView; link; link = link->pPrevious) {
        const std::int32_t answer = link->pView->onKeyDown(key);
        if (answer != -1) {
            return answer;
        }
    }
    return -1;
}

std::int32_t CViewContainer::onKeyUp(VstKeyCode& key) {
    for (CCView* link = pLastView; link; link = link->pPrevious) {
        const std::int32_t answer = link->pView->onKeyUp(key);
        if (answer != -1) {
            return answer;
        }
    }
    return -1;
}

bool CViewContainer::onDropFiles(void** items, std::int32_t count, std::int32_t type,
                                 CPosition& where) {
    if (!pParentFrame) {
        return false;
    }
    CPosition local(where.x - size.left, where.y - size.top);
    CView* child = childAt(local, kButtonsUnknown);
    return child && child->onDropFiles(items, count, type, local);
}

bool CViewContainer::onDrop(void* dragData, CPosition& where) {
    if (!pParentFrame) {
        return false;
    }
    CPosition local(where.x - size.left, where.y - size.top);
    CView* child = childAt(local, kButtonsUnknown);
    return child && child->onDrop(dragData, local);
}

void CViewContainer::loseFocus(CDrawContext* context) {
    for (CCView* link = pFirstView; link; link = link->pNext) {
        link->pView->loseFocus(context);
    }
}

void CViewContainer::takeFocus(CDrawContext* context) {
    for (CCView* link = pFirstView; link; link = link->pNext) {
        link->pView->takeFocus(context);
    }
}

} // namespace toolkit
