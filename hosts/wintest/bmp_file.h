// A 24-bit BMP file (bottom-up rows, each padded to 4 bytes) from 32-bit BGRX pixels.
#pragma once

#include <cstdint>

// `pixels`: `height` rows top-down of `width` 32-bit pixels, B, G, R, X in memory order.
bool writeBmp24(const char* path, const std::uint32_t* pixels, int width, int height);
