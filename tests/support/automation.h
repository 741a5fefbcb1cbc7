// A host playing automation on its audio thread while the user works the editor on the UI
// thread, for every module kind: the automation's values, the audio thread that plays them
// between blocks, the user's round on the editor, and what the editor must show once both
// are done.
#pragma once

#include "input.h"

#include "editor/layout.h"
#include "editor/nfader.h"
#include "editor/pluged.h"

#include "core/plug.h"
#include "toolkit/textedit.h"

#include <kavet/driver.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

namespace kavet::test {

// Frames of one audio block, as hosts with a small buffer render them.
inline constexpr int kAutomationBlockFrames = 64;

// Editor sessions (open, idle, work, close) while the automation plays: 30, and fewer in a
// sanitized build, where each costs far more (tests/threads/CMakeLists.txt).
#ifndef KAVET_AUTOMATION_CYCLES
#define KAVET_AUTOMATION_CYCLES 30
#endif
inline constexpr int kAutomationCycles = KAVET_AUTOMATION_CYCLES;

// The normalised value the automation gives parameter `param` before block `block`: a ramp
// up in steps of 1/128, each parameter from a phase of its own, and on every 16th block a
// jump to 0, 1, 0.3 or 0.7.
inline float automationValue(long block, int param) {
    constexpr float kJumps[] = {0.0f, 1.0f, 0.3f, 0.7f};
    if (block % 16 == 15) return kJumps[(block / 16 + param) % 4];
    return static_cast<float>((block + 21 * param) % 129) / 128.0f;
}

// [audio thread] `block(n)` for n = 0, 1, ... on a thread of its own until stop(). The
// constructor returns once the first block is done, so the UI thread's work overlaps blocks.
class AudioThread {
public:
    explicit AudioThread(std::function<void(long)> block)
        : thread_([this, block = std::move(block)] {
              // Bounded in case the UI thread never stops it.
              for (long n = 0; n < (1L << 24) && !stop_.load(std::memory_order_acquire); ++n) {
                  block(n);
                  blocks_.store(n + 1, std::memory_order_release);
              }
          }) {
        while (blocks_.load(std::memory_order_acquire) == 0)
            std::this_thread::yield();
    }
    ~AudioThread() { stop(); }
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    // [UI thread] Ends the loop and joins the thread; answers the blocks rendered.
    long stop() {
        stop_.store(true, std::memory_order_release);
        if (thread_.joinable()) thread_.join();
        return blocks_.load(std::memory_order_acquire);
    }

private:
    std::atomic<bool> stop_{false}; // before thread_: the loop reads both from its start
    std::atomic<long> blocks_{0};
    std::thread thread_;
};

// [UI thread] One round of the user on the open editor, on the driver's virtual clock with a
// double-click time of 500 ms: drags the fader's cap 20 pixels (up on even rounds), clicks
// the Phase switch, and types a gain into its field with Return.
inline void workTheEditor(const editor::PlugEd& editor, int round) {
    constexpr layout::Rect kFader = layout::rect(layout::Id::Fader);
    constexpr layout::Rect kPhase = layout::rect(layout::Id::Phase);
    constexpr layout::Rect kGainField = layout::rect(layout::Id::GainValue);
    constexpr const char* kTyped[] = {"-6", "3", "-20.5", "0"};
    const HWND window = editor.getFrame()->getWindow();
    const auto* fader = dynamic_cast<editor::nFader*>(editor.getEditorFrame()->findControl(kGain));
    const int capX = kFader.left + 80, capY = kFader.top + fader->model().capRow() + 29;
    // Held past the double-click time before moving, as a user's drag is.
    drag(window, {.x0 = capX,
                  .y0 = capY,
                  .x1 = capX,
                  .y1 = capY + (round % 2 == 0 ? -20 : 20),
                  .holdMs = 600,
                  .glideMs = 100,
                  .steps = 10,
                  .afterMs = 20});
    click(window, kPhase.left + 10, kPhase.top + 8);
    click(window, kGainField.left + 28, kGainField.top + 7); // opens the field's entry window
    driver::typeText(kTyped[round % 4]);
    driver::key(VK_RETURN);
    driver::pump();
}

// [UI thread] Every control of a parameter (tags 0 to kNumParams - 1) in the open editor
// shows the effect's value: a value field the effect's display text, any other control the
// normalised value itself.
inline ::testing::AssertionResult controlsShowParameters(const editor::PlugEd& editor, Plug& plug) {
    const editor::CQRLFrame* frame = editor.getEditorFrame();
    if (frame == nullptr) return ::testing::AssertionFailure() << "the editor is not open";
    int controls[kNumParams] = {};
    for (auto* link = frame->getFirstChild(); link != nullptr; link = link->pNext) {
        auto* control = dynamic_cast<toolkit::CControl*>(link->pView);
        const int tag = control ? control->getTag() : -1;
        if (tag < 0 || tag >= kNumParams) continue;
        ++controls[tag];
        if (auto* field = dynamic_cast<toolkit::CTextEdit*>(control)) {
            char shown[256] = {}, display[256] = {};
            field->getText(shown);
            plug.getParameterDisplay(tag, display);
            if (std::strcmp(shown, display) != 0)
                return ::testing::AssertionFailure()
                       << "the field of parameter " << tag << " shows \"" << shown
                       << "\", the effect \"" << display << "\"";
        } else if (control->getValue() != plug.getParameter(tag)) {
            return ::testing::AssertionFailure()
                   << "a control of parameter " << tag << " shows " << control->getValue()
                   << ", the effect holds " << plug.getParameter(tag);
        }
    }
    for (int p = 0; p < kNumParams; ++p) {
        if (controls[p] == 0)
            return ::testing::AssertionFailure() << "no control shows parameter " << p;
    }
    return ::testing::AssertionSuccess();
}

} // namespace kavet::test
