#include "aeffguieditor.h"

#include "drawcontext.h"
#include "frame.h"
#include "vst/audioeffect.h"

#include <ole2.h>
#include <windows.h>

namespace {

VstInt32 knobMode = 0; // process-wide, [UI thread]

// doIdleStuff pacing, in ms.
constexpr std::uint32_t kIdleInterval = 200;
constexpr std::uint32_t kEarlyPassSleep = 4;
constexpr std::uint32_t kBackwardsTolerance = 250;

} // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffect* owner) : AEffEditor(owner), lastTicks(GetTickCount()) {
    if (effect) {
        effect->setEditor(this);
    }
    OleInitialize(nullptr);
}

AEffGUIEditor::~AEffGUIEditor() {
    // The derived editor's close normally deletes the frame; one left over goes with us.
    if (frame) {
        frame->forget();
        frame = nullptr;
    }
    OleUninitialize();
}

bool AEffGUIEditor::getRect(ERect** out) {
    if (!out) {
        return false;
    }
    *out = &rect;
    return true;
}

void AEffGUIEditor::idle() {
    if (!inIdleStuff && frame) {
        frame->idle();
    }
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& key) {
    return frame && frame->onKeyDown(key) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& key) {
    return frame && frame->onKeyUp(key) == 1;
}

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame) {
        return false;
    }
    // The location relative to the window the host gave to open.
    toolkit::CDrawContext context(frame, nullptr, static_cast<HWND>(systemWindow));
    toolkit::CPosition where;
    context.getMouseLocation(where);
    return frame->onWheel(&context, where, distance);
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    knobMode = mode;
    return true;
}

VstInt32 AEffGUIEditor::getKnobModeSetting() {
    return knobMode;
}

void AEffGUIEditor::setParameter(VstInt32, float) {}

void AEffGUIEditor::beginEdit(VstInt32 index) {
    if (effect) {
        effect->beginEdit(index);
    }
}

void AEffGUIEditor::endEdit(VstInt32 index) {
    if (effect) {
        effect->endEdit(index);
    }
}

// A pass repaints and lets the host run; passes closer than 200 ms apart each cost a 4 ms
// sleep, so a tracking loop yields the processor without losing redraws.
void AEffGUIEditor::doIdleStuff() {
    std::uint32_t now = GetTickCount();
    if (now < lastTicks) {
        Sleep(kEarlyPassSleep);
        now += kEarlyPassSleep;
        // Only when the clock went backwards (or passes began within 250 ms of its start).
        if (now < lastTicks - kBackwardsTolerance) {
            return;
        }
    }
    idle();
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    lastTicks = now + kIdleInterval;
    inIdleStuff = true;
    if (effect) {
        effect->masterIdle();
    }
    inIdleStuff = false;
}
