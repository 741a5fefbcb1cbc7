// The tests' editor harness (editor_harness.h).
#include "editor_harness.h"

#include <kavet/driver.h>

namespace kavet::test {

FrameEditor::FrameEditor(AudioEffect* effect, int width, int height)
    : AEffGUIEditor(effect), width(width), height(height) {
    rect.right = static_cast<short>(width);
    rect.bottom = static_cast<short>(height);
}

bool FrameEditor::open(void* window) {
    AEffGUIEditor::open(window);
    frame = new toolkit::CFrame(toolkit::CRectangle(0, 0, width, height), window, this);
    return true;
}

void FrameEditor::close() {
    if (frame) {
        toolkit::CFrame* old = frame;
        frame = nullptr;
        // A modal view is a child a second time: take it out of the modal slot first, so
        // that the frame releases it once.
        old->setModalView(nullptr);
        old->forget();
    }
    AEffGUIEditor::close();
}

void FrameEditor::idle() {
    ++idleCalls;
    if (onIdle) onIdle();
    AEffGUIEditor::idle();
}

EditorHarness::EditorHarness(AudioEffect* effect, int width, int height, int x, int y,
                             const char* className)
    : effect(effect) {
    driver::useVirtualClock(1000);
    driver::resetInput();
    driver::setDoubleClickTime(500);
    window.emplace(x, y, width, height, className);
    if (AEffEditor* editor = effect->getEditor()) editor->open(window->handle());
}

EditorHarness::~EditorHarness() {
    if (AEffEditor* editor = effect->getEditor()) editor->close();
    delete effect;
    window.reset();
    driver::resetInput();
    driver::pump();
}

} // namespace kavet::test
