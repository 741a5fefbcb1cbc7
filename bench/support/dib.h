// The benchmarks' 32-bit DIB sections, filled with a pattern so that no blit is a copy of
// zeros.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

namespace kavet::bench {

// A 32-bit DIB section of w x h (rows top-down unless `bottomUp`) whose pixel (x, y) is
// pattern(x, y) as 0xRRGGBB.
HBITMAP createDib32(int w, int h, const std::function<std::uint32_t(int, int)>& pattern,
                    bool bottomUp = false);

} // namespace kavet::bench
