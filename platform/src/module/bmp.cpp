#include "module/bmp.h"

#include <windows.h>

#include <cstring>

namespace kavet::platform::module {
namespace {

template <class T>
bool read(const unsigned char* data, std::size_t size, std::size_t at, T& value) {
    if (at > size || size - at < sizeof(T)) return false;
    std::memcpy(&value, data + at, sizeof(T));
    return true;
}

} // namespace

bool decodeBmp(const unsigned char* data, std::size_t size, DecodedBitmap& out) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    if (!data || !read(data, size, 0, file) || file.bfType != 0x4D42) return false;
    if (!read(data, size, sizeof file, info) || info.biSize < sizeof info) return false;
    if (info.biWidth <= 0 || info.biHeight == 0 || info.biHeight == INT32_MIN || info.biPlanes != 1)
        return false;
    long long width = info.biWidth;
    long long height = info.biHeight < 0 ? -static_cast<long long>(info.biHeight) : info.biHeight;
    if (width * height > (1LL << 26)) return false;
    WORD bits = info.biBitCount;
    bool bitfields = info.biCompression == BI_BITFIELDS && bits == 32;
    if (info.biCompression != BI_RGB && !bitfields) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;

    std::size_t afterHeader = sizeof file + info.biSize;
    if (bitfields) {
        // Only the usual masks (red 0xFF0000, green 0xFF00, blue 0xFF) are read.
        DWORD masks[3];
        if (!read(data, size, afterHeader, masks) || masks[0] != 0xFF0000 || masks[1] != 0xFF00 ||
            masks[2] != 0xFF)
            return false;
        if (info.biSize == sizeof info) afterHeader += sizeof masks;
    }
    std::vector<std::uint32_t> palette;
    if (bits <= 8) {
        std::size_t entries = info.biClrUsed ? info.biClrUsed : (1u << bits);
        if (entries > (1u << bits)) return false;
        palette.resize(1u << bits, 0);
        for (std::size_t i = 0; i < entries; ++i) {
            RGBQUAD q{};
            if (!read(data, size, afterHeader + i * 4, q)) return false;
            palette[i] =
                (static_cast<std::uint32_t>(q.rgbRed) << 16) | (q.rgbGreen << 8) | q.rgbBlue;
        }
    }
    std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
    std::size_t offset = file.bfOffBits;
    if (offset > size || (size - offset) / stride < static_cast<std::size_t>(height)) return false;

    DecodedBitmap result;
    result.width = static_cast<int>(width);
    result.height = static_cast<int>(height);
    result.bottomUp = info.biHeight > 0;
    result.pixels.resize(static_cast<std::size_t>(width * height));
    for (long long row = 0; row < height; ++row) {
        const unsigned char* src = data + offset + static_cast<std::size_t>(row) * stride;
        long long y = result.bottomUp ? height - 1 - row : row;
        std::uint32_t* dst = result.pixels.data() + static_cast<std::size_t>(y * width);
        for (long long x = 0; x < width; ++x) {
            std::uint32_t p;
            switch (bits) {
            case 32:
                p = (src[x * 4 + 2] << 16) | (src[x * 4 + 1] << 8) | src[x * 4];
                break;
            case 24:
                p = (src[x * 3 + 2] << 16) | (src[x * 3 + 1] << 8) | src[x * 3];
                break;
            case 8:
                p = palette[src[x]];
                break;
            case 4:
                p = palette[(src[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F];
                break;
            default:
                p = palette[(src[x / 8] >> (7 - x % 8)) & 1];
                break;
            }
            dst[x] = p;
        }
    }
    out = std::move(result);
    return true;
}

} // namespace kavet::platform::module
