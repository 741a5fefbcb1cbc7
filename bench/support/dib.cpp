// The benchmarks' DIB sections (dib.h).
#include "dib.h"

namespace kavet::bench {

HBITMAP createDib32(int w, int h, const std::function<std::uint32_t(int, int)>& pattern,
                    bool bottomUp) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = bottomUp ? h : -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int row = 0; row < h; ++row) {
        const int y = bottomUp ? h - 1 - row : row; // memory row `row` holds picture row y
        for (int x = 0; x < w; ++x)
            pixels[row * w + x] = pattern(x, y);
    }
    return section;
}

} // namespace kavet::bench
