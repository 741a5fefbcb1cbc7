// The keyboard layout of the layer (US English): virtual keys to characters and back.
#pragma once

#include <windows.h>

namespace kavet::user {

// The character that TranslateMessage makes of `vk` with the given modifier states, or 0.
char charForKey(int vk, bool shift, bool control, bool capsLock);
// The key (and whether Shift is needed) that types `c`; false when no key types it.
bool keyForChar(char c, int& vk, bool& shift);

} // namespace kavet::user
