// Texts between the effect's ASCII and the interface's UTF-16 fields.
#pragma once

#include "vst3/base.h"

#include <cstddef>

namespace kavet::vst3plugin {

// Copies `text` (ASCII) into `out`, zero-terminated, at most `capacity` units in all.
inline void toText16(const char* text, vst3::char16* out, std::size_t capacity) {
    if (out == nullptr || capacity == 0) return;
    std::size_t i = 0;
    for (; text != nullptr && i + 1 < capacity && text[i] != '\0'; ++i)
        out[i] = static_cast<vst3::char16>(static_cast<unsigned char>(text[i]));
    out[i] = 0;
}

// Copies the UTF-16 `text` into `out` as ASCII, at most `capacity` bytes in all; a unit
// outside ASCII becomes '?', which no reading of a value takes.
inline void fromText16(const vst3::char16* text, char* out, std::size_t capacity) {
    if (out == nullptr || capacity == 0) return;
    std::size_t i = 0;
    for (; text != nullptr && i + 1 < capacity && text[i] != 0; ++i)
        out[i] = text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    out[i] = '\0';
}

} // namespace kavet::vst3plugin
