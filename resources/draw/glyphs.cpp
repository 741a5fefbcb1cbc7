// The two digit strips, drawn pixel by pixel from hand-made glyphs.
//
// The digit font measures each glyph's ink width from its rightmost non-black column and
// advances by ink width + extra advance. The small strip is used with an extra advance of -1 and
// the large one with 0; so that neither sets its glyphs edge to edge, every glyph ends with one
// spacing pixel of the faintest coverage (1/255, invisible on any ink colour): on the small strip
// one column after a blank column, on the large strip directly after the ink. That gives one
// clear column between glyphs in proportional text and in the fixed-pitch readouts.
#include "artwork.h"

#include <cstring>

namespace kavet::art {

namespace {

struct Glyph {
    const char* rows[11]; // '#' ink, '.' none; all rows of a glyph have its visible width
};

// 6 x 9 cells: digits 4 x 7 on rows 0..6 (centre row 3 lies on the fader's tick row).
const Glyph kSmall[kSmallGlyphs] = {
    {{".##.", "#..#", "#..#", "#..#", "#..#", "#..#", ".##."}},
    {{".#.", "##.", ".#.", ".#.", ".#.", ".#.", "###"}},
    {{".##.", "#..#", "...#", "..#.", ".#..", "#...", "####"}},
    {{".##.", "#..#", "...#", ".##.", "...#", "#..#", ".##."}},
    {{"...#", "..##", ".#.#", "#..#", "####", "...#", "...#"}},
    {{"####", "#...", "###.", "...#", "...#", "#..#", ".##."}},
    {{".##.", "#...", "#...", "###.", "#..#", "#..#", ".##."}},
    {{"####", "...#", "..#.", "..#.", ".#..", ".#..", ".#.."}},
    {{".##.", "#..#", "#..#", ".##.", "#..#", "#..#", ".##."}},
    {{".##.", "#..#", "#..#", ".###", "...#", "...#", ".##."}},
    {{".", ".", ".", ".", ".", ".", "#"}},              // .
    {{"..", "..", "..", "..", "..", "..", ".#", "#."}}, // ,
    {{"...", "...", "...", "###"}},                     // -
};

// 7 x 11 cells: digits 5 x 9 on rows 1..9.
const Glyph kLarge[kLargeGlyphs] = {
    {{".....", ".###.", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {{"...", ".#.", "##.", ".#.", ".#.", ".#.", ".#.", ".#.", ".#.", "###"}},
    {{".....", ".###.", "#...#", "....#", "....#", "...#.", "..#..", ".#...", "#....", "#####"}},
    {{".....", ".###.", "#...#", "....#", "....#", "..##.", "....#", "....#", "#...#", ".###."}},
    {{".....", "...#.", "..##.", ".#.#.", "#..#.", "#..#.", "#####", "...#.", "...#.", "...#."}},
    {{".....", "#####", "#....", "#....", "####.", "....#", "....#", "....#", "#...#", ".###."}},
    {{".....", "..##.", ".#...", "#....", "#....", "####.", "#...#", "#...#", "#...#", ".###."}},
    {{".....", "#####", "....#", "....#", "...#.", "..#..", "..#..", ".#...", ".#...", ".#..."}},
    {{".....", ".###.", "#...#", "#...#", "#...#", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {{".....", ".###.", "#...#", "#...#", "#...#", ".####", "....#", "....#", "...#.", ".##.."}},
    {{"..", "..", "..", "..", "..", "..", "..", "..", "##", "##"}},       // .
    {{"..", "..", "..", "..", "..", "..", "..", "..", "##", "##", "#."}}, // ,
    {{"....", "....", "....", "....", "....", "####"}},                   // -
    {{".....", "#....", "#....", "#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {{".....", "####.", "#...#", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#", "#...#"}},
};

int visibleWidth(const Glyph& g) {
    int w = 0;
    for (const char* row : g.rows)
        if (row) w = std::max(w, static_cast<int>(std::strlen(row)));
    return w;
}

// Draws glyph g into cell `index` of the strip; `ink` is the coverage colour of its pixels.
void drawGlyph(Canvas& strip, int cellW, int cellH, int index, const Glyph& g, Rgb ink,
               int spacerColumn) {
    // Coverage 1 in the channels the glyph inks, so that cyan letters stay free of red.
    const Rgb faint{ink.r ? 1 : 0, ink.g ? 1 : 0, ink.b ? 1 : 0};
    const int x0 = index * cellW;
    for (int y = 0; y < cellH; ++y) {
        const char* row = g.rows[y];
        if (!row) continue;
        for (int x = 0; row[x]; ++x)
            if (row[x] == '#') strip.setPixel(x0 + x, y, ink);
    }
    // The faint spacing pixel, on the cell's bottom row.
    strip.setPixel(x0 + spacerColumn, cellH - 1, faint);
}

} // namespace

int smallInkWidth(int glyph) {
    return visibleWidth(kSmall[glyph]) + 2;
}
int largeInkWidth(int glyph) {
    return visibleWidth(kLarge[glyph]) + 1;
}

void drawSmallFont(Canvas& strip) {
    fillRect(strip.cr(), 0, 0, strip.width(), strip.height(), {0, 0, 0});
    cairo_surface_flush(strip.surface());
    for (int i = 0; i < kSmallGlyphs; ++i)
        drawGlyph(strip, kSmallCellW, kSmallCellH, i, kSmall[i], {255, 255, 255},
                  smallInkWidth(i) - 1);
}

void drawLargeFont(Canvas& strip) {
    fillRect(strip.cr(), 0, 0, strip.width(), strip.height(), {0, 0, 0});
    cairo_surface_flush(strip.surface());
    for (int i = 0; i < kLargeGlyphs; ++i) {
        // L and R are cyan coverage (no red), so they print cyan whatever the ink colour.
        Rgb ink = i >= 13 ? Rgb{0, 255, 255} : Rgb{255, 255, 255};
        drawGlyph(strip, kLargeCellW, kLargeCellH, i, kLarge[i], ink, largeInkWidth(i) - 1);
    }
}

} // namespace kavet::art
