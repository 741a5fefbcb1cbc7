// The tests' clicks and drags (input.h).
#include "input.h"

namespace kavet::test {

namespace {

// Long enough for any script of the tests; a script that runs longer is stuck.
constexpr DWORD kScriptLimitMs = 60000;

void run(driver::Script& script) {
    script.start();
    driver::runScript(kScriptLimitMs);
    driver::pump();
}

} // namespace

void resetInput(DWORD msPerRead) {
    driver::resetInput();
    driver::useVirtualClock(1000, msPerRead);
    driver::setSwapButtons(false);
    SetFocus(nullptr);
}

void click(HWND window, int x, int y, DWORD holdMs, unsigned modifiers, driver::Button button) {
    driver::Script script;
    script.moveTo(window, x, y)
        .press(button, modifiers)
        .wait(holdMs)
        .release(button)
        .modifiers(driver::NoModifier);
    run(script);
}

void drag(HWND window, const Drag& d) {
    driver::Script script;
    script.moveTo(window, d.x0, d.y0).press(d.button, d.modifiers).wait(d.holdMs);
    if (d.glideMs == 0)
        script.moveTo(window, d.x1, d.y1);
    else
        script.glide(window, d.x0, d.y0, d.x1, d.y1, d.glideMs, d.steps);
    script.wait(d.afterMs).release(d.button).modifiers(driver::NoModifier);
    run(script);
}

} // namespace kavet::test
