// A window as the screen shows it: its surface with its visible children (and theirs) drawn
// over it, each clipped to its parent. Shared by captures and by the display backends.
#pragma once

#include "user/state.h"

#include <cstdint>

namespace kavet::user {

// Under the lock. Draws `w` with its client origin at (ox, oy) of `dst` (0x00RRGGBB pixels,
// `dstWidth` per row), inside `clip` (dst coordinates, within dst).
void composeLocked(const Window& w, std::uint32_t* dst, int dstWidth, int ox, int oy, RECT clip);

} // namespace kavet::user
