// The bitmap controls' test bench: one control at its place in the editor, inside a frame in
// a host window of the headless backend, on the driver's virtual clock. The editor is the
// control's listener and records, in order, the gestures and changes the control reports.
#pragma once

#include "editor/cdib.h"
#include "editor/layout.h"
#include "editor/module_bitmaps.h"
#include "toolkit/aeffguieditor.h"
#include "toolkit/control.h"
#include "toolkit/frame.h"
#include "vst/audioeffect.h"

#include <kavet/driver.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kavet::test {

// Edit gestures that reached the host callback: (opcode, index).
inline std::vector<std::pair<VstInt32, VstInt32>> controlHostGestures;

inline VstIntPtr VSTCALLBACK controlHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr,
                                         void*, float) {
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        controlHostGestures.emplace_back(opcode, index);
        return 1;
    default:
        return 0;
    }
}

class ControlEffect : public AudioEffect {
public:
    ControlEffect() : AudioEffect(&controlHost, 1, 6) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

// One entry per event: "begin 0", "changed 0", "end 0".
class RecordingEditor : public AEffGUIEditor, public toolkit::CControlListener {
public:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 470;

    explicit RecordingEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
        rect.right = kWidth;
        rect.bottom = kHeight;
    }
    bool open(void* window) override {
        AEffGUIEditor::open(window);
        frame = new toolkit::CFrame(toolkit::CRectangle(0, 0, kWidth, kHeight), window, this);
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

class ControlTest : public ::testing::Test {
protected:
    static constexpr const char* kHostClass = "KavetControlsTestHost";

    void SetUp() override {
        editor::registerModuleBitmaps();
        driver::useVirtualClock(1000);
        driver::resetInput();
        driver::setDoubleClickTime(500);
        controlHostGestures.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kHostClass;
        RegisterClassA(&wc);
        host = CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_VISIBLE, 100, 100,
                               RecordingEditor::kWidth, RecordingEditor::kHeight, nullptr, nullptr,
                               wc.hInstance, nullptr);
        ASSERT_NE(host, nullptr);
        effect = new ControlEffect;
        editorObject = new RecordingEditor(effect);
        editorObject->open(host);
        frame = editorObject->getFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_NE(frame->getWindow(), nullptr);
        background = new editor::CDIB(layout::kBackgroundStereo);
        ASSERT_NE(background->getPixels(), nullptr);
        frame->setBackground(background);
    }
    void TearDown() override {
        if (editorObject) editorObject->close();
        delete effect; // deletes the editor
        if (background) background->forget();
        if (host) DestroyWindow(host);
        UnregisterClassA(kHostClass, GetModuleHandleA(nullptr));
        driver::resetInput();
        driver::pump();
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

    HWND window() const { return frame->getWindow(); }
    const std::vector<std::string>& events() const { return editorObject->events; }

    // A press at (x, y) of the frame; the pointer moves by (dx, dy) in one step `moveAfter`
    // ms later and the button is released 50 ms after that. A press waits up to the
    // double-click time (500 ms here) for a second one while the pointer stays within 2
    // pixels: smaller moves must come after that.
    void drag(int x, int y, int dx, int dy, unsigned modifiers = driver::NoModifier,
              driver::Button button = driver::Button::Left, DWORD moveAfter = 50) {
        driver::Script()
            .moveTo(window(), x, y)
            .press(button, modifiers)
            .wait(moveAfter)
            .moveTo(window(), x + dx, y + dy)
            .wait(50)
            .release(button)
            .modifiers(driver::NoModifier)
            .start();
        driver::runScript(5000);
        driver::pump();
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

    HWND host = nullptr;
    ControlEffect* effect = nullptr;
    RecordingEditor* editorObject = nullptr;
    toolkit::CFrame* frame = nullptr;
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
