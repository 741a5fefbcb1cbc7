// A 32-bit DIB section selected into a memory DC: the surface the drawing tests render into
// and read back pixel by pixel, in top-down coordinates whatever the section's orientation.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kavet::test {

// A colour no drawing in the tests produces, so untouched pixels stand out.
inline constexpr std::uint32_t kUntouched = 0x123456;

// A 32-bit DIB section of w x h (rows top-down unless `bottomUp`); *bits receives its pixels.
HBITMAP createDib32(int w, int h, std::uint32_t** bits, bool bottomUp = false);

// The pixels of a bitmap as 0x00RRGGBB, rows top-down (read with GetDIBits); empty if that
// fails.
std::vector<std::uint32_t> readPixels(HBITMAP bitmap, int w, int h);

class Canvas {
public:
    Canvas(int w, int h, std::uint32_t fill = kUntouched, bool bottomUpRows = false);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void clear(std::uint32_t fill = kUntouched);
    // The stored pixel (x, y), its unused top byte included.
    std::uint32_t& pixel(int x, int y) { return bits[(bottomUp ? height - 1 - y : y) * width + x]; }
    // The pixel (x, y) as 0xRRGGBB.
    std::uint32_t at(int x, int y) const {
        return bits[(bottomUp ? height - 1 - y : y) * width + x] & 0xFFFFFF;
    }
    // Pixels of `colour` inside [x0, x1) x [y0, y1).
    int count(std::uint32_t colour, int x0, int y0, int x1, int y1) const;
    // Every pixel as one character per pixel, rows separated by '\n': `ink` where the
    // pixel equals `colour`, '.' elsewhere. Makes failures readable.
    std::string map(std::uint32_t colour, char ink = '#') const;

    int width, height;
    bool bottomUp;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    std::uint32_t* bits = nullptr;
};

// (x, y) lies in r (right and bottom edges outside).
inline bool inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace kavet::test
