// The editor states every window system must show as the headless backend does
// (editor_scenarios.h).
#include "editor_scenarios.h"

#include "editor_host.h"

#include "editor/layout.h"

#include <cstdio>

namespace kavet::test {
namespace {

constexpr float kMinus6Db = 0.396850258f; // the gain fader's value for -6 dB
// The switches and the logo, where a click lands on them (editor coordinates).
constexpr layout::Rect kPreSwitch = layout::rect(layout::Id::Pre);
constexpr layout::Rect kFineSwitch = layout::rect(layout::Id::Fine);
constexpr layout::Rect kLogoRect = layout::rect(layout::Id::Options);
constexpr Point kPre = {kPreSwitch.left + 19, kPreSwitch.top + 10};
constexpr Point kFine = {kFineSwitch.left + 18, kFineSwitch.top + 9};
constexpr Point kLogo = {kLogoRect.left + 20, kLogoRect.top + 26};

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
    for (const EditorStep& step : steps)
        applyStep(h, h.record(), step, [&h](int x, int y) {
            h.click(x, y);
            driver::moveToScreen(kOffWindowX, kOffWindowY);
            driver::pump();
        });
    driver::pump(); // as a real window system's last pump: nothing is left to paint
    return h.capture();
}

} // namespace kavet::test
