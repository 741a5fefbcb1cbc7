// AEffEditor: the effect-side editor interface. The effect forwards the host's editor
// opcodes to it and deletes it on destruction. [UI thread]
#pragma once

#include "aeffect.h"

class AudioEffect;

// A key as hosts pass it with effEditKeyDown/effEditKeyUp.
struct VstKeyCode {
    VstInt32 character = 0; // ASCII character, 0 for a virtual key
    unsigned char virt = 0; // virtual key code
    unsigned char modifier = 0;
};

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* owner) : effect(owner) {}
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;
    virtual ~AEffEditor() = default;

    virtual AudioEffect* getEffect() { return effect; }
    // Stores a pointer to the editor's extent; the base has none.
    virtual bool getRect(ERect** rect) {
        if (rect) *rect = nullptr;
        return false;
    }
    // `ptr` is the parent window the host gives (an HWND on Windows).
    virtual bool open(void* ptr) {
        systemWindow = ptr;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isEditorOpen() { return systemWindow != nullptr; }
    virtual void idle() {}
    // Obsolete VST 1 editor calls, kept for their slots.
    virtual void draw(ERect*) {}
    virtual VstInt32 mouse(VstInt32, VstInt32) { return 0; }
    virtual VstInt32 key(VstInt32, VstInt32) { return 0; }
    virtual void top() {}
    virtual void sleep() {}
    virtual bool onKeyDown(VstKeyCode&) { return false; }
    virtual bool onKeyUp(VstKeyCode&) { return false; }
    // One wheel notch is 1.0.
    virtual bool onWheel(float) { return false; }
    virtual bool setKnobMode(VstInt32) { return false; }

protected:
    AudioEffect* effect;
    void* systemWindow = nullptr;
};
