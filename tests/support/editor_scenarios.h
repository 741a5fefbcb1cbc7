// The editor states that every real window system must show exactly as the headless backend
// draws them: the steps that lead there, their headless rendering, and the comparison.
#pragma once

#include "editor_steps.h"
#include "pixel_compare.h"

#include "vst/aeffect.h"

#include <kavet/driver.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace kavet::test {

struct EditorScenario {
    const char* name;
    std::vector<EditorStep> steps;
};

// Where the pointer goes after a click: off the editor (screen coordinates of the headless
// side).
constexpr int kOffWindowX = 1000, kOffWindowY = 700;

// Idle editor; a signal under gain, trim and phase, over full scale at the output (the
// meters' zones and blends, hold marks, RMS lines, readouts, a lit switch); a signal
// silenced by a gain of 0 (the cap at the bottom, "-" in the readouts); with Pre and Fine
// clicked on (input meters, the fine scale); the options page opened from the logo.
const std::vector<EditorScenario>& editorScenarios();

// The signal of the scenarios: gain -6 dB, trim 0.75, phase on, then blocks of 0.75 with an
// idle after each.
std::vector<EditorStep> signalSteps();
// `count` blocks of `level` (1024 frames), an idle after each, after `steps`.
std::vector<EditorStep> blocks(std::vector<EditorStep> steps, float level, int count);
std::vector<EditorStep> operator+(std::vector<EditorStep> steps,
                                  const std::vector<EditorStep>& more);

inline void PrintTo(const EditorScenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

// Applies `step` to a host of the effect `effect` (its AEffect record) that has
// dispatch(opcode, index, value), process(level, frames) and idle(); click(x, y) clicks in the
// editor and moves the pointer off it.
template <class Host, class Click>
void applyStep(Host& host, AEffect* effect, const EditorStep& step, Click click) {
    switch (step.kind) {
    case EditorStep::Set:
        effect->setParameter(effect, step.index, step.value);
        break;
    case EditorStep::Mains:
        host.dispatch(effMainsChanged, 0, step.index);
        break;
    case EditorStep::Process:
        host.process(step.value, step.frames);
        break;
    case EditorStep::Idle:
        host.idle();
        break;
    case EditorStep::Click:
        click(step.index, step.frames);
        break;
    }
}

// The steps applied to the editor of this build's configuration on the headless backend,
// from a fresh effect (44.1 kHz, mains on, editor open and painted, default preferences).
driver::Image renderHeadless(const std::vector<EditorStep>& steps);

} // namespace kavet::test
