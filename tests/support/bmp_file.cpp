// The tests' BMP files (bmp_file.h).
#include "bmp_file.h"

#include <windows.h>

#include <cstring>

namespace kavet::test {

std::vector<unsigned char>
bmpFile24(int w, int h, const std::function<std::uint32_t(int, int)>& rgb, bool topDown) {
    const int stride = (w * 3 + 3) & ~3; // rows are padded to 4 bytes
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + stride * h);
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = topDown ? -h : h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::vector<unsigned char> bytes(file.bfSize, 0);
    std::memcpy(bytes.data(), &file, sizeof file);
    std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
    for (int row = 0; row < h; ++row) {
        const int y = topDown ? row : h - 1 - row;
        unsigned char* p = bytes.data() + file.bfOffBits + row * stride;
        for (int x = 0; x < w; ++x) {
            const std::uint32_t c = rgb(x, y);
            p[x * 3] = static_cast<unsigned char>(c);
            p[x * 3 + 1] = static_cast<unsigned char>(c >> 8);
            p[x * 3 + 2] = static_cast<unsigned char>(c >> 16);
        }
    }
    return bytes;
}

} // namespace kavet::test
