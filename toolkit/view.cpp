#include "view.h"

#include "bitmap.h"
#include "drawcontext.h"
#include "frame.h"
#include "viewcontainer.h"

namespace toolkit {

CView::CView(const CRectangle& rect) : size(rect), mouseableArea(rect) {}

CView::~CView() {
    if (pBackground) {
        pBackground->forget();
    }
}

bool CView::isContainer(CView* view) {
    return view && view->notify(nullptr, kMsgCheckIfViewContainer) == 1;
}

void CView::draw(CDrawContext*) {
    setDirty(false);
}

void CView::drawRect(CDrawContext* context, const CRectangle&) {
    draw(context);
}

bool CView::checkUpdate(const CRectangle& rect) {
    return size.overlapsClosed(rect);
}

void CView::mouse(CDrawContext*, CPosition&, std::int32_t) {}

std::int32_t CView::notify(CView*, const char*) {
    return 0;
}

void CView::setBackground(CBitmap* bitmap) {
    // Remember first: the new bitmap may be the one already set.
    if (bitmap) {
        bitmap->remember();
    }
    if (pBackground) {
        pBackground->forget();
    }
    pBackground = bitmap;
}

CBitmap* CView::getBackground() const {
    return pBackground;
}

std::int32_t CView::onKeyDown(VstKeyCode&) {
    return -1;
}

std::int32_t CView::onKeyUp(VstKeyCode&) {
    return -1;
}

bool CView::onDropFiles(void**, std::int32_t, std::int32_t, CPosition&) {
    return false;
}

bool CView::onWheel(CDrawContext*, const CPosition&, float) {
    return false;
}

bool CView::onDrop(void*, CPosition&) {
    return false;
}

void CView::loseFocus(CDrawContext*) {}
void CView::takeFocus(CDrawContext*) {}

bool CView::isDirty() const {
    return dirty;
}

void CView::setDirty(bool val) {
    dirty = val;
}

void CView::setMouseEnabled(bool enable) {
    mouseEnabled = enable;
}

bool CView::getMouseEnabled() const {
    return mouseEnabled;
}

void CView::setMouseableArea(const CRectangle& rect) {
    mouseableArea = rect;
}

CRectangle& CView::getMouseableArea(CRectangle& rect) const {
    rect = mouseableArea;
    return rect;
}

bool CView::hitTest(const CPosition& where, std::int32_t) {
    return mouseableArea.isInsideClosed(where);
}

void CView::setTransparency(bool val) {
    transparencyEnabled = val;
}

bool CView::getTransparency() const {
    return transparencyEnabled;
}

void CView::setViewSize(const CRectangle& rect) {
    size = rect;
    setDirty(true);
}

CRectangle& CView::getViewSize(CRectangle& rect) const {
    rect = size;
    return rect;
}

void CView::setParentView(CView* parent) {
    pParentView = parent;
}

void CView::setFrame(CFrame* frame) {
    pParentFrame = frame;
}

AEffGUIEditor* CView::getEditor() const {
    return pParentFrame ? pParentFrame->getEditor() : nullptr;
}

bool CView::removed(CView*) {
    return true;
}

bool CView::attached(CView*) {
    return true;
}

// The point comes back in this view's parent coordinates: each enclosing container takes
// its own origin off the location its parent reports; the outermost asks the context.
void CView::getMouseLocation(CDrawContext* context, CPosition& point) {
    if (isContainer(pParentView)) {
        pParentView->getMouseLocation(context, point);
        CRectangle parentSize;
        pParentView->getViewSize(parentSize);
        point.offset(-parentSize.left, -parentSize.top);
    } else if (context) {
        context->getMouseLocation(point);
    }
}

CPosition& CView::localToFrame(CPosition& point) const {
    point.offset(size.left, size.top);
    if (isContainer(pParentView)) {
        pParentView->localToFrame(point);
    }
    return point;
}

void CView::redrawRect(CDrawContext* context, const CRectangle& rect) {
    if (pParentView) {
        pParentView->redrawRect(context, rect);
    } else if (pParentFrame) {
        pParentFrame->drawRect(context, rect);
    }
}

void CView::update(CDrawContext* context) {
    if (!isDirty()) {
        return;
    }
    if (context) {
        redrawRect(context, size);
    } else {
        redraw();
    }
    setDirty(false);
}

void CView::redraw() {
    if (pParentFrame) {
        pParentFrame->drawView(this);
    }
}

} // namespace toolkit
