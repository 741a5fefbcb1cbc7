// Capture: a window's surface with its visible children composed over it.
#include "kavet/driver.h"

#include "user/state.h"

namespace kavet::driver {
namespace {

using user::Window;

// Copies `w`'s surface with its client origin at (ox, oy) of the image, inside `clip`
// (image coordinates), then its visible children over it, bottom first.
void compose(Image& img, const Window& w, int ox, int oy, RECT clip) {
    RECT own{ox, oy, ox + w.surface.width, oy + w.surface.height};
    RECT r = user::intersect(clip, own);
    for (int y = r.top; y < r.bottom; ++y) {
        const std::uint32_t* src =
            w.surface.pixels + static_cast<std::size_t>(y - oy) * w.surface.width;
        std::uint8_t* dst =
            img.rgba.data() + (static_cast<std::size_t>(y) * img.width + r.left) * 4;
        for (int x = r.left; x < r.right; ++x, dst += 4) {
            std::uint32_t p = src[x - ox];
            dst[0] = static_cast<std::uint8_t>(p >> 16);
            dst[1] = static_cast<std::uint8_t>(p >> 8);
            dst[2] = static_cast<std::uint8_t>(p);
            dst[3] = 255;
        }
    }
    for (HWND h : w.children) {
        auto c = user::findLocked(h);
        if (!c || !(c->style & WS_VISIBLE)) continue;
        compose(img, *c, ox + c->rect.left, oy + c->rect.top, r);
    }
}

} // namespace

std::uint32_t Image::rgb(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    const std::uint8_t* p = rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

Image capture(HWND hwnd) {
    std::lock_guard g(user::state().lock);
    auto w = user::findLocked(hwnd);
    Image img;
    if (!w) return img;
    img.width = w->surface.width;
    img.height = w->surface.height;
    img.rgba.assign(static_cast<std::size_t>(img.width) * img.height * 4, 0);
    compose(img, *w, 0, 0, {0, 0, img.width, img.height});
    return img;
}

} // namespace kavet::driver
