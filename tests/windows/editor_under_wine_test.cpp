// Each Windows build's VST module of this test's configuration (mono or stereo): its editor
// in a real top-level window under Wine (on a virtual X display), read back from the
// window's DC, equals pixel for pixel the headless rendering of the same steps by the editor
// linked into this test. Both sides start alike: the effect opened at 44.1 kHz with the mains
// on, the editor opened and painted, the pointer off the window, the user's preferences at
// their defaults (a fresh registry on both sides).
#include "editor_steps.h"
#include "wine_run.h"

#include "../editor/editor_host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace kavet::test {
namespace {

constexpr float kMinus6Db = 0.396850258f; // the gain fader's value for -6 dB
constexpr int kDifferencesShown = 12;
// Where the pointer goes after a click: off the host window (at 100, 50 of the screen).
constexpr Point kOffWindow = {1000, 700};
// The switches and the logo, where a click lands on them (editor coordinates).
constexpr Point kPre = {58 + 19, 448 + 10};
constexpr Point kFine = {179 + 18, 408 + 9};
constexpr Point kLogo = {7 + 20, 71 + 26};

struct Scenario {
    const char* name;
    std::vector<EditorStep> steps;
};

// Blocks of a constant level with an idle after each, as a host's audio and UI threads take
// turns.
std::vector<EditorStep> blocks(std::vector<EditorStep> steps, float level, int count) {
    for (int i = 0; i < count; ++i) {
        steps.push_back(process(level, 1024));
        steps.push_back(idle());
    }
    return steps;
}

std::vector<EditorStep> signal() {
    return blocks({setParam(kGain, kMinus6Db), setParam(kTrim, 0.75f), setParam(kPhase, 1.0f),
                   mains(0), mains(1)},
                  0.75f, 8);
}

std::vector<EditorStep> operator+(std::vector<EditorStep> steps,
                                  const std::vector<EditorStep>& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

// Idle editor; a signal under gain, trim and phase, over full scale at the output (the
// meters' zones and blends, hold marks, RMS lines, readouts, a lit switch); a signal
// silenced by a gain of 0 (the cap at the bottom, "-" in the readouts); with Pre and Fine
// clicked on (input meters, the fine scale); the options page opened from the logo.
const std::vector<Scenario> kScenarios = {
    {"JustOpened", {idle()}},
    {"SignalUnderGainTrimAndPhase", signal()},
    {"SignalSilencedByZeroGain", blocks({setParam(kGain, 0.0f), setParam(kTrim, 0.5f)}, 0.5f, 6)},
    {"PreAndFineClickedOn",
     signal() + std::vector{click(kPre.x, kPre.y), click(kFine.x, kFine.y)} + blocks({}, 0.75f, 2)},
    {"OptionsPageOpen", signal() + std::vector{click(kLogo.x, kLogo.y), idle()}},
};

struct EditorCase {
    WindowsModule module;
    Scenario scenario;
};

std::vector<EditorCase> editorCases() {
    std::vector<EditorCase> cases;
    for (const WindowsModule& module : windowsModules())
        for (const Scenario& scenario : kScenarios)
            cases.push_back({module, scenario});
    return cases;
}

void PrintTo(const EditorCase& c, std::ostream* out) {
    *out << c.module.name << " " << c.scenario.name;
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
            driver::moveToScreen(kOffWindow.x, kOffWindow.y);
            driver::pump();
            break;
        }
    }
    driver::pump(); // as the Windows side's last pump: nothing is left to paint
    return h.capture();
}

std::string hex(std::uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "#%06x", rgb);
    return text;
}

::testing::AssertionResult samePixels(const driver::Image& headless, const driver::Image& wine) {
    if (headless.width != wine.width || headless.height != wine.height)
        return ::testing::AssertionFailure()
               << "size under Wine " << wine.width << "x" << wine.height << ", headless "
               << headless.width << "x" << headless.height;
    int differing = 0;
    std::string shown;
    for (int y = 0; y < headless.height; ++y) {
        for (int x = 0; x < headless.width; ++x) {
            if (headless.rgb(x, y) == wine.rgb(x, y)) continue;
            if (differing++ < kDifferencesShown)
                shown += "\n  (" + std::to_string(x) + ", " + std::to_string(y) + "): headless " +
                         hex(headless.rgb(x, y)) + ", Wine " + hex(wine.rgb(x, y));
        }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " of " << headless.width * headless.height
                                         << " pixels differ; the first:" << shown;
}

class EditorUnderWine : public ::testing::TestWithParam<EditorCase> {};

TEST_P(EditorUnderWine, WindowPixelsEqualHeadlessRendering) {
    if (std::string(KAVET_XVFB_RUN).empty()) GTEST_SKIP() << "no xvfb-run (apt-get install xvfb)";
    const WindowsModule& module = GetParam().module;
    const Scenario& scenario = GetParam().scenario;
    const std::string base =
        std::string(KAVET_TEST_OUTPUT_DIR) + "/wine-editor-" + module.name + "-" + scenario.name;

    const WineRun run = runEditorUnderWine(module, scenario.steps, base + "-wine.bmp");
    if (run.cannotRun()) GTEST_SKIP() << run.output;
    ASSERT_EQ(run.status, 0) << "the Windows side failed:\n" << run.output;
    const std::optional<driver::Image> wine = readBmp24(base + "-wine.bmp");
    ASSERT_TRUE(wine) << "no 24-bit BMP from the Windows side:\n" << run.output;

    const driver::Image headless = renderHeadless(scenario.steps);
    ASSERT_EQ(headless.width, editor::kEditorWidth);
    ASSERT_EQ(headless.height, editor::kEditorHeight);
    // For people to look at: both pictures beside the BMP.
    driver::writePng(headless, base + "-headless.png");
    driver::writePng(*wine, base + "-wine.png");
    EXPECT_TRUE(samePixels(headless, *wine))
        << "pictures: " << base << "-headless.png and " << base << "-wine.png";
}

INSTANTIATE_TEST_SUITE_P(WindowsModules, EditorUnderWine, ::testing::ValuesIn(editorCases()),
                         [](const ::testing::TestParamInfo<EditorCase>& info) {
                             return std::string(info.param.module.name) + "_" +
                                    info.param.scenario.name;
                         });

} // namespace
} // namespace kavet::test
