// Hardware input of the layer: what a mouse and a keyboard would produce. The driver
// (kavet/driver.h) calls these; they update the asynchronous state at once and queue the
// messages to the threads that own the target windows.
#pragma once

#include <windows.h>

namespace kavet::user::input {

enum class PhysicalButton { Left, Right, Middle };

void moveCursor(POINT screen);
void button(PhysicalButton b, bool down);
void wheel(int delta);
void key(int vk, bool down);
void character(char c); // a WM_CHAR to the focus window, with no key behind it
void setSwapButtons(bool swap);
// All keys and buttons up (no messages), no capture; the cursor stays.
void resetInput();

} // namespace kavet::user::input
