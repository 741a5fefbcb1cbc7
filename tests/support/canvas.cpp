// The drawing tests' DIB canvas (canvas.h).
#include "canvas.h"

namespace kavet::test {

HBITMAP createDib32(int w, int h, std::uint32_t** bits, bool bottomUp) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = bottomUp ? h : -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* memory = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
    *bits = static_cast<std::uint32_t*>(memory);
    return section;
}

std::vector<std::uint32_t> readPixels(HBITMAP bitmap, int w, int h) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w * h));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC dc = CreateCompatibleDC(nullptr);
    const int rows =
        GetDIBits(dc, bitmap, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (rows != h) pixels.clear();
    return pixels;
}

Canvas::Canvas(int w, int h, std::uint32_t fill, bool bottomUpRows)
    : width(w), height(h), bottomUp(bottomUpRows) {
    bitmap = createDib32(w, h, &bits, bottomUp);
    dc = CreateCompatibleDC(nullptr);
    previous = SelectObject(dc, bitmap);
    clear(fill);
}

Canvas::~Canvas() {
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

void Canvas::clear(std::uint32_t fill) {
    for (int i = 0; i < width * height; ++i)
        bits[i] = fill;
}

int Canvas::count(std::uint32_t colour, int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            n += at(x, y) == colour;
    return n;
}

std::string Canvas::map(std::uint32_t colour, char ink) const {
    std::string out;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            out += at(x, y) == colour ? ink : '.';
        out += '\n';
    }
    return out;
}

} // namespace kavet::test
