#include "ndial.h"

#include "toolkit/drawcontext.h"

namespace kavet::editor {

using toolkit::CDrawContext;
using toolkit::CPosition;
using toolkit::CRectangle;

nDial::nDial(const CRectangle& size, std::int32_t tag, toolkit::CControlListener* listener,
             CDIB* background, float initialValue)
    : nControl(size, listener, tag, background, initialValue),
      centre((size.left + size.right) / 2, (size.top + size.bottom) / 2), model_(initialValue) {
    fDefault = DialModel::kDefaultValue;
    modelChanged();
}

void nDial::drawPointer(CDIB* buffer, double x, double y) {
    if (buffer != nullptr) editor::drawPointer(buffer->view(), x, y);
}

void nDial::draw(CDrawContext* context) {
    if (work->getPixels() != nullptr) {
        restoreWork();
        const PointerPoint p = pointerPosition(model_.angle());
        drawPointer(work, p.x, p.y);
    }
    showWork(context);
}

void nDial::mouseHook(CDrawContext* context, CPosition& where) {
    if (!size.isInsideClosed(where)) return;
    // The drag counts from where the press was, even when the pointer moves during the
    // double-click wait.
    CPosition previous;
    getMouseLocation(context, previous);
    const std::int32_t buttons = context ? context->getMouseButtons() : 0;
    if (isResetPress(context, buttons)) {
        resetGesture(context, [this] {
            model_.reset();
            modelChanged();
        });
        return;
    }
    if ((buttons & toolkit::buttonLeft) == 0) return;
    beginEdit();
    showCursor(false, true);
    dragLoop(context, [this, &previous](const CPosition& pointer, bool shift) {
        model_.drag(pointer.x - previous.x, pointer.y - previous.y, shift);
        modelChanged();
        previous = pointer;
    });
    // The pointer comes back where the drag began.
    showCursor(true, true);
    endEdit();
}

void nDial::setValue(float x) {
    model_.setValue(x);
    modelChanged();
}

float nDial::getValue() const {
    return model_.getValue();
}

void nDial::modelChanged() {
    if (model_.angle() != fValue) {
        fValue = model_.angle();
        setDirty(true);
    }
}

} // namespace kavet::editor
