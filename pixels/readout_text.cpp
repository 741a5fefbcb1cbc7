#include "readout_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace kavet::editor {

ReadoutText readoutText(float x) {
    ReadoutText t;
    if (x > 0)
        std::snprintf(t.text, sizeof t.text, "%6.2f", 20.0 * std::log10(static_cast<double>(x)));
    else
        std::strcpy(t.text, "-");
    return t;
}

int textStartX(int textWidth, int fieldWidth, bool centred) {
    if (textWidth > fieldWidth) return -1;
    return centred ? (fieldWidth - textWidth) / 2 : fieldWidth - textWidth;
}

DigitFont readoutFont(const PixelView& smallStrip) {
    DigitFont font(smallStrip, 6, 9, -1);
    font.setSpaceWidth(6);
    font.setFixedPitch(true);
    return font;
}

DigitFont editFont(const PixelView& largeStrip) {
    DigitFont font(largeStrip, 7, 11, 0);
    font.setSpaceWidth(7);
    font.setFixedPitch(true);
    return font;
}

int drawFieldText(const PixelView& field, const DigitFont& font, const char* text, bool centred,
                  std::uint32_t ink) {
    const int x = textStartX(font.textWidth(text), field.width, centred);
    if (x >= 0) font.drawText(field, x, 0, text, ink);
    return x;
}

int optionGroupAt(int x, int y, bool mono) {
    for (int i = 0; i < kOptionGroups; ++i) {
        if (mono && i == kPanLawGroup) continue;
        if (kOptionGroupTable[i].rect().contains(x, y)) return i;
    }
    return -1;
}

int pageButtonAt(int x, int y) {
    for (int i = 0; i < kPageButtons; ++i)
        if (kPageButtonTable[i].contains(x, y)) return i;
    return -1;
}

int optionFromY(int y, const OptionGroup& group) {
    const float option = static_cast<float>(y - group.y) * 0.071428575f;
    return static_cast<int>(std::clamp(option, 0.0f, static_cast<float>(group.options - 1)));
}

SelectorPlacement selectorPlacement(const OptionGroup& group, int option) {
    const PageRect r = group.rect();
    return {r.left, r.top + kOptionHeight * option, option == group.options - 1 ? 15 : 0};
}

PressedCopy pressedCopy(int button) {
    const PageRect& b = kPageButtonTable[static_cast<std::size_t>(button)];
    return {{b.left, b.top - 1, b.right + 1, b.bottom + 1}, b.left - 26, b.top - 321 + 1};
}

} // namespace kavet::editor
