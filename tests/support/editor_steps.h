// What a host does to the editor between opening it and reading its pixels, in the form
// both sides run: applied here to the headless editor, and passed as arguments to
// "kavet-wintest --editor" (hosts/wintest/editor_capture.h) under Wine.
#pragma once

#include <string>
#include <vector>

namespace kavet::test {

struct EditorStep {
    enum Kind { Set, Mains, Process, Idle, Click } kind;
    int index = 0;      // Set: the parameter; Mains: 0 or 1; Click: x in the editor
    float value = 0.0f; // Set: the normalised value; Process: the constant level
    int frames = 0;     // Process; Click: y in the editor
};

EditorStep setParam(int index, float value);
EditorStep mains(int on);
EditorStep process(float level, int frames);
EditorStep idle();
// A left click at (x, y) of the editor; the pointer then goes back off the window.
EditorStep click(int x, int y);

// The step as kavet-wintest reads it ("set:0=0.396850258", "process:0.75,1024", ...); the
// values are printed with enough digits to read back to the same float.
std::string stepArgument(const EditorStep& step);

} // namespace kavet::test
