// The toolkit's font table: face and pixel size by font id. Ids outside 0..7 are id 0.
// Used by CDrawContext::setFont and by the text entry window of the stock controls.
#pragma once

#include <cstdint>

namespace toolkit {

inline constexpr std::int32_t kNumFonts = 8;
// Id 0 is always drawn bold; id 7 is the decorative "Symbol" face.
inline constexpr std::int32_t kSystemFont = 0;
inline constexpr std::int32_t kSymbolFont = 7;

struct FontTableEntry {
    const char* face;
    std::int32_t size; // pixels (character height)
};

inline constexpr FontTableEntry kFontTable[kNumFonts] = {
    {"Arial", 12}, {"Arial", 18}, {"Arial", 14}, {"Arial", 12},
    {"Arial", 11}, {"Arial", 10}, {"Arial", 9},  {"Symbol", 13},
};

// The id actually used for `id`: ids outside the table fall back to 0.
constexpr std::int32_t validFontId(std::int32_t id) {
    return id >= 0 && id < kNumFonts ? id : kSystemFont;
}
constexpr const char* fontFace(std::int32_t id) {
    return kFontTable[validFontId(id)].face;
}
constexpr std::int32_t fontSize(std::int32_t id) {
    return kFontTable[validFontId(id)].size;
}

} // namespace toolkit
