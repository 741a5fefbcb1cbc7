// The controls' test bench: an effect with an editor whose frame lives in the editor harness
// (support/editor_harness.h), and a listener that records what the controls report.
#pragma once

#include "editor_harness.h"

#include "toolkit/control.h"
#include "toolkit/textedit.h"

#include <kavet/driver.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace kavet::test {

// A listener that records what it was told.
struct RecordingListener : toolkit::CControlListener {
    struct Change {
        toolkit::CControl* control;
        bool withContext;
        std::string text; // a text edit's text at the time of the report
    };
    void valueChanged(toolkit::CDrawContext* context, toolkit::CControl* control) override;
    std::int32_t controlModifierClicked(toolkit::CDrawContext*, toolkit::CControl*,
                                        std::int32_t buttons) override {
        modifierClicks.push_back(buttons);
        return modifierAnswer;
    }
    std::vector<Change> changes;
    std::vector<std::int32_t> modifierClicks;
    std::int32_t modifierAnswer = 0;
};

inline void RecordingListener::valueChanged(toolkit::CDrawContext* context,
                                            toolkit::CControl* control) {
    Change change{control, context != nullptr, {}};
    if (auto* edit = dynamic_cast<toolkit::CTextEdit*>(control)) {
        char text[toolkit::CTextEdit::kTextSize];
        edit->getText(text);
        change.text = text;
    }
    changes.push_back(change);
}

// The editor harness (support/editor_harness.h) with an editor of width x height at screen
// (100, 100).
class EditorTest : public ::testing::Test {
protected:
    void openEditor(int width, int height) {
        hostCalls().clear();
        effect = new TestEffect;
        editor = new FrameEditor(effect, width, height);
        harness.emplace(effect, width, height, 100, 100, "KavetControlsHost");
        frame = editor->getFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_NE(frame->getWindow(), nullptr);
    }
    void TearDown() override { harness.reset(); }
    // Clicks at (x, y) of the frame window and lets the messages run.
    void click(int x, int y, driver::Button button = driver::Button::Left,
               unsigned modifiers = driver::NoModifier) {
        driver::moveTo(frame->getWindow(), x, y);
        driver::press(button, modifiers);
        driver::pump(); // the buttons are read while the press is handled
        driver::release(button);
        driver::setModifiers(driver::NoModifier);
        driver::pump();
    }

    TestEffect* effect = nullptr;
    FrameEditor* editor = nullptr;
    std::optional<EditorHarness> harness;
    toolkit::CFrame* frame = nullptr;
};

} // namespace kavet::test
