#include "dial_painter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kavet::editor {

PointerPoint pointerPosition(float angleDegrees) {
    const double a = (static_cast<double>(angleDegrees) * 0.75 + 45.0) * 0.017453292519943295;
    return {16.0 - std::sin(a) * 10.0 - 1.5, std::cos(a) * 10.0 + 16.0 - 1.5};
}

namespace {

// channel x (1 - A k / 255) for bilinear weight A and kernel weight k.
void darken(const PixelView& target, int x, int y, double a, int k) {
    unsigned char* p = target.bytes(x, y);
    const double factor = 1.0 - a * k / 255.0;
    for (int ch = 0; ch < 3; ++ch)
        p[ch] = static_cast<unsigned char>(std::min(static_cast<double>(p[ch]) * factor, 255.0));
}

} // namespace

void drawPointer(const PixelView& target, double x, double y) {
    if (target.empty()) return;
    static constexpr int kKernel[3][3] = {{80, 192, 80}, {192, 255, 192}, {80, 192, 80}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const double px = x + c;
            const double py = y + r;
            const double fx0 = std::floor(px);
            const double fy0 = std::floor(py);
            if (fx0 < 0 || fy0 < 0 || fx0 >= target.width - 1 || fy0 >= target.height - 1) continue;
            const int ix = static_cast<int>(fx0);
            const int iy = static_cast<int>(fy0);
            const double fx = px - fx0;
            const double fy = py - fy0;
            const int k = kKernel[r][c];
            darken(target, ix, iy, (1 - fx) * (1 - fy), k);
            darken(target, ix + 1, iy, fx * (1 - fy), k);
            darken(target, ix, iy + 1, (1 - fx) * fy, k);
            darken(target, ix + 1, iy + 1, fx * fy, k);
        }
    }
}

void DialModel::drag(int dx, int dy, bool shift) {
    float change = std::abs(dy) < std::abs(dx) ? static_cast<float>(dx) : static_cast<float>(-dy);
    if (shift) change *= 0.1f;
    angle_ = std::clamp(angle_ + change, 0.0f, 360.0f);
}

} // namespace kavet::editor
