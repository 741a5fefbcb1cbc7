// The controls' test bench: an effect with an editor whose frame lives in a top-level host
// window of the headless backend, on the driver's virtual clock.
#pragma once

#include "toolkit/aeffguieditor.h"
#include "toolkit/control.h"
#include "toolkit/frame.h"
#include "toolkit/textedit.h"
#include "vst/audioeffect.h"

#include <kavet/driver.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace kavet::test {

// Host calls the effect made, by opcode.
struct HostLog {
    int beginEdits = 0;
    int endEdits = 0;
    int idles = 0;
};
inline HostLog hostLog;

inline VstIntPtr VSTCALLBACK testHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*,
                                      float) {
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterBeginEdit:
        ++hostLog.beginEdits;
        return 1;
    case audioMasterEndEdit:
        ++hostLog.endEdits;
        return 1;
    case audioMasterIdle:
        ++hostLog.idles;
        return 1;
    default:
        return 0;
    }
}

class TestEffect : public AudioEffect {
public:
    TestEffect() : AudioEffect(&testHost, 1, 6) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

// Builds a windowed frame of the given size in open(); the derived test adds the views.
class TestEditor : public AEffGUIEditor {
public:
    TestEditor(AudioEffect* effect, int width, int height)
        : AEffGUIEditor(effect), width(width), height(height) {
        rect.right = static_cast<short>(width);
        rect.bottom = static_cast<short>(height);
    }
    bool open(void* window) override {
        AEffGUIEditor::open(window);
        frame = new toolkit::CFrame(toolkit::CRectangle(0, 0, width, height), window, this);
        return true;
    }
    void close() override {
        if (frame) {
            toolkit::CFrame* old = frame;
            frame = nullptr;
            old->forget();
        }
        AEffGUIEditor::close();
    }
    void idle() override {
        ++idleCalls;
        AEffGUIEditor::idle();
    }
    int idleCalls = 0;

private:
    int width, height;
};

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

// A host window at screen (100, 100) holding an open editor of width x height.
class EditorTest : public ::testing::Test {
protected:
    static constexpr const char* kHostClass = "KavetControlsHost";

    void openEditor(int width, int height) {
        driver::useVirtualClock(1000);
        driver::resetInput();
        driver::setDoubleClickTime(500);
        hostLog = HostLog{};
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kHostClass;
        RegisterClassA(&wc);
        host = CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_VISIBLE, 100, 100, width,
                               height, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(host, nullptr);
        effect = new TestEffect;
        editor = new TestEditor(effect, width, height);
        editor->open(host);
        frame = editor->getFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_NE(frame->getWindow(), nullptr);
    }
    void TearDown() override {
        if (editor) {
            editor->close();
        }
        delete effect; // deletes the editor
        if (host) {
            DestroyWindow(host);
        }
        UnregisterClassA(kHostClass, GetModuleHandleA(nullptr));
        driver::resetInput();
        driver::pump();
    }
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

    HWND host = nullptr;
    TestEffect* effect = nullptr;
    TestEditor* editor = nullptr;
    toolkit::CFrame* frame = nullptr;
};

} // namespace kavet::test
