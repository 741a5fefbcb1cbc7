#include "nswitch.h"

#include "layout.h"

#include "core/params.h"
#include "toolkit/drawcontext.h"
#include "toolkit/frame.h"

namespace kavet::editor {

using toolkit::CPosition;
using toolkit::CRectangle;

nSwitch::nSwitch(const CRectangle& size, std::int32_t tag, toolkit::CControlListener* listener,
                 std::int32_t stripId, float initial)
    : CControl(size, listener, tag), strip(new toolkit::CBitmap(stripId)) {
    value = initial;
}

nSwitch::~nSwitch() {
    strip->forget();
}

void nSwitch::draw(toolkit::CDrawContext* context) {
    const std::int32_t half = strip->getWidth() / 2;
    const bool on = isOn();
    const CRectangle face(size.left, size.top, size.left + kFaceWidth, size.bottom);
    strip->draw(context, face, CPosition(on ? half : 0, 0));
    const CRectangle led(size.left + kFaceWidth, size.top, size.right, size.bottom);
    strip->draw(context, led, CPosition(on && !ledDark ? half + kFaceWidth : kFaceWidth, 0));
    setDirty(false);
}

void nSwitch::mouse(toolkit::CDrawContext* context, CPosition&, std::int32_t) {
    // Any button and any modifier: what counts is where the pointer is now.
    CPosition pointer;
    getMouseLocation(context, pointer);
    if (!size.pointInside(pointer)) return;
    toolkit::CFrame* frame = getFrame();
    if (frame) {
        frame->beginEdit(tag);
        frame->setFocusView(this);
    }
    value = isOn() ? 0.0f : 1.0f;
    if (listener) listener->valueChanged(context, this);
    if (frame) frame->endEdit(tag);
}

// A parameter's switch shows what the signal path does with its value (on from 0.5 up,
// whatever a host's slider left there); the editor's own switches hold 0 or 1 and count any
// other value as on.
bool nSwitch::isOn() const {
    return tag < layout::kTagPre ? switchIsOn(value) : value != 0.0f;
}

void nSwitch::setLedDark(bool dark) {
    ledDark = dark;
    redraw();
}

} // namespace kavet::editor
