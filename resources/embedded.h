// The editor's bitmaps as embedded bytes (builds outside Windows): each entry is a complete
// 24-bit BMP file, as the resource script puts it into the Windows modules.
#pragma once

#include <cstddef>
#include <span>

namespace kavet::resources {

struct Entry {
    int id;
    const unsigned char* data; // the whole BMP file, from "BM"
    std::size_t size;          // bytes
};

// The bitmap with this resource id, or nullptr when there is none (115 and ids outside
// 110..127 have none).
const Entry* find(int id);

// Every bitmap, in increasing id order.
std::span<const Entry> all();

} // namespace kavet::resources
