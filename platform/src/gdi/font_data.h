// The built-in bitmap font: 5 x 7 glyphs for the printable ASCII characters.
#pragma once

#include <cstdint>

namespace kavet::platform::gdi {

// Column bytes, left to right; bit 0 is the top row, bit 6 the bottom row.
// Index = character code - 32, for codes 32..126.
extern const std::uint8_t glyphColumns[95][5];
// Drawn for characters outside 32..126 (except those that are never drawn).
extern const std::uint8_t missingGlyph[5];

} // namespace kavet::platform::gdi
