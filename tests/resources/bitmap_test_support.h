// Shared helpers of the resource tests: the embedded bitmaps as parsed images.
#pragma once

#include "resources/bmp.h"
#include "resources/embedded.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kavet::resources::testing {

// The parsed bitmap of a resource id; fails the test when it is missing or unreadable.
inline Bmp bitmap(int id) {
    const Entry* e = find(id);
    EXPECT_NE(e, nullptr) << "resource " << id;
    if (!e) return {};
    auto bmp = parseBmp({e->data, e->size});
    EXPECT_TRUE(bmp.has_value()) << "resource " << id;
    return bmp.value_or(Bmp{});
}

inline double luminance(BmpPixel p) {
    return 0.299 * p.r + 0.587 * p.g + 0.114 * p.b;
}

// Hue in degrees (0..360) of a saturated colour.
inline double hue(BmpPixel p) {
    const double r = p.r, g = p.g, b = p.b;
    const double mx = std::fmax(r, std::fmax(g, b)), mn = std::fmin(r, std::fmin(g, b));
    if (mx == mn) return 0;
    double h = mx == r   ? std::fmod((g - b) / (mx - mn), 6.0)
               : mx == g ? (b - r) / (mx - mn) + 2
                         : (r - g) / (mx - mn) + 4;
    h *= 60;
    return h < 0 ? h + 360 : h;
}

struct Rect {
    int x, y, w, h;
};

} // namespace kavet::resources::testing
