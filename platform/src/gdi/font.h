// Metrics and drawing of the built-in bitmap font, for any LOGFONTA: the 5 x 7 glyphs are
// scaled by whole pixels to the requested height; faces are not distinguished.
#pragma once

#include "gdi/objects.h"

#include <string_view>
#include <vector>

namespace kavet::platform::gdi {

struct FontMetrics {
    int scale = 1;  // pixels per glyph dot
    int height = 0; // cell height (tmHeight)
    int ascent = 0; // rows above the baseline
    int top = 0;    // first glyph row within the cell
    bool bold = false, italic = false, underline = false, strikeOut = false;
};

FontMetrics metricsOf(const LOGFONTA& lf);
int advanceOf(const FontMetrics& m, unsigned char c);
int textWidth(const FontMetrics& m, std::string_view text);

// Draws `text` with its cell's top-left corner at surface pixel (x, y), in `ink`, touching only
// pixels inside `clip` (surface pixels). `underlined`, if given, marks characters that carry a
// prefix underline. Returns the width drawn.
int drawText(const Pixels& px, const RECT& clip, const FontMetrics& m, int x, int y,
             std::string_view text, std::uint32_t ink,
             const std::vector<bool>* underlined = nullptr);

} // namespace kavet::platform::gdi
