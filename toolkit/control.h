// CControl: a view with a value, a range, a default, a tag and a listener; the base of every
// control of the editor. CControlListener: how a control reports a user change. [UI thread]
#pragma once

#include "view.h"

#include <cstdint>

namespace toolkit {

class CControl;
class CDrawContext;

class CControlListener {
public:
    virtual ~CControlListener() = default;
    // Called after the user changed the control's value (or, for a text edit, its text).
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
    // A click with Shift, Control or Alt offered first to the listener; non-zero: handled.
    virtual std::int32_t controlModifierClicked(CDrawContext* context, CControl* control,
                                                std::int32_t buttons);
};

class CControl : public CView {
public:
    CControl(const CRectangle& size, CControlListener* listener = nullptr, std::int32_t tag = 0,
             CBitmap* background = nullptr);
    ~CControl() override;

    // Dirty when the value moved since the last clean point, or when marked dirty.
    bool isDirty() const override;
    // true also moves the old value off the value, false brings it back onto it.
    void setDirty(bool val = true) override;

    // Virtual slots in this order, after CView's.
    // Keeps the editor painting and the host running during a mouse-tracking loop.
    virtual void doIdleStuff();
    // [any thread] as well: the editor's setParameter stores the host's value here and marks
    // the control dirty; the UI thread draws it at its next idle.
    virtual void setValue(float val);
    virtual float getValue() const;
    virtual void setMin(float val);
    virtual float getMin() const;
    virtual void setMax(float val);
    virtual float getMax() const;
    virtual void setOldValue(float val);
    virtual float getOldValue() const;
    virtual void setDefaultValue(float val);
    virtual float getDefaultValue() const;
    virtual void setTag(std::int32_t val);
    // Source offset inside the background bitmap.
    virtual void setBackOffset(const CPosition& offset);
    // Sets the back offset to the control's own top-left corner.
    virtual void copyBackOffset();
    virtual void setWheelInc(float val);
    virtual float getWheelInc() const;
    // Clamps the value into [min, max].
    virtual void bounceValue();

    std::int32_t getTag() const { return tag; }
    // A click is a double click when it comes within the double-click delay of the previous
    // one; the second click of a pair does not start a new pair.
    bool isDoubleClick();

    CControlListener* getListener() const { return listener; }
    void setListener(CControlListener* newListener) { listener = newListener; }
    const CPosition& getBackOffset() const { return backOffset; }
    // Milliseconds: the system's double-click time, but never below kMinDoubleClickDelay.
    std::int32_t getDoubleClickDelay() const { return doubleClickDelay; }

    static constexpr std::int32_t kMinDoubleClickDelay = 250;

protected:
    CControlListener* listener; // not owned
    std::int32_t tag;
    float oldValue = 1.0f; // the value at the last clean point
    float defaultValue = 0.5f;
    float value = 0.0f;
    float vmin = 0.0f;
    float vmax = 1.0f;
    float wheelInc = 0.1f;
    std::int32_t lastTicks = -1; // ms, time of the last click seen by isDoubleClick
    std::int32_t doubleClickDelay;
    CPosition backOffset;
};

} // namespace toolkit
