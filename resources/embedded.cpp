#include "embedded.h"

namespace kavet::resources {

// Defined in the generated embedded_bitmaps.cpp.
extern const Entry kEmbeddedBitmaps[];
extern const std::size_t kEmbeddedBitmapCount;

std::span<const Entry> all() {
    return {kEmbeddedBitmaps, kEmbeddedBitmapCount};
}

const Entry* find(int id) {
    for (const Entry& e : all())
        if (e.id == id) return &e;
    return nullptr;
}

} // namespace kavet::resources
