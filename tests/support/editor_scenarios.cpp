#include "editor_scenarios.h"

#include "../editor/editor_host.h"

#include "editor/layout.h"

#include <cstdio>

namespace kavet::test {
namespace {

constexpr float kMinus6Db = 0.396850258f; // the gain fader's value for -6 dB
constexpr int kDifferencesShown = 12;
// The switches and the logo, where a click lands on them (editor coordinates).
constexpr layout::Rect kPreSwitch = layout::rect(layout::Id::Pre);
constexpr layout::Rect kFineSwitch = layout::rect(layout::Id::Fine);
constexpr layout::Rect kLogoRect = layout::rect(layout::Id::Options);
constexpr Point kPre = {kPreSwitch.left + 19, kPreSwitch.top + 10};
constexpr Point kFine = {kFineSwitch.left + 18, kFineSwitch.top + 9};
constexpr Point kLogo = {kLogoRect.left + 20, kLogoRect.top + 26};

std::string hex(std::uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "#%06x", rgb);
    return text;
}

} // namespace

// Blocks of a constant level with an idle after each, as a host's audio and UI threads take
// turns.
std::vector<EditorStep> blocks(std::vector<EditorStep> steps, float level, int count) {
    for (int i = 0; i < count; ++i) {
        steps.push_back(process(level, 1024));
        steps.push_back(idle());
    }
    return steps;
}

std::vector<EditorStep> signalSteps() {
    return blocks({setParam(kGain, kMinus6Db), setParam(kTrim, 0.75f), setParam(kPhase, 1.0f),
                   mains(0), mains(1)},
                  0.75f, 8);
}

std::vector<EditorStep> operator+(std::vector<EditorStep> steps,
                                  const std::vector<EditorStep>& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

const std::vector<EditorScenario>& editorScenarios() {
    static const std::vector<EditorScenario> scenarios = {
        {"JustOpened", {idle()}},
        {"SignalUnderGainTrimAndPhase", signalSteps()},
        {"SignalSilencedByZeroGain",
         blocks({setParam(kGain, 0.0f), setParam(kTrim, 0.5f)}, 0.5f, 6)},
        {"PreAndFineClickedOn", signalSteps() +
                                    std::vector{click(kPre.x, kPre.y), click(kFine.x, kFine.y)} +
                                    blocks({}, 0.75f, 2)},
        {"OptionsPageOpen", signalSteps() + std::vector{click(kLogo.x, kLogo.y), idle()}},
    };
    return scenarios;
}

driver::Image renderHeadless(const std::vector<EditorStep>& steps) {
    EditorHost h;
    for (const EditorStep& step : steps) {
        switch (step.kind) {
        case EditorStep::Set:
            h.record()->setParameter(h.record(), step.index, step.value);
            break;
        case EditorStep::Mains:
            h.dispatch(effMainsChanged, 0, step.index);
            break;
        case EditorStep::Process:
            h.process(step.value, step.frames);
            break;
        case EditorStep::Idle:
            h.idle();
            break;
        case EditorStep::Click:
            h.click(step.index, step.frames);
            driver::moveToScreen(kOffWindowX, kOffWindowY);
            driver::pump();
            break;
        }
    }
    driver::pump(); // as a real window system's last pump: nothing is left to paint
    return h.capture();
}

::testing::AssertionResult samePixels(const driver::Image& headless, const driver::Image& other,
                                      const char* side) {
    if (headless.width != other.width || headless.height != other.height)
        return ::testing::AssertionFailure()
               << "size " << side << " " << other.width << "x" << other.height << ", headless "
               << headless.width << "x" << headless.height;
    int differing = 0;
    std::string shown;
    for (int y = 0; y < headless.height; ++y) {
        for (int x = 0; x < headless.width; ++x) {
            if (headless.rgb(x, y) == other.rgb(x, y)) continue;
            if (differing++ < kDifferencesShown)
                shown += "\n  (" + std::to_string(x) + ", " + std::to_string(y) + "): headless " +
                         hex(headless.rgb(x, y)) + ", " + side + " " + hex(other.rgb(x, y));
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " of " << headless.width * headless.height
                                         << " pixels differ; the first:" << shown;
}

} // namespace kavet::test
