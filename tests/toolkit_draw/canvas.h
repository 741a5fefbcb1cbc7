// A small 32-bit top-down DIB section selected into a memory DC: the surface the drawing
// tests render into and read back pixel by pixel (0x00RRGGBB).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace kavet::test {

// A colour no drawing in the tests produces, so untouched pixels stand out.
inline constexpr std::uint32_t kUntouched = 0x123456;

struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    std::uint32_t* bits = nullptr;
    int width, height;

    Canvas(int w, int h, std::uint32_t fill = kUntouched) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* memory = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        bits = static_cast<std::uint32_t*>(memory);
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, bitmap);
        clear(fill);
    }
    ~Canvas() {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void clear(std::uint32_t fill = kUntouched) {
        for (int i = 0; i < width * height; ++i)
            bits[i] = fill;
    }
    std::uint32_t at(int x, int y) const { return bits[y * width + x] & 0xFFFFFF; }

    // Every pixel as one character per pixel, rows separated by '\n': `ink` where the
    // pixel equals `colour`, '.' elsewhere. Makes failures readable.
    std::string map(std::uint32_t colour, char ink = '#') const {
        std::string out;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                out += at(x, y) == colour ? ink : '.';
            out += '\n';
        }
        return out;
    }
};

} // namespace kavet::test
