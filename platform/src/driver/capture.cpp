// Capture: a window's surface with its visible children composed over it.
#include "kavet/driver.h"

#include "user/compose.h"

namespace kavet::driver {

std::uint32_t Image::rgb(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    const std::uint8_t* p = rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4;
    return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

Image capture(HWND hwnd) {
    std::vector<std::uint32_t> pixels;
    Image img;
    {
        std::lock_guard g(user::state().lock);
        auto w = user::findLocked(hwnd);
        if (!w) return img;
        img.width = w->surface.width;
        img.height = w->surface.height;
        pixels.assign(static_cast<std::size_t>(img.width) * img.height, 0);
        user::composeLocked(*w, pixels.data(), img.width, 0, 0, {0, 0, img.width, img.height});
    }
    img.rgba.resize(pixels.size() * 4);
    std::uint8_t* dst = img.rgba.data();
    for (std::uint32_t p : pixels) {
        *dst++ = static_cast<std::uint8_t>(p >> 16);
        *dst++ = static_cast<std::uint8_t>(p >> 8);
        *dst++ = static_cast<std::uint8_t>(p);
        *dst++ = 255;
    }
    return img;
}

} // namespace kavet::driver
