// A person at the keyboard and mouse of an X display, made by the X server itself through
// XTEST, on a connection of its own: the steps of a test's input, and their performance.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Xlib's own declarations stay out of this header: its macros (None, Bool) clash with
// GoogleTest's names.
using Display = struct _XDisplay;

namespace kavet::x11test {

using XWindow = unsigned long;

// One step of a person at the keyboard and mouse, in editor coordinates.
struct Input {
    enum Kind { Move, Press, Release, KeyDown, KeyUp, Wait } kind;
    int x = 0, y = 0;      // Move: editor coordinates; Press/Release: the button
    unsigned long key = 0; // KeyDown/KeyUp: an X key symbol
    int ms = 0;            // Wait
};
Input moveTo(int x, int y);
Input press(int button = 1);
Input release(int button = 1);
Input keyDown(unsigned long keysym);
Input keyUp(unsigned long keysym);
Input wait(int ms);
// A click of `button` (press, 80 ms, release, then 600 ms, past the double-click time) at
// (x, y).
std::vector<Input> click(int x, int y, unsigned long modifierKeysym = 0, int button = 1);
// Press at (x0, y0), hold 600 ms, move in ten steps over 200 ms to (x1, y1), release.
std::vector<Input> drag(int x0, int y0, int x1, int y1, unsigned long modifierKeysym = 0);
std::vector<Input> typeKeys(const std::vector<unsigned long>& keysyms);

// Performs `steps` on the display named `display`, editor coordinates taken from the screen
// point (originX, originY); returns when they are done. Any thread: the connection is its own.
void perform(const std::string& display, int originX, int originY, const std::vector<Input>& steps);
// Performs `steps` in coordinates of `window` from a thread of its own, while this thread
// calls `serve` (which should take about 20 ms) until they are done: a person acting while
// the host serves the editor.
void performWhile(Display* display, XWindow window, const std::vector<Input>& steps,
                  const std::function<void()>& serve);

} // namespace kavet::x11test
