// Small BMP files made in memory, for the tests that load bitmaps from resources.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace kavet::test {

// A 24-bit BMP file of w x h (rows bottom-up unless `topDown`) whose pixel (x, y) is
// rgb(x, y) as 0xRRGGBB.
std::vector<unsigned char>
bmpFile24(int w, int h, const std::function<std::uint32_t(int, int)>& rgb, bool topDown = false);

} // namespace kavet::test
