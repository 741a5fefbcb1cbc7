#include "control.h"

#include "frame.h"

#include <windows.h>

#include <cstdint>

namespace toolkit {

std::int32_t CControlListener::controlModifierClicked(CDrawContext*, CControl*, std::int32_t) {
    return 0;
}

namespace {

std::int32_t systemDoubleClickDelay() {
    auto ms = static_cast<std::int32_t>(GetDoubleClickTime());
    return ms < CControl::kMinDoubleClickDelay ? CControl::kMinDoubleClickDelay : ms;
}

} // namespace

CControl::CControl(const CRectangle& size, CControlListener* listener, std::int32_t tag,
                   CBitmap* background)
    : CView(size), listener(listener), tag(tag), doubleClickDelay(systemDoubleClickDelay()) {
    setBackground(background);
    setMouseEnabled(true);
    setTransparency(false);
}

CControl::~CControl() = default;

bool CControl::isDirty() const {
    return oldValue != value || CView::isDirty();
}

void CControl::setDirty(bool val) {
    CView::setDirty(val);
    if (val) {
        // Any number other than the value will do; -1 unless that is the value itself.
        oldValue = value != -1.0f ? -1.0f : 0.0f;
    } else {
        oldValue = value;
    }
}

void CControl::doIdleStuff() {
    if (pParentFrame) {
        pParentFrame->doIdleStuff();
    }
}

void CControl::setValue(float val) {
    value = val;
}
float CControl::getValue() const {
    return value;
}
void CControl::setMin(float val) {
    vmin = val;
}
float CControl::getMin() const {
    return vmin;
}
void CControl::setMax(float val) {
    vmax = val;
}
float CControl::getMax() const {
    return vmax;
}
void CControl::setOldValue(float val) {
    oldValue = val;
}
float CControl::getOldValue() const {
    return oldValue;
}
void CControl::setDefaultValue(float val) {
    defaultValue = val;
}
float CControl::getDefaultValue() const {
    return defaultValue;
}
void CControl::setTag(std::int32_t val) {
    tag = val;
}
void CControl::setBackOffset(const CPosition& offset) {
    backOffset = offset;
}
void CControl::copyBackOffset() {
    backOffset = CPosition(size.left, size.top);
}
void CControl::setWheelInc(float val) {
    wheelInc = val;
}
float CControl::getWheelInc() const {
    return wheelInc;
}

void CControl::bounceValue() {
    if (value > vmax) {
        value = vmax;
    } else if (value < vmin) {
        value = vmin;
    }
}

bool CControl::isDoubleClick() {
    // The frame's clock (GetTickCount, or 0 without an editor), kept as a signed 32-bit
    // number: a previous click at a non-positive time never pairs.
    const auto now = static_cast<std::int32_t>(pParentFrame ? pParentFrame->getTicks() : 0u);
    if (lastTicks > 0 &&
        static_cast<std::int64_t>(now) < static_cast<std::int64_t>(lastTicks) + doubleClickDelay) {
        lastTicks = 0;
        return true;
    }
    lastTicks = now;
    return false;
}

} // namespace toolkit
