// Reading BMP files (as stored in resources and on disk) into 32-bit pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kavet::platform::module {

struct DecodedBitmap {
    int width = 0, height = 0;
    bool bottomUp = true;              // the file's row order
    std::vector<std::uint32_t> pixels; // top-down rows, 0x00RRGGBB
};

// Decodes an uncompressed BMP file of 1, 4, 8, 24 or 32 bits per pixel (32 bits may also use
// the standard BI_BITFIELDS masks). False for anything truncated, inconsistent or
// unsupported, leaving `out` untouched.
bool decodeBmp(const unsigned char* data, std::size_t size, DecodedBitmap& out);

} // namespace kavet::platform::module
