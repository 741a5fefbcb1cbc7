// Hardware input of the layer: what a mouse and a keyboard would produce. The driver
// (kavet/driver.h) calls these; they update the asynchronous state at once and queue the
// messages to the threads that own the target windows.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kavet::user::input {

enum class PhysicalButton { Left, Right, Middle };

// Without `timeMs`, the messages carry the time of the call; a display backend passes the
// time at which the display saw the input (the layer's milliseconds), so that double clicks
// and GetMessageTime follow the real clicks.
void moveCursor(POINT screen);
void moveCursor(POINT screen, std::uint64_t timeMs);
void button(PhysicalButton b, bool down);
void button(PhysicalButton b, bool down, std::uint64_t timeMs);
void wheel(int delta);
void wheel(int delta, std::uint64_t timeMs);
void key(int vk, bool down);
void key(int vk, bool down, std::uint64_t timeMs);
void character(char c); // a WM_CHAR to the focus window, with no key behind it
void character(char c, std::uint64_t timeMs);
// Shift, Control and Alt as the display reports them with pointer input (held while another
// window had the keyboard): the asynchronous state only, no messages.
void syncModifiers(bool shift, bool control, bool alt);
void setSwapButtons(bool swap);
// All keys and buttons up (no messages), no capture; the cursor stays.
void resetInput();

} // namespace kavet::user::input
