// nControl: the base of the editor's bitmap controls. It keeps a snapshot of the background
// under its rectangle and a work buffer of the same size; subclasses compose into the work
// buffer and hand it to the toolkit. It also holds the mouse conventions that the fader and
// the dial share: reset to the default by Control-click, Alt-click or a double click, and
// modal left-button drags with a tenth of the movement while Shift is held, every change
// bracketed by beginEdit and endEdit. [UI thread]
#pragma once

#include "cdib.h"
#include "toolkit/control.h"

#include <cstdint>
#include <functional>

namespace kavet::editor {

class nControl : public toolkit::CControl {
public:
    // `background` is the editor's whole background image, read once here and not kept; the
    // rectangle must lie inside it.
    nControl(const toolkit::CRectangle& size, toolkit::CControlListener* listener, std::int32_t tag,
             CDIB* background, float initialValue);
    ~nControl() override;

    nControl(const nControl&) = delete;
    nControl& operator=(const nControl&) = delete;

    // Virtual slots in this order, after CControl's.
    // Tells the frame beginEdit(tag) and takes the focus (ending a text entry in progress).
    virtual void beginEdit();
    virtual void endEdit();
    // Hides or shows the pointer; with rememberPosition, hiding records the screen position
    // and showing puts the pointer back there first.
    virtual void showCursor(bool show, bool rememberPosition);
    virtual void mouseHook(toolkit::CDrawContext* context, toolkit::CPosition& where);

    void mouse(toolkit::CDrawContext* context, toolkit::CPosition& where,
               std::int32_t buttons = -1) override;
    void setValue(float val) override;
    float getValue() const override;

    CDIB* getWorkBuffer() const { return work; }
    CDIB* getSnapshot() const { return snapshot; }
    float getControlDefault() const { return fDefault; }

protected:
    // Whether a press is the reset gesture: Control or Alt in the button word, or a second
    // left press within the double-click time (which the wait consumes).
    static bool isResetPress(toolkit::CDrawContext* context, std::int32_t buttons);
    // Runs `reset` between beginEdit and endEdit and reports the change.
    void resetGesture(toolkit::CDrawContext* context, const std::function<void()>& reset);
    // The modal drag: while the left button is held, reads the pointer (parent coordinates)
    // and calls `step` (pointer, Shift held), then valueChanged and doIdleStuff.
    void dragLoop(toolkit::CDrawContext* context,
                  const std::function<void(const toolkit::CPosition&, bool shift)>& step);
    // Copies the snapshot into the work buffer (the first step of every draw).
    void restoreWork();
    // Draws the work buffer at the control's rectangle and marks the control clean.
    void showWork(toolkit::CDrawContext* context);
    void reportChange(toolkit::CDrawContext* context);

    POINT cursor{0, 0};       // screen position remembered by showCursor
    CDIB* work = nullptr;     // owned
    CDIB* snapshot = nullptr; // owned
    toolkit::CRectangle rect; // editor coordinates
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t snapStride = 0; // bytes
    float fValue = 0;
    float fDefault = 0;
};

} // namespace kavet::editor
