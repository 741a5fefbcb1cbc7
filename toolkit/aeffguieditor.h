// AEffGUIEditor: the editor base of a toolkit editor. It owns the frame (built by the
// derived editor's open) and keeps the host and the screen alive while a control tracks
// the mouse (doIdleStuff). [UI thread] unless a function says otherwise.
#pragma once

#include "vst/aeffeditor.h"

#include <cstdint>

namespace toolkit {
class CFrame;
}

class AEffGUIEditor : public AEffEditor {
public:
    // Registers itself as the effect's editor (which sets the has-editor flag).
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    bool getRect(ERect** rect) override;
    void idle() override;
    bool onKeyDown(VstKeyCode& key) override;
    bool onKeyUp(VstKeyCode& key) override;
    bool onWheel(float distance) override;
    bool setKnobMode(VstInt32 mode) override;

    // Virtual slots in this order, after those of AEffEditor.
    // The effect's parameter changed. [any thread]: the effect forwards the host's
    // setParameter from whichever thread calls it.
    virtual void setParameter(VstInt32 index, float value);
    virtual void beginEdit(VstInt32 index);
    virtual void endEdit(VstInt32 index);
    // Called from the controls' tracking loops: one idle pass at most every 200 ms without
    // a pause, otherwise a 4 ms sleep first (Algorithm in the .cpp).
    virtual void doIdleStuff();

    toolkit::CFrame* getFrame() const { return frame; }
    // The process-wide knob mode set through setKnobMode (read by CFrame::getKnobMode).
    static VstInt32 getKnobModeSetting();

protected:
    ERect rect{};                     // the editor's extent; the derived editor fills it
    std::uint32_t lastTicks;          // ms: time of the previous idle pass plus 200
    bool inIdleStuff = false;         // set while the host runs its idle from doIdleStuff
    toolkit::CFrame* frame = nullptr; // owned
};
