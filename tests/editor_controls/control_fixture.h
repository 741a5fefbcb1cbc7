// The bitmap controls' test bench: one control at its place in the editor, inside a frame in
// the editor harness (support/editor_harness.h). The editor is the control's listener and
// records, in order, the gestures and changes the control reports.
#pragma once

#include "editor/cdib.h"
#include "editor/layout.h"
#include "editor/module_bitmaps.h"
#include "editor_harness.h"
#include "input.h"

#include "toolkit/control.h"

#include <kavet/driver.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kavet::test {

// One entry per event: "begin 0", "changed 0", "end 0".
class RecordingEditor : public FrameEditor, public toolkit::CControlListener {
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 470;

    explicit RecordingEditor(AudioEffect* effect) : FrameEditor(effect, kWidth, kHeight) {}
    void beginEdit(VstInt32 index) override {
        events.push_back("begin " + std::to_string(index));
        AEffGUIEditor::beginEdit(index);
    }
    void endEdit(VstInt32 index) override {
        events.push_back("end " + std::to_string(index));
        AEffGUIEditor::endEdit(index);
    }
    void valueChanged(toolkit::CDrawContext*, toolkit::CControl* control) override {
        events.push_back("changed " + std::to_string(control->getTag()));
        values.push_back(control->getValue());
    }

    std::vector<std::string> events;
    std::vector<float> values; // the control's value at each change
};

class ControlTest : public EditorFixture<RecordingEditor> {
protected:
    void SetUp() override {
        editor::registerModuleBitmaps();
        EditorFixture::SetUp();
        if (HasFatalFailure()) return;
        background = new editor::CDIB(layout::kBackgroundStereo);
        ASSERT_NE(background->getPixels(), nullptr);
        frame->setBackground(background);
    }
    void TearDown() override {
        EditorFixture::TearDown();
        if (background) background->forget();
    }

    // Adds the control to the frame and paints the window once.
    void show(toolkit::CView* control) {
        frame->addView(control);
        InvalidateRect(window(), nullptr, FALSE);
        driver::pump();
        editorObject->events.clear();
        editorObject->values.clear();
    }
    // Redraws what changed since the last paint (as the editor's idle does).
    void refresh() {
        frame->idle();
        driver::pump();
    }

    const std::vector<std::string>& events() const { return editorObject->events; }

    // A press at (x, y) of the frame; the pointer moves by (dx, dy) in one step `moveAfter`
    // ms later and the button is released 50 ms after that. A press waits up to the
    // double-click time (500 ms here) for a second one while the pointer stays within 2
    // pixels: smaller moves must come after that.
    void drag(int x, int y, int dx, int dy, unsigned modifiers = driver::NoModifier,
              driver::Button button = driver::Button::Left, DWORD moveAfter = 50) {
        test::drag(window(), {.x0 = x,
                              .y0 = y,
                              .x1 = x + dx,
                              .y1 = y + dy,
                              .holdMs = moveAfter,
                              .modifiers = modifiers,
                              .button = button});
    }
    // Two presses 60 ms apart at the same point.
    void doubleClick(int x, int y) {
        driver::Script()
            .moveTo(window(), x, y)
            .press()
            .wait(30)
            .release()
            .wait(30)
            .press()
            .wait(30)
            .release()
            .start();
        driver::runScript(5000);
        driver::pump();
    }

    editor::CDIB* background = nullptr;
};

// One begin, any number of changes, one end, all with `tag`.
inline ::testing::AssertionResult isOneGesture(const std::vector<std::string>& events, int tag) {
    const std::string t = std::to_string(tag);
    if (events.size() < 3) return ::testing::AssertionFailure() << events.size() << " events";
    if (events.front() != "begin " + t) return ::testing::AssertionFailure() << events.front();
    if (events.back() != "end " + t) return ::testing::AssertionFailure() << events.back();
    for (std::size_t i = 1; i + 1 < events.size(); ++i)
        if (events[i] != "changed " + t)
            return ::testing::AssertionFailure() << "event " << i << ": " << events[i];
    return ::testing::AssertionSuccess();
}

} // namespace kavet::test
