#include "ncontrol.h"

#include "toolkit/drawcontext.h"
#include "toolkit/frame.h"

#include <algorithm>
#include <cstring>

namespace kavet::editor {

using toolkit::CDrawContext;
using toolkit::CPosition;
using toolkit::CRectangle;

nControl::nControl(const CRectangle& size, toolkit::CControlListener* listener, std::int32_t tag,
                   CDIB* background, float initialValue)
    : CControl(size, listener, tag, nullptr), rect(size), width(size.width()),
      height(size.height()), fValue(initialValue), fDefault(initialValue) {
    work = new CDIB(width, height);
    snapshot = new CDIB(width, height);
    snapStride = snapshot->getStride();
    if (background == nullptr || background->getPixels() == nullptr ||
        snapshot->getPixels() == nullptr) {
        return;
    }
    // The background under the rectangle, row by row (only the part inside the image).
    const PixelView from = background->view();
    const PixelView to = snapshot->view();
    const int x0 = std::max(0, static_cast<int>(rect.left));
    const int x1 = std::min(from.width, static_cast<int>(rect.right));
    if (x1 <= x0) return;
    for (int y = std::max(0, static_cast<int>(rect.top));
         y < std::min(from.height, static_cast<int>(rect.bottom)); ++y) {
        std::memcpy(to.bytes(x0 - rect.left, y - rect.top), from.bytes(x0, y),
                    static_cast<std::size_t>(x1 - x0) * 4);
    }
}

nControl::~nControl() {
    work->forget();
    snapshot->forget();
}

void nControl::beginEdit() {
    if (toolkit::CFrame* frame = getFrame()) {
        frame->beginEdit(tag);
        frame->setFocusView(this);
    }
}

void nControl::endEdit() {
    if (toolkit::CFrame* frame = getFrame()) frame->endEdit(tag);
}

void nControl::showCursor(bool show, bool rememberPosition) {
    if (rememberPosition) {
        if (show)
            SetCursorPos(cursor.x, cursor.y);
        else
            GetCursorPos(&cursor);
    }
    ShowCursor(show ? TRUE : FALSE);
}

void nControl::mouseHook(CDrawContext*, CPosition&) {}

void nControl::mouse(CDrawContext* context, CPosition& where, std::int32_t) {
    mouseHook(context, where);
}

void nControl::setValue(float val) {
    if (val == fValue) return;
    fValue = val;
    setDirty(true);
}

float nControl::getValue() const {
    return fValue;
}

bool nControl::isResetPress(CDrawContext* context, std::int32_t buttons) {
    if ((buttons & (toolkit::modControl | toolkit::modAlt)) != 0) return true;
    return (buttons & toolkit::buttonLeft) != 0 && context != nullptr && context->waitDoubleClick();
}

void nControl::resetGesture(CDrawContext* context, const std::function<void()>& reset) {
    beginEdit();
    reset();
    setDirty(true);
    reportChange(context);
    endEdit();
}

void nControl::dragLoop(CDrawContext* context,
                        const std::function<void(const CPosition&, bool)>& step) {
    if (context == nullptr) return;
    std::int32_t buttons = context->getMouseButtons();
    while ((buttons & toolkit::buttonLeft) != 0) {
        CPosition pointer;
        getMouseLocation(context, pointer);
        step(pointer, (buttons & toolkit::modShift) != 0);
        setDirty(true);
        reportChange(context);
        doIdleStuff();
        buttons = context->getMouseButtons();
    }
}

void nControl::restoreWork() {
    copyPixels(work->view(), snapshot->view());
}

void nControl::showWork(CDrawContext* context) {
    if (work->getPixels() != nullptr) work->draw(context, size);
    setDirty(false);
}

void nControl::reportChange(CDrawContext* context) {
    if (listener) listener->valueChanged(context, this);
}

} // namespace kavet::editor
