// Shared helpers of the pixel engine's tests: owned pixel buffers and the embedded bitmaps
// loaded the way the editor loads them (32-bit, top-down, reserved byte 0).
#pragma once

#include "pixels/pixel_view.h"
#include "resources/bmp.h"
#include "resources/embedded.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace kavet::editor::testing {

class Image {
public:
    Image() = default;
    Image(int width, int height, std::uint32_t fill = 0)
        : width_(width), height_(height),
          pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

    PixelView view() { return {pixels_.data(), width_, height_, width_ * 4}; }
    int width() const { return width_; }
    int height() const { return height_; }
    // 0x00RRGGBB of pixel (x, y).
    std::uint32_t at(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                       static_cast<std::size_t>(x)];
    }
    std::uint32_t& at(int x, int y) {
        return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                       static_cast<std::size_t>(x)];
    }
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// The bitmap of a resource id as 0x00RRGGBB pixels; fails the test when it is missing.
inline Image resourceImage(int id) {
    const resources::Entry* e = resources::find(id);
    EXPECT_NE(e, nullptr) << "resource " << id;
    if (!e) return {};
    const auto bmp = resources::parseBmp({e->data, e->size});
    EXPECT_TRUE(bmp.has_value()) << "resource " << id;
    if (!bmp) return {};
    Image image(bmp->width, bmp->height);
    for (int y = 0; y < bmp->height; ++y)
        for (int x = 0; x < bmp->width; ++x) {
            const resources::BmpPixel p = bmp->at(x, y);
            image.at(x, y) = (std::uint32_t{p.r} << 16) | (std::uint32_t{p.g} << 8) | p.b;
        }
    return image;
}

inline int red(std::uint32_t p) {
    return static_cast<int>((p >> 16) & 0xFF);
}
inline int green(std::uint32_t p) {
    return static_cast<int>((p >> 8) & 0xFF);
}
inline int blue(std::uint32_t p) {
    return static_cast<int>(p & 0xFF);
}

// Number of pixels that differ between two images of the same size.
inline int differingPixels(const Image& a, const Image& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.pixels().size(); ++i)
        n += a.pixels()[i] != b.pixels()[i];
    return n;
}

} // namespace kavet::editor::testing
