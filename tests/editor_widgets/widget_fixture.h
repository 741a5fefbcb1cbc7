// The widgets' test bench: an editor frame of the editor's size in a host window of the
// headless backend, on the driver's virtual clock, with the editor's bitmaps loadable and a
// host callback that records the edit gestures.
#pragma once

#include "editor/cdib.h"
#include "editor/module_bitmaps.h"
#include "toolkit/aeffguieditor.h"
#include "toolkit/control.h"
#include "toolkit/frame.h"
#include "vst/audioeffect.h"

#include <kavet/driver.h>

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace kavet::test {

// Edit gestures that reached the host: (opcode, index).
inline std::vector<std::pair<VstInt32, VstInt32>> hostGestures;

inline VstIntPtr VSTCALLBACK widgetHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                                        float) {
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        hostGestures.emplace_back(opcode, index);
        return 1;
    default:
        return 0;
    }
}

class WidgetEffect : public AudioEffect {
public:
    WidgetEffect() : AudioEffect(&widgetHost, 1, 6) {}
    void processReplacing(float**, float**, VstInt32) override {}
};

class WidgetEditor : public AEffGUIEditor {
public:
    explicit WidgetEditor(AudioEffect* effect) : AEffGUIEditor(effect) {
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
            // An open options page is the modal view and a child a second time: take it out
            // of the modal slot first, so the frame releases it once.
            old->setModalView(nullptr);
            old->forget();
        }
        AEffGUIEditor::close();
    }
    void idle() override {
        if (onIdle) onIdle();
        AEffGUIEditor::idle();
    }
    std::function<void()> onIdle;

    static constexpr int kWidth = 265;
    static constexpr int kHeight = 534;
};

class WidgetTest : public ::testing::Test {
protected:
    static constexpr const char* kHostClass = "KavetWidgetsHost";

    void SetUp() override {
        editor::registerModuleBitmaps();
        driver::useVirtualClock(1000);
        driver::resetInput();
        driver::setDoubleClickTime(500);
        hostGestures.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kHostClass;
        RegisterClassA(&wc);
        host = CreateWindowExA(0, kHostClass, "host", WS_POPUP | WS_VISIBLE, 100, 100,
                               WidgetEditor::kWidth, WidgetEditor::kHeight, nullptr, nullptr,
                               wc.hInstance, nullptr);
        ASSERT_NE(host, nullptr);
        effect = new WidgetEffect;
        editorObject = new WidgetEditor(effect);
        editorObject->open(host);
        frame = editorObject->getFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_NE(frame->getWindow(), nullptr);
    }
    void TearDown() override {
        if (editorObject) editorObject->close();
        delete effect; // deletes the editor
        if (host) DestroyWindow(host);
        UnregisterClassA(kHostClass, GetModuleHandleA(nullptr));
        driver::resetInput();
        driver::pump();
    }
    HWND window() const { return frame->getWindow(); }
    // A press at (x, y) of the frame, released `holdMs` later; runs until the script is done
    // (controls with a tracking loop see the release while they track).
    void click(int x, int y, DWORD holdMs = 40, unsigned modifiers = driver::NoModifier) {
        driver::Script()
            .moveTo(window(), x, y)
            .press(driver::Button::Left, modifiers)
            .wait(holdMs)
            .release(driver::Button::Left)
            .modifiers(driver::NoModifier)
            .start();
        driver::runScript(5000);
        driver::pump();
    }
    // The frame window's pixel (x, y) as 0xRRGGBB.
    std::uint32_t screen(int x, int y) const { return driver::capture(window()).rgb(x, y); }

    HWND host = nullptr;
    WidgetEffect* effect = nullptr;
    WidgetEditor* editorObject = nullptr;
    toolkit::CFrame* frame = nullptr;
};

// Compares a w x h area of a capture at (x, y) with the bitmap's pixels at (sx, sy); returns
// the number of differing pixels.
inline int differingPixels(const driver::Image& image, int x, int y, const editor::CDIB& bitmap,
                           int sx, int sy, int w, int h) {
    const editor::PixelView v = bitmap.view();
    int differing = 0;
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            if (image.rgb(x + c, y + r) != (v.at(sx + c, sy + r) & 0xFFFFFFu)) ++differing;
    return differing;
}

} // namespace kavet::test
