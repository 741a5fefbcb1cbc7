#include "digit_font.h"

#include <algorithm>

namespace kavet::editor {
namespace {

constexpr std::string_view kGlyphOrder = "0123456789.,-LR";

// Ink of one channel over the target: t + (ink - t) x coverage / 255, the whole sum
// truncated. Exact in integers: (255 t + (ink - t) cov) / 255 is never negative.
unsigned char blend(unsigned char target, unsigned ink, unsigned char coverage) {
    const int t = target;
    const int sum = 255 * t + (static_cast<int>(ink) - t) * coverage;
    return static_cast<unsigned char>(sum / 255);
}

} // namespace

DigitFont::DigitFont(const PixelView& strip, int cellWidth, int cellHeight, int extraAdvance)
    : strip_(strip), extraAdvance_(extraAdvance), cellWidth_(cellWidth), cellHeight_(cellHeight) {
    map_.fill(kNoGlyph);
    inkWidth_.fill(1);
    if (strip_.empty() || cellWidth_ <= 0 || cellHeight_ <= 0) {
        strip_ = {};
        return;
    }
    glyphCount_ = std::min(strip_.width / cellWidth_, static_cast<int>(kNoGlyph));
    for (int i = 0; i < glyphCount_ && i < static_cast<int>(kGlyphOrder.size()); ++i)
        map_[static_cast<unsigned char>(kGlyphOrder[static_cast<std::size_t>(i)])] =
            static_cast<unsigned char>(i);
    map_[' '] = 0;
    spaceWidth_ = 3;

    // The ink width ends at the rightmost column with a non-zero blue byte in any row.
    const int rows = std::min(cellHeight_, strip_.height);
    for (int g = 0; g < glyphCount_; ++g) {
        for (int col = cellWidth_ - 1; col > 0; --col) {
            bool ink = false;
            for (int r = 0; r < rows && !ink; ++r)
                ink = strip_.bytes(g * cellWidth_ + col, r)[0] != 0;
            if (ink) {
                inkWidth_[static_cast<std::size_t>(g)] = static_cast<unsigned char>(col + 1);
                break;
            }
        }
    }
}

int DigitFont::textWidth(std::string_view text) const {
    int width = 0;
    for (char c : text) {
        if (c == ' ') {
            width += spaceWidth_ + extraAdvance_;
            continue;
        }
        const int g = glyphIndex(c);
        if (g < glyphCount_) width += extraAdvance_ + (fixedPitch_ ? cellWidth_ : inkWidth(g));
    }
    return width;
}

int DigitFont::drawGlyph(const PixelView& target, int x, int y, char c, std::uint32_t ink) const {
    const int g = glyphIndex(c);
    if (g >= glyphCount_) return 0;
    if (c == ' ') return spaceWidth_ + extraAdvance_;

    int columns = inkWidth(g);
    if (fixedPitch_) {
        x += (cellWidth_ - columns) / 2;
        columns = cellWidth_;
    }
    if (!target.empty()) {
        const unsigned inkRgb[3] = {ink & 0xFF, (ink >> 8) & 0xFF, (ink >> 16) & 0xFF};
        const int rows = std::min(cellHeight_, strip_.height);
        for (int r = 0; r < rows; ++r) {
            for (int col = 0; col < columns; ++col) {
                if (!target.contains(x + col, y + r)) continue;
                const unsigned char* src = strip_.bytes(g * cellWidth_ + col, r);
                unsigned char* dst = target.bytes(x + col, y + r);
                for (int ch = 0; ch < 3; ++ch)
                    dst[ch] = blend(dst[ch], inkRgb[ch], src[ch]);
            }
        }
    }
    return columns + extraAdvance_;
}

int DigitFont::drawText(const PixelView& target, int x, int y, std::string_view text,
                        std::uint32_t ink) const {
    int advance = 0;
    for (char c : text)
        advance += drawGlyph(target, x + advance, y, c, ink);
    return advance;
}

} // namespace kavet::editor
