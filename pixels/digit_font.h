// The bitmap digit font: glyph cells side by side in a strip whose pixels are coverage masks
// (a glyph pixel's blue, green and red bytes are the coverage of the ink in that channel).
// The editor's strips hold "0123456789.,-" in 6 x 9 cells and "0123456789.,-LR" in 7 x 11 cells.
#pragma once

#include "pixel_view.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kavet::editor {

class DigitFont {
public:
    static constexpr unsigned char kNoGlyph = 255;

    // `strip` is not owned and must outlive the font. An empty strip gives a font without
    // glyphs, which draws nothing.
    DigitFont(const PixelView& strip, int cellWidth, int cellHeight, int extraAdvance);

    int glyphCount() const { return glyphCount_; }
    // Glyph index of a character, kNoGlyph when it has none.
    unsigned char glyphIndex(char c) const { return map_[static_cast<unsigned char>(c)]; }
    // Columns of the glyph that carry ink, from its left edge (at least 1).
    int inkWidth(int glyph) const { return inkWidth_[static_cast<unsigned char>(glyph)]; }

    int cellWidth() const { return cellWidth_; }
    int cellHeight() const { return cellHeight_; }
    int extraAdvance() const { return extraAdvance_; }
    int spaceWidth() const { return spaceWidth_; }
    void setSpaceWidth(int pixels) { spaceWidth_ = pixels; }
    bool fixedPitch() const { return fixedPitch_; }
    void setFixedPitch(bool on) { fixedPitch_ = on; }

    // Advance of the whole text in pixels; characters without a glyph count for nothing.
    int textWidth(std::string_view text) const;

    // Blends one character's glyph into `target` with its top-left cell corner at (x, y), in
    // the 24-bit ink colour 0xRRGGBB, and returns the advance. Target pixels outside the view
    // are left alone.
    int drawGlyph(const PixelView& target, int x, int y, char c, std::uint32_t ink) const;

    // Draws the characters one after the other from x; returns the total advance.
    int drawText(const PixelView& target, int x, int y, std::string_view text,
                 std::uint32_t ink) const;

private:
    PixelView strip_;
    std::array<unsigned char, 256> inkWidth_{};
    std::array<unsigned char, 256> map_{};
    int extraAdvance_;
    int spaceWidth_ = 3;
    bool fixedPitch_ = false;
    int cellWidth_;
    int cellHeight_;
    int glyphCount_ = 0;
};

} // namespace kavet::editor
