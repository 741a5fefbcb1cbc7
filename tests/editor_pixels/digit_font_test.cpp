// The bitmap digit font on the editor's two strips and on made-up strips.
#include "editor/layout.h"
#include "pixels/digit_font.h"
#include "pixels_support.h"

#include <gtest/gtest.h>

#include <string>

namespace kavet::editor {
namespace {

using testing::differingPixels;
using testing::Image;
using testing::resourceImage;

struct StripCase {
    int id, cellWidth, cellHeight, extra, glyphs;
    std::vector<int> inkWidths; // read off the strips' one-level marker pixels
};

class FontOnStrip : public ::testing::TestWithParam<StripCase> {};

TEST_P(FontOnStrip, CountsGlyphsAndReadsInkWidthsFromBlue) {
    const StripCase& c = GetParam();
    Image strip = resourceImage(c.id);
    const DigitFont font(strip.view(), c.cellWidth, c.cellHeight, c.extra);
    EXPECT_EQ(font.glyphCount(), c.glyphs);
    for (int g = 0; g < c.glyphs; ++g)
        EXPECT_EQ(font.inkWidth(g), c.inkWidths[g]) << "glyph " << g;
    const std::string order = "0123456789.,-LR";
    for (int i = 0; i < static_cast<int>(order.size()); ++i)
        EXPECT_EQ(font.glyphIndex(order[i]), i < c.glyphs ? i : DigitFont::kNoGlyph) << order[i];
    EXPECT_EQ(font.glyphIndex(' '), 0);
    EXPECT_EQ(font.spaceWidth(), 3);
    EXPECT_FALSE(font.fixedPitch());
}

INSTANTIATE_TEST_SUITE_P(
    EditorStrips, FontOnStrip,
    ::testing::Values(
        StripCase{layout::kSmallFont, 6, 9, -1, 13, {6, 5, 6, 6, 6, 6, 6, 6, 6, 6, 3, 4, 5}},
        StripCase{
            layout::kLargeFont, 7, 11, 0, 15, {6, 4, 6, 6, 6, 6, 6, 6, 6, 6, 3, 3, 5, 6, 6}}));

TEST(DigitFont, LettersLAndRAreSkippedOnTheSmallStripAndPrintCyanOnTheLarge) {
    Image small = resourceImage(layout::kSmallFont), large = resourceImage(layout::kLargeFont);
    const DigitFont smallFont(small.view(), 6, 9, -1);
    const DigitFont largeFont(large.view(), 7, 11, 0);

    Image target(40, 12, 0x000000), before = target;
    for (char c : {'L', 'R'}) {
        EXPECT_EQ(smallFont.textWidth(std::string(1, c)), 0);
        EXPECT_EQ(smallFont.drawGlyph(target.view(), 2, 1, c, 0xFFFFFF), 0);
    }
    EXPECT_EQ(differingPixels(target, before), 0);

    EXPECT_EQ(largeFont.textWidth("LR"), 12);
    EXPECT_EQ(largeFont.drawText(target.view(), 2, 0, "LR", 0xFFFFFF), 12);
    int inked = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 40; ++x) {
            const std::uint32_t p = target.at(x, y);
            if (p == 0) continue;
            ++inked;
            EXPECT_EQ(testing::red(p), 0) << x << "," << y; // the letters' red coverage is 0
            EXPECT_EQ(testing::green(p), testing::blue(p));
        }
    EXPECT_GT(inked, 20);
}

TEST(DigitFont, SpaceAdvancesBySpaceWidthPlusExtraWhenMeasuredAndDrawn) {
    Image strip = resourceImage(layout::kSmallFont);
    DigitFont font(strip.view(), 6, 9, -1);
    Image target(60, 9, 0x404040), before = target;
    EXPECT_EQ(font.textWidth(" "), 2);
    EXPECT_EQ(font.drawGlyph(target.view(), 0, 0, ' ', 0xFFFFFF), 2);
    font.setSpaceWidth(6);
    EXPECT_EQ(font.textWidth("  "), 10);
    EXPECT_EQ(font.drawText(target.view(), 0, 0, "  ", 0xFFFFFF), 10);
    EXPECT_EQ(differingPixels(target, before), 0);
    // "1 2": ink 5 - 1, space 6 - 1, ink 6 - 1.
    EXPECT_EQ(font.textWidth("1 2"), 4 + 5 + 5);
    EXPECT_EQ(font.drawText(target.view(), 0, 0, "1 2", 0xFFFFFF), font.textWidth("1 2"));
}

TEST(DigitFont, CharactersOutsideTheSetAddNoWidthAndNoPixels) {
    Image strip = resourceImage(layout::kLargeFont);
    DigitFont font(strip.view(), 7, 11, 0);
    Image target(80, 11, 0x123456), before = target;
    for (const char* text : {"i", "%", "+", "dB", "\xff", "A\t"}) {
        EXPECT_EQ(font.textWidth(text), 0) << text;
        EXPECT_EQ(font.drawText(target.view(), 3, 0, text, 0xFFFFFF), 0) << text;
    }
    EXPECT_EQ(differingPixels(target, before), 0);
    EXPECT_EQ(font.textWidth("1%2"), font.textWidth("12"));
}

TEST(DigitFont, FixedPitchAdvancesByTheCellAndCentresEachGlyph) {
    Image strip = resourceImage(layout::kSmallFont);
    DigitFont proportional(strip.view(), 6, 9, -1);
    DigitFont fixed(strip.view(), 6, 9, -1);
    fixed.setFixedPitch(true);
    const std::string glyphs = "0123456789.,-";
    EXPECT_EQ(fixed.textWidth(glyphs), 13 * 5);
    for (char c : glyphs) {
        const int g = proportional.glyphIndex(c);
        Image a(20, 9, 0x303030), b(20, 9, 0x303030);
        EXPECT_EQ(fixed.drawGlyph(a.view(), 4, 0, c, 0xFFFFFF), 5) << c;
        proportional.drawGlyph(b.view(), 4 + (6 - proportional.inkWidth(g)) / 2, 0, c, 0xFFFFFF);
        EXPECT_EQ(differingPixels(a, b), 0) << c;
    }
    // "." has ink width 3: it lands one column right of the cell's edge.
    Image dot(10, 9, 0);
    fixed.drawGlyph(dot.view(), 0, 0, '.', 0xFFFFFF);
    int leftmost = 10;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 10; ++x)
            if (dot.at(x, y) & 0xFF) leftmost = std::min(leftmost, x);
    EXPECT_EQ(leftmost, 1 + 0); // centred one column in; the dot's ink starts the cell
}

// A strip of one 2 x 1 glyph: column 0 blue 255, green 0, red 128; column 1 all 1.
struct BlendCase {
    std::uint32_t target, ink, expected0, expected1;
};

class GlyphBlend : public ::testing::TestWithParam<BlendCase> {};

TEST_P(GlyphBlend, BlendsEachChannelByItsOwnCoverageTruncated) {
    Image strip(2, 1);
    strip.at(0, 0) = 0x8000FF;
    strip.at(1, 0) = 0x010101;
    const DigitFont font(strip.view(), 2, 1, 0);
    ASSERT_EQ(font.inkWidth(0), 2);
    Image target(4, 1, GetParam().target | 0xAB000000u);
    EXPECT_EQ(font.drawGlyph(target.view(), 1, 0, '0', GetParam().ink), 2);
    EXPECT_EQ(target.at(0, 0), GetParam().target | 0xAB000000u);
    EXPECT_EQ(target.at(1, 0), GetParam().expected0 | 0xAB000000u); // reserved byte kept
    EXPECT_EQ(target.at(2, 0), GetParam().expected1 | 0xAB000000u);
    EXPECT_EQ(target.at(3, 0), GetParam().target | 0xAB000000u);
}

INSTANTIATE_TEST_SUITE_P(
    Channels, GlyphBlend,
    ::testing::Values(
        // red: 16 + (128 - 16) x 128 / 255 = 72.2; green untouched; blue = ink.
        BlendCase{0x102030, 0x80FF40, 0x482040, 0x102030},
        // red 200 -> 200 - 200 x 128 / 255 = 99.6; at coverage 1: 199.2.
        BlendCase{0xC8C8C8, 0x000000, 0x63C800, 0xC7C7C7},
        // from black to white: 128.5 and 1.
        BlendCase{0x000000, 0xFFFFFF, 0x8000FF, 0x010101},
        // ink equal to the target changes nothing.
        BlendCase{0x7F7F7F, 0x7F7F7F, 0x7F7F7F, 0x7F7F7F}));

TEST(DigitFont, AnEmptyStripDrawsNothing) {
    const DigitFont font(PixelView{}, 6, 9, -1);
    Image target(20, 9, 0x222222), before = target;
    EXPECT_EQ(font.glyphCount(), 0);
    EXPECT_EQ(font.glyphIndex('0'), DigitFont::kNoGlyph);
    EXPECT_EQ(font.drawText(target.view(), 0, 0, "18.0", 0xFFFFFF), 0);
    EXPECT_EQ(font.textWidth("18.0"), 0);
    EXPECT_EQ(differingPixels(target, before), 0);
}

TEST(DigitFont, GlyphsAreClippedToTheTargetView) {
    Image strip = resourceImage(layout::kLargeFont);
    const DigitFont font(strip.view(), 7, 11, 0);
    // A 10 x 8 view inside a larger image: nothing may be written around it.
    Image image(30, 20, 0x000000);
    PixelView view{&image.at(10, 5), 10, 8, 30 * 4};
    Image before = image;
    font.drawText(view, 6, 2, "88", 0xFFFFFF);
    font.drawText(view, -4, -3, "8", 0xFFFFFF);
    int inside = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool inView = x >= 10 && x < 20 && y >= 5 && y < 13;
            if (!inView)
                EXPECT_EQ(image.at(x, y), before.at(x, y)) << x << "," << y;
            else
                inside += image.at(x, y) != 0;
        }
    EXPECT_GT(inside, 0);
}

} // namespace
} // namespace kavet::editor
