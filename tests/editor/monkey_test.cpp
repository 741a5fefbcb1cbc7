// A monkey on the open editor: random presses (left and right, single and double), drags,
// wheel turns, keys and typed texts anywhere on the editor, with audio processed and the
// editor idled between them, from a fixed seed. Nothing may crash; after every action each
// parameter is a number within 0..1; every audioMasterEndEdit closes an audioMasterBeginEdit
// of the same index, and once the monkey stops no begin is left open. Every parameter's control
// must have been edited at least once, or the run proves little.
#include "editor_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <string>

#ifndef KAVET_MONKEY_ACTIONS
#define KAVET_MONKEY_ACTIONS 100000
#endif

namespace kavet::test {
namespace {

// The full count runs in the optimised build; the sanitized build sets a smaller one, as it
// runs some twenty times slower.
constexpr int kActions = KAVET_MONKEY_ACTIONS;
constexpr std::uint64_t kSeed = 0x4b617665744d6f6eull;

// A small, fully specified generator, so that a failing action number means the same run on
// every standard library.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint32_t next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }

private:
    std::uint64_t state_;
};

const int kKeys[] = {VK_RETURN, VK_ESCAPE, VK_TAB,  VK_BACK, VK_LEFT,  VK_RIGHT, VK_UP,
                     VK_DOWN,   VK_DELETE, VK_HOME, VK_END,  VK_PRIOR, VK_NEXT,  VK_SPACE,
                     '0',       '5',       '9',     'L',     'R',      VK_F1,    VK_SHIFT};
const char kTextChars[] = "0123456789-+.,eELlRr dB%\t\n";

unsigned randomModifiers(Rng& rng) {
    const int pick = rng.below(8);
    return pick == 0   ? driver::Shift
           : pick == 1 ? driver::Control
           : pick == 2 ? driver::Alt
                       : driver::NoModifier;
}

class Monkey {
public:
    Monkey(EditorHost& host, std::uint64_t seed) : h(host), rng(seed) {}

    void act() {
        const HWND w = h.frameWindow();
        const int x = rng.below(editor::kEditorWidth), y = rng.below(editor::kEditorHeight);
        const driver::Button button =
            rng.below(10) == 0 ? driver::Button::Right : driver::Button::Left;
        switch (rng.below(10)) {
        case 0:
        case 1: // a press, held a while
            driver::Script()
                .moveTo(w, x, y)
                .press(button, randomModifiers(rng))
                .wait(static_cast<DWORD>(rng.below(700)))
                .release(button)
                .modifiers(driver::NoModifier)
                .start();
            break;
        case 2: // a double click
            driver::Script()
                .moveTo(w, x, y)
                .press(button)
                .wait(20)
                .release(button)
                .wait(static_cast<DWORD>(rng.below(120)))
                .press(button)
                .wait(20)
                .release(button)
                .start();
            break;
        case 3:
        case 4: // a drag, possibly off the editor
            driver::Script()
                .moveTo(w, x, y)
                .press(button, randomModifiers(rng))
                .wait(static_cast<DWORD>(rng.below(700)))
                .glide(w, x, y, x + rng.below(400) - 200, y + rng.below(800) - 400,
                       static_cast<DWORD>(10 + rng.below(300)), 1 + rng.below(12))
                .wait(static_cast<DWORD>(rng.below(50)))
                .release(button)
                .modifiers(driver::NoModifier)
                .start();
            break;
        case 5: // wheel turns over a spot
            driver::Script()
                .moveTo(w, x, y)
                .modifiers(randomModifiers(rng))
                .wheel((rng.below(7) - 3) * (rng.below(4) == 0 ? 40 : WHEEL_DELTA))
                .modifiers(driver::NoModifier)
                .start();
            break;
        case 6: // a key
            driver::Script()
                .key(kKeys[rng.below(sizeof kKeys / sizeof kKeys[0])], randomModifiers(rng))
                .start();
            break;
        case 7: { // typed text: half the time a number, often out of range, then Return
            std::string text;
            if (rng.below(2) == 0) {
                if (rng.below(3) == 0) text += '-';
                text += std::to_string(rng.below(1000));
                if (rng.below(2) == 0) text += '\n';
            } else {
                for (int n = rng.below(8); n > 0; --n)
                    text += kTextChars[rng.below(sizeof kTextChars - 1)];
            }
            driver::Script().typeText(text).start();
            break;
        }
        case 8: // the host's audio
            h.process(static_cast<float>(rng.below(2001) - 1000) / 500.0f, 1 + rng.below(1024));
            break;
        case 9: // the host's idle
            h.idle();
            break;
        }
        driver::runScript();
        driver::pump();
    }

    // Every parameter a number within 0..1; the edits so far properly bracketed.
    ::testing::AssertionResult check() {
        for (int i = 0; i < h.record()->numParams; ++i) {
            const float v = h.record()->getParameter(h.record(), i);
            if (!(v >= 0.0f && v <= 1.0f))
                return ::testing::AssertionFailure() << "parameter " << i << " is " << v;
        }
        for (const HostCall& call : EditorHost::calls()) {
            if (call.opcode == audioMasterBeginEdit) {
                ++open[call.index];
                ++begun[call.index];
            } else if (call.opcode == audioMasterEndEdit) {
                if (open[call.index] <= 0)
                    return ::testing::AssertionFailure()
                           << "end edit of " << call.index << " without a begin";
                --open[call.index];
            }
        }
        EditorHost::calls().clear();
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult noneOpen() const {
        for (const auto& [index, count] : open)
            if (count != 0)
                return ::testing::AssertionFailure()
                       << count << " begin edit(s) of " << index << " never ended";
        return ::testing::AssertionSuccess();
    }

    // Edits begun per index over the whole run.
    std::map<VstInt32, int> begun;

private:
    EditorHost& h;
    Rng rng;
    std::map<VstInt32, int> open;
};

TEST(Monkey, RandomInputKeepsParametersInRangeAndEditsBracketed) {
    EditorHost h;
    Monkey monkey(h, kSeed);
    for (int action = 0; action < kActions; ++action) {
        monkey.act();
        ASSERT_TRUE(monkey.check()) << "after action " << action;
    }
    // The user lets go: a click on an empty spot ends any text entry, then the editor closes.
    h.click(2, 2);
    h.closeEditor();
    ASSERT_TRUE(monkey.check());
    EXPECT_TRUE(monkey.noneOpen());
    // The monkey reached every parameter's control, so the checks above saw each of them.
    for (int i = 0; i < h.record()->numParams; ++i)
        EXPECT_GT(monkey.begun[i], 0) << "parameter " << i << " was never edited";
}

} // namespace
} // namespace kavet::test
