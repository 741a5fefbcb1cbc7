// The user's clicks and drags as driver scripts (kavet/driver.h), run to their end on the
// virtual clock with the window's messages after.
#pragma once

#include <kavet/driver.h>

#include <windows.h>

namespace kavet::test {

// Input as at the start of a session: no key or button down, no capture and no focus, the
// buttons not swapped, the virtual clock at 1000 ms moving `msPerRead` each time it is read.
void resetInput(DWORD msPerRead);

// A press at (x, y) of `window`, released `holdMs` later, the modifiers held meanwhile.
void click(HWND window, int x, int y, DWORD holdMs = 30, unsigned modifiers = driver::NoModifier,
           driver::Button button = driver::Button::Left);

struct Drag {
    int x0, y0, x1, y1;                      // from and to, in the window
    DWORD holdMs = 50;                       // still after the press
    DWORD glideMs = 0;                       // 0: one move to (x1, y1)
    int steps = 1;                           // moves of the glide
    DWORD afterMs = 50;                      // still before the release
    unsigned modifiers = driver::NoModifier; // held from the press to the release
    driver::Button button = driver::Button::Left;
};
void drag(HWND window, const Drag& drag);

} // namespace kavet::test
