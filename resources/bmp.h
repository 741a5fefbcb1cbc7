// Reading the editor's bitmaps: 24-bit uncompressed BMP files (BITMAPFILEHEADER followed by a
// BITMAPINFOHEADER or a later, longer info header), bottom-up or top-down.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

namespace kavet::resources {

struct BmpPixel {
    unsigned char r, g, b;
    bool operator==(const BmpPixel&) const = default;
};

struct Bmp {
    int width = 0;          // pixels
    int height = 0;         // pixels (positive, whatever the row order in the file)
    bool bottomUp = true;   // rows stored from the bottom row up (positive height field)
    std::size_t stride = 0; // bytes per stored row: width x 3 rounded up to 4
    std::span<const unsigned char> rows; // the pixel array, stride x height bytes

    // The pixel at column x of row y, y = 0 being the top row. x and y must be in range.
    BmpPixel at(int x, int y) const;
};

// The image of a BMP file, or nullopt for anything that is not a complete 24-bit
// uncompressed BMP of at most 16384 x 16384 pixels (wrong signature, short or truncated data,
// other depths, compression, zero or negative width, zero height). The result refers to `file`.
std::optional<Bmp> parseBmp(std::span<const unsigned char> file);

} // namespace kavet::resources
