#include "pixel_view.h"

#include <algorithm>
#include <cstring>

namespace kavet::editor {

void copyPixels(const PixelView& dst, const PixelView& src) {
    if (dst.empty() || src.empty()) return;
    const int w = std::min(dst.width, src.width);
    const int h = std::min(dst.height, src.height);
    for (int y = 0; y < h; ++y)
        std::memcpy(dst.bytes(0, y), src.bytes(0, y), static_cast<std::size_t>(w) * 4);
}

} // namespace kavet::editor
