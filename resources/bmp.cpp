#include "bmp.h"

#include <cstdint>

namespace kavet::resources {

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::uint32_t kInfoHeader = 40;
constexpr std::int64_t kMaxSide = 16384;

std::uint32_t u16(std::span<const unsigned char> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8;
}

std::uint32_t u32(std::span<const unsigned char> b, std::size_t at) {
    return u16(b, at) | u16(b, at + 2) << 16;
}

} // namespace

BmpPixel Bmp::at(int x, int y) const {
    const std::size_t row = bottomUp ? std::size_t(height - 1 - y) : std::size_t(y);
    const unsigned char* p = rows.data() + row * stride + std::size_t(x) * 3;
    return {p[2], p[1], p[0]}; // stored blue, green, red
}

std::optional<Bmp> parseBmp(std::span<const unsigned char> file) {
    if (file.size() < kFileHeader + kInfoHeader) return std::nullopt;
    if (file[0] != 'B' || file[1] != 'M') return std::nullopt;
    const std::uint32_t pixelOffset = u32(file, 10);
    const std::uint32_t infoSize = u32(file, 14);
    if (infoSize < kInfoHeader || kFileHeader + infoSize > file.size()) return std::nullopt;
    const std::int64_t width = std::int32_t(u32(file, 18));
    const std::int64_t height = std::int32_t(u32(file, 22));
    if (u16(file, 26) != 1 || u16(file, 28) != 24 || u32(file, 30) != 0) return std::nullopt;
    if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
        return std::nullopt;
    Bmp bmp;
    bmp.width = int(width);
    bmp.height = int(height < 0 ? -height : height);
    bmp.bottomUp = height > 0;
    bmp.stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    const std::size_t bytes = bmp.stride * std::size_t(bmp.height);
    if (pixelOffset < kFileHeader + infoSize || pixelOffset > file.size() ||
        file.size() - pixelOffset < bytes)
        return std::nullopt;
    bmp.rows = file.subspan(pixelOffset, bytes);
    return bmp;
}

} // namespace kavet::resources
