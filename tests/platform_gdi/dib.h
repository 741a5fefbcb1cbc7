// A 32-bit DIB section selected into a memory DC, with pixel access in top-down
// coordinates whatever the section's orientation.
#pragma once

#include <windows.h>

#include <cstdint>

namespace kavet::test {

struct Dib {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    std::uint32_t* bits = nullptr;
    int width, height;
    bool bottomUp;

    Dib(int w, int h, std::uint32_t fill = 0, bool bottomUpRows = false)
        : width(w), height(h), bottomUp(bottomUpRows) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = bottomUp ? h : -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* memory = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        bits = static_cast<std::uint32_t*>(memory);
        dc = CreateCompatibleDC(nullptr);
        previous = SelectObject(dc, bitmap);
        for (int i = 0; i < w * h; ++i)
            bits[i] = fill;
    }
    ~Dib() {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    std::uint32_t& at(int x, int y) { return bits[(bottomUp ? height - 1 - y : y) * width + x]; }
};

inline bool inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

} // namespace kavet::test
