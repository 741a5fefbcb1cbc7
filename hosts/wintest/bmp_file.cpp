#include "bmp_file.h"

#include <cstdio>
#include <vector>

namespace {
void put16(std::vector<unsigned char>& out, unsigned v) {
    out.push_back(static_cast<unsigned char>(v & 0xff));
    out.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
}
void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}
} // namespace

bool writeBmp24(const char* path, const std::uint32_t* pixels, int width, int height) {
    const int stride = (width * 3 + 3) & ~3;
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(stride) * height;
    std::vector<unsigned char> out;
    out.reserve(54 + imageBytes);
    // BITMAPFILEHEADER
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + imageBytes);
    put32(out, 0);
    put32(out, 54);
    // BITMAPINFOHEADER: positive height, so the last row comes first
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0); // BI_RGB
    put32(out, imageBytes);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        const std::uint32_t* row = pixels + static_cast<long>(y) * width;
        for (int x = 0; x < width; ++x) {
            out.push_back(static_cast<unsigned char>(row[x] & 0xff));         // B
            out.push_back(static_cast<unsigned char>((row[x] >> 8) & 0xff));  // G
            out.push_back(static_cast<unsigned char>((row[x] >> 16) & 0xff)); // R
        }
        for (int pad = width * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}
