#include "editor_steps.h"

#include <cstdio>

namespace kavet::test {

EditorStep setParam(int index, float value) {
    return {EditorStep::Set, index, value, 0};
}
EditorStep mains(int on) {
    return {EditorStep::Mains, on, 0.0f, 0};
}
EditorStep process(float level, int frames) {
    return {EditorStep::Process, 0, level, frames};
}
EditorStep idle() {
    return {EditorStep::Idle, 0, 0.0f, 0};
}

EditorStep click(int x, int y) {
    return {EditorStep::Click, x, 0.0f, y};
}

std::string stepArgument(const EditorStep& step) {
    char text[64];
    switch (step.kind) {
    case EditorStep::Set:
        std::snprintf(text, sizeof text, "set:%d=%.9g", step.index,
                      static_cast<double>(step.value));
        break;
    case EditorStep::Mains:
        std::snprintf(text, sizeof text, "mains:%d", step.index);
        break;
    case EditorStep::Process:
        std::snprintf(text, sizeof text, "process:%.9g,%d", static_cast<double>(step.value),
                      step.frames);
        break;
    case EditorStep::Idle:
        return "idle";
    case EditorStep::Click:
        std::snprintf(text, sizeof text, "click:%d,%d", step.index, step.frames);
        break;
    }
    return text;
}

} // namespace kavet::test
