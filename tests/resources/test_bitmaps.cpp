// The embedded bitmaps: ids, sizes, depth, and the pixel facts that the controls rely on
// (digit strips, fader cap and mask, meter colours, switch strips).
#include "bitmap_test_support.h"

#include "editor/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace {

using namespace kavet::resources;
using namespace kavet::resources::testing;

struct Size {
    int id, width, height;
};
namespace layout = kavet::layout;

const Size kSizes[] = {
    {layout::kBackgroundStereo, 265, 534},
    {layout::kPhaseStrip, 104, 19},
    {layout::kFaderCap, 36, 58},
    {layout::kMuteStrip, 104, 19},
    {layout::kFaderCapMask, 36, 58},
    {layout::kBypassStrip, 104, 19},
    {layout::kPreStrip, 76, 20},
    {layout::kFineStrip, 104, 19},
    {layout::kSmallFont, 78, 9},
    {layout::kLargeFont, 105, 11},
    {layout::kLogo, 78, 52},
    {layout::kOptionsPageStereo, 265, 534},
    {layout::kBackgroundMono, 265, 534},
    {layout::kMeterStrip, 32, 361},
    {layout::kOptionSelector, 13, 30},
    {layout::kPressedButtons, 210, 37},
    {layout::kOptionsPageMono, 265, 534},
};

TEST(EmbeddedBitmaps, EveryResourceIsA24BitBmpOfItsSize) {
    for (const Size& s : kSizes) {
        const Entry* e = find(s.id);
        ASSERT_NE(e, nullptr) << s.id;
        EXPECT_EQ(e->id, s.id);
        ASSERT_GE(e->size, 54u);
        EXPECT_EQ(e->data[28], 24) << s.id; // bits per pixel
        EXPECT_EQ(e->data[29], 0) << s.id;
        auto bmp = parseBmp({e->data, e->size});
        ASSERT_TRUE(bmp) << s.id;
        EXPECT_EQ(bmp->width, s.width) << s.id;
        EXPECT_EQ(bmp->height, s.height) << s.id;
        EXPECT_TRUE(bmp->bottomUp) << s.id;
        EXPECT_EQ(e->size, 54 + bmp->stride * std::size_t(s.height)) << s.id;
    }
}

TEST(EmbeddedBitmaps, TableHoldsExactlyIds110To127Without115InOrder) {
    auto entries = all();
    ASSERT_EQ(entries.size(), std::size(kSizes));
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i].id, kSizes[i].id);
    for (int missing : {0, 109, 115, 128, -110})
        EXPECT_EQ(find(missing), nullptr) << missing;
}

// ---------------------------------------------------------------------------------------------
// Digit strips: ink width = 1 + the rightmost column with a non-zero blue byte (a blank glyph 1).
int inkWidth(const Bmp& strip, int cellW, int glyph) {
    for (int col = cellW - 1; col >= 0; --col)
        for (int y = 0; y < strip.height; ++y)
            if (strip.at(glyph * cellW + col, y).b != 0) return col + 1;
    return 1;
}

struct Strip {
    int id, cellW;
    const char* chars;
    int widths[15];
    int gapColumns; // blank columns between the visible ink and its spacing pixel
};
// Visible ink, then the faint spacing pixel (coverage 1/255): the 6 x 9 strip is drawn with an
// extra advance of -1 and keeps a blank column before it; the 7 x 11 strip (extra advance 0)
// has it right after the ink. Both leave one clear column between glyphs.
const Strip kStrips[] = {
    {layout::kSmallFont, 6, "0123456789.,-", {6, 5, 6, 6, 6, 6, 6, 6, 6, 6, 3, 4, 5}, 1},
    {layout::kLargeFont, 7, "0123456789.,-LR", {6, 4, 6, 6, 6, 6, 6, 6, 6, 6, 3, 3, 5, 6, 6}, 0},
};

TEST(DigitStrips, InkWidthsAreAsDesignedAndEverythingRightOfTheInkIsBlack) {
    for (const Strip& s : kStrips) {
        const Bmp b = bitmap(s.id);
        const int glyphs = b.width / s.cellW;
        ASSERT_EQ(glyphs, int(std::char_traits<char>::length(s.chars))) << s.id;
        for (int g = 0; g < glyphs; ++g) {
            const int w = inkWidth(b, s.cellW, g);
            EXPECT_EQ(w, s.widths[g]) << s.id << " '" << s.chars[g] << "'";
            for (int col = w; col < s.cellW; ++col)
                for (int y = 0; y < b.height; ++y)
                    EXPECT_EQ(b.at(g * s.cellW + col, y), (BmpPixel{0, 0, 0}))
                        << s.id << " '" << s.chars[g] << "' column " << col;
        }
    }
}

TEST(DigitStrips, InkStartsAtTheCellsLeftAndEndsInAnInvisibleSpacingColumn) {
    for (const Strip& s : kStrips) {
        const Bmp b = bitmap(s.id);
        for (int g = 0; g < b.width / s.cellW; ++g) {
            const int w = inkWidth(b, s.cellW, g), x0 = g * s.cellW;
            int firstFull = s.cellW, spacer = 0;
            for (int col = 0; col < s.cellW; ++col)
                for (int y = 0; y < b.height; ++y) {
                    if (b.at(x0 + col, y).b == 255) firstFull = std::min(firstFull, col);
                    if (col == w - 1) spacer = std::max<int>(spacer, b.at(x0 + col, y).b);
                }
            const char c = s.chars[g];
            // Digits and letters start in column 0; '.', ',' and '-' may sit further right.
            if ((c >= '0' && c <= '9') || c == 'L' || c == 'R') {
                EXPECT_EQ(firstFull, 0) << s.id << " '" << c << "'";
            }
            EXPECT_EQ(spacer, 1) << s.id << " '" << c << "'";
            for (int gap = 1; gap <= s.gapColumns; ++gap)
                for (int y = 0; y < b.height; ++y)
                    EXPECT_EQ(b.at(x0 + w - 1 - gap, y).b, 0) << s.id << " '" << c << "'";
        }
    }
}

TEST(DigitStrips, DigitsAreWhiteAndLAndRAreCyan) {
    for (int id : {layout::kSmallFont, layout::kLargeFont}) {
        const Bmp b = bitmap(id);
        const int cellW = id == layout::kSmallFont ? 6 : 7;
        for (int x = 0; x < b.width; ++x)
            for (int y = 0; y < b.height; ++y) {
                const BmpPixel p = b.at(x, y);
                if (x / cellW >= 13) { // L and R: no red, so they print cyan on any ink colour
                    EXPECT_TRUE(p.r == 0 && p.g == p.b) << id << " " << x << "," << y;
                } else {
                    EXPECT_TRUE(p.r == p.g && p.g == p.b) << id << " " << x << "," << y;
                }
            }
        // Letters actually carry full cyan ink.
        if (id == layout::kLargeFont) {
            EXPECT_EQ(b.at(13 * cellW, 5), (BmpPixel{0, 255, 255}));
        }
    }
}

TEST(DigitStrips, NoTwoGlyphsLookAlike) {
    for (const Strip& s : kStrips) {
        const Bmp b = bitmap(s.id);
        const int glyphs = b.width / s.cellW;
        for (int g = 0; g < glyphs; ++g)
            for (int h = g + 1; h < glyphs; ++h) {
                bool same = true;
                for (int col = 0; col < s.cellW && same; ++col)
                    for (int y = 0; y < b.height && same; ++y)
                        same = (b.at(g * s.cellW + col, y).b > 1) ==
                               (b.at(h * s.cellW + col, y).b > 1);
                EXPECT_FALSE(same) << s.id << " '" << s.chars[g] << "' '" << s.chars[h] << "'";
            }
    }
}

// ---------------------------------------------------------------------------------------------
// Fader cap (premultiplied on black) and mask. The fader draws the cap from x 64 of its 96-pixel
// area, so only columns 0..31 show; its top row is the position's row, so the value line lies on
// row 23, the row of the scale's tick.
TEST(FaderCap, MaskIsGreyAndCapIsPremultipliedByIt) {
    const Bmp cap = bitmap(layout::kFaderCap), mask = bitmap(layout::kFaderCapMask);
    for (int y = 0; y < 58; ++y)
        for (int x = 0; x < 36; ++x) {
            const BmpPixel m = mask.at(x, y), c = cap.at(x, y);
            ASSERT_TRUE(m.r == m.g && m.g == m.b) << x << "," << y;
            EXPECT_LE(c.r, m.b) << x << "," << y;
            EXPECT_LE(c.g, m.b) << x << "," << y;
            EXPECT_LE(c.b, m.b) << x << "," << y;
            if (x >= 32) {
                EXPECT_EQ(m.b, 0) << "column beyond the fader's area " << x;
            }
        }
}

TEST(FaderCap, BodyIsOpaqueAndItsShadowSoft) {
    const Bmp mask = bitmap(layout::kFaderCapMask);
    for (int y = 1; y <= 45; ++y)
        for (int x = 1; x <= 30; ++x)
            EXPECT_EQ(mask.at(x, y).b, 255) << x << "," << y;
    // Below the body a shadow that fades row by row to nothing before the image ends.
    int greyRows = 0, previous = 255;
    for (int y = 47; y < 58; ++y) {
        const int m = mask.at(16, y).b;
        EXPECT_LE(m, previous) << y;
        greyRows += m > 0 && m < 255;
        previous = m;
    }
    EXPECT_GE(greyRows, 6);
    for (int x = 0; x < 36; ++x)
        EXPECT_EQ(mask.at(x, 57).b, 0) << x;
}

TEST(FaderCap, ValueLineIsTheBrightRowTwentyThree) {
    const Bmp cap = bitmap(layout::kFaderCap);
    for (int x = 2; x <= 29; ++x) {
        const double line = luminance(cap.at(x, 23));
        EXPECT_GT(line, 220) << x;
        EXPECT_GT(line - luminance(cap.at(x, 22)), 150) << x;
        EXPECT_GT(line - luminance(cap.at(x, 24)), 150) << x;
        for (int y = 0; y < 47; ++y) {
            if (y != 23) {
                EXPECT_LT(luminance(cap.at(x, y)), line - 60) << x << "," << y;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Meter colours: columns 0-7 green, 8-15 yellow, 16-23 orange, 24-31 red, each an LED column
// (bright core, darker edges), the same on every row.
TEST(MeterColours, FourShadedColumnsOfTheirHue) {
    const Bmp s = bitmap(layout::kMeterStrip);
    struct Column {
        const char* name;
        double hueLow, hueHigh;
    };
    const Column columns[4] = {
        {"green", 100, 160}, {"yellow", 45, 65}, {"orange", 20, 38}, {"red", -10, 10}};
    for (int c = 0; c < 4; ++c) {
        for (int n = 0; n < 8; ++n) {
            double h = hue(s.at(c * 8 + n, 0));
            if (h > 180) h -= 360;
            EXPECT_GE(h, columns[c].hueLow) << columns[c].name << " " << n;
            EXPECT_LE(h, columns[c].hueHigh) << columns[c].name << " " << n;
        }
        const double core = luminance(s.at(c * 8 + 3, 0)), edge = luminance(s.at(c * 8, 0));
        EXPECT_GT(core, edge + 30) << columns[c].name;
        EXPECT_NEAR(luminance(s.at(c * 8 + 7, 0)), edge, 2) << columns[c].name;
    }
    for (int y = 1; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            ASSERT_EQ(s.at(x, y), s.at(x, 0)) << x << "," << y;
}

// ---------------------------------------------------------------------------------------------
// Switch strips: off image left half, on image right half; face 36 pixels, then the LED.
struct SwitchStrip {
    int id;
    const char* name;
    double hueLow, hueHigh;
};
const SwitchStrip kSwitches[] = {
    {layout::kPhaseStrip, "phase (cyan)", 180, 210},
    {layout::kMuteStrip, "mute (red)", -10, 15},
    {layout::kBypassStrip, "bypass (magenta)", 285, 320},
    {layout::kPreStrip, "pre (green)", 110, 150},
    {layout::kFineStrip, "fine (green)", 110, 150},
};

TEST(SwitchStrips, OffLedIsDarkAndOnLedLitInItsColour) {
    for (const SwitchStrip& s : kSwitches) {
        const Bmp b = bitmap(s.id);
        const int half = b.width / 2, ledW = half - 36;
        // The lamp's middle: up to 4 x 4 pixels around the centre of the LED area.
        const int x0 = std::max(36, 36 + ledW / 2 - 2), x1 = std::min(half, 36 + ledW / 2 + 2);
        const int y0 = b.height / 2 - 2, y1 = b.height / 2 + 2;
        double off = 0, on = 0;
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x, ++n) {
                off += luminance(b.at(x, y));
                on += luminance(b.at(half + x, y));
            }
        EXPECT_LT(off / n, 60) << s.name;
        EXPECT_GT(on / n, 150) << s.name;
        // The lit colour: the most saturated pixel of the lit LED has the LED's hue.
        BmpPixel vivid{0, 0, 0};
        auto saturation = [](BmpPixel p) {
            return std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b});
        };
        for (int y = 0; y < b.height; ++y)
            for (int x = 36; x < half; ++x)
                if (saturation(b.at(half + x, y)) > saturation(vivid)) vivid = b.at(half + x, y);
        double h = hue(vivid);
        if (h > 330) h -= 360;
        EXPECT_GE(h, s.hueLow) << s.name;
        EXPECT_LE(h, s.hueHigh) << s.name;
    }
}

TEST(SwitchStrips, OnFaceDiffersFromOffFaceAndBothCarryALabel) {
    for (const SwitchStrip& s : kSwitches) {
        const Bmp b = bitmap(s.id);
        const int half = b.width / 2;
        int differing = 0;
        double offLabel = 0, offFace = 255;
        for (int y = 0; y < b.height; ++y)
            for (int x = 0; x < 36; ++x) {
                differing += !(b.at(x, y) == b.at(half + x, y));
                offLabel = std::max(offLabel, luminance(b.at(x, y)));
            }
        offFace = luminance(b.at(4, b.height - 4));
        EXPECT_GT(differing, 100) << s.name;
        EXPECT_GT(offLabel - offFace, 80) << s.name << ": label stands out from the face";
    }
}

} // namespace
