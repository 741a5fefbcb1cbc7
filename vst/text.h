// Copying texts into buffers that hosts hand in: written up to and including the
// terminating zero, never past `capacity` bytes, never used as a format.
#pragma once

#include <cstddef>

namespace kavet {

inline void copyText(char* dest, const char* src, std::size_t capacity) {
    if (dest == nullptr || capacity == 0) return;
    std::size_t i = 0;
    for (; i + 1 < capacity && src[i] != '\0'; ++i)
        dest[i] = src[i];
    dest[i] = '\0';
}

} // namespace kavet
