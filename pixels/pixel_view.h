// A non-owning view of a 32-bit pixel buffer, the form in which the editor's controls compose.
// Pixels are 0x00RRGGBB words stored little-endian: bytes blue, green, red, reserved; rows run
// top-down, `strideBytes` apart. A pixel buffer of the editor (CDIB) is handed over as such a
// view; a view with a null pointer or no area stands for a missing bitmap and is never drawn.
#pragma once

#include <cstdint>

namespace kavet::editor {

struct PixelView {
    std::uint32_t* pixels = nullptr;
    int width = 0;       // pixels
    int height = 0;      // pixels
    int strideBytes = 0; // bytes from one row to the next

    bool empty() const { return pixels == nullptr || width <= 0 || height <= 0; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    // The bytes of pixel (x, y): [0] blue, [1] green, [2] red, [3] reserved.
    unsigned char* bytes(int x, int y) const {
        return reinterpret_cast<unsigned char*>(pixels) +
               static_cast<std::intptr_t>(y) * strideBytes + static_cast<std::intptr_t>(x) * 4;
    }
    std::uint32_t* row(int y) const { return reinterpret_cast<std::uint32_t*>(bytes(0, y)); }
    std::uint32_t& at(int x, int y) const { return row(y)[x]; }
};

// Sets pixel (x, y) to the 24-bit colour 0xRRGGBB with a zero reserved byte; points outside
// the view are ignored.
inline void putPixel(const PixelView& view, int x, int y, std::uint32_t rgb) {
    if (view.empty() || !view.contains(x, y)) return;
    unsigned char* p = view.bytes(x, y);
    p[0] = static_cast<unsigned char>(rgb & 0xFF);
    p[1] = static_cast<unsigned char>((rgb >> 8) & 0xFF);
    p[2] = static_cast<unsigned char>((rgb >> 16) & 0xFF);
    p[3] = 0;
}

// Copies the overlapping top-left area of `src` into `dst` (the snapshot-to-work-buffer step
// of every control's drawing). Nothing happens when either view is empty.
void copyPixels(const PixelView& dst, const PixelView& src);

} // namespace kavet::editor
