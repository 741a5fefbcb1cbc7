#include "user/compose.h"

#include <algorithm>

namespace kavet::user {

void composeLocked(const Window& w, std::uint32_t* dst, int dstWidth, int ox, int oy, RECT clip) {
    RECT own{ox, oy, ox + w.surface.width, oy + w.surface.height};
    RECT r = intersect(clip, own);
    if (isEmpty(r)) return;
    for (int y = r.top; y < r.bottom; ++y) {
        const std::uint32_t* src =
            w.surface.pixels + static_cast<std::size_t>(y - oy) * w.surface.width + (r.left - ox);
        std::copy(src, src + widthOf(r), dst + static_cast<std::size_t>(y) * dstWidth + r.left);
    }
    for (HWND h : w.children) {
        auto c = findLocked(h);
        if (!c || !(c->style & WS_VISIBLE)) continue;
        composeLocked(*c, dst, dstWidth, ox + c->rect.left, oy + c->rect.top, r);
    }
}

} // namespace kavet::user
