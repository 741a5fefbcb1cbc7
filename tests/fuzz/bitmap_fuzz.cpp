// The bitmap readers with any file bytes: the layer's BMP decoder behind LoadImageA and
// LoadBitmapA (also through LoadImageA from a file, with a size asked for), and the
// build's reader of the editor's 24-bit bitmaps (resources/bmp.h). Asserts: a file is either
// refused or read whole: sides within bounds, every pixel read from inside the file (the
// address sanitizer traps a read past it), the decoded pixels 0x00RRGGBB, the bitmap made by
// LoadImageA of the size asked for.
#include "module/bmp.h"
#include "resources/bmp.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <unistd.h>

namespace {

void check(bool cond, const char* what) {
    if (cond) return;
    std::fprintf(stderr, "\nkavet fuzz: invariant violated: %s\n", what);
    std::abort();
}

std::string g_file;

void checkEditorReader(const std::uint8_t* bytes, std::size_t size) {
    const auto bmp = kavet::resources::parseBmp(std::span<const unsigned char>(bytes, size));
    if (!bmp) return;
    check(bmp->width >= 1 && bmp->width <= 16384, "width within 1..16384");
    check(bmp->height >= 1 && bmp->height <= 16384, "height within 1..16384");
    check(bmp->stride == (static_cast<std::size_t>(bmp->width) * 3 + 3) / 4 * 4,
          "the stride is three bytes a pixel rounded up to four");
    check(bmp->rows.size() == bmp->stride * static_cast<std::size_t>(bmp->height),
          "the pixel array holds every row");
    check(bmp->rows.data() >= bytes && bmp->rows.data() + bmp->rows.size() <= bytes + size,
          "the pixel array lies inside the file");
    volatile unsigned sum = 0;
    for (int y = 0; y < bmp->height; ++y)
        for (int x = 0; x < bmp->width; ++x)
            sum = sum + bmp->at(x, y).r;
    const std::size_t stored = bmp->bottomUp ? static_cast<std::size_t>(bmp->height - 1) : 0;
    check(bmp->at(0, 0).b == bmp->rows[stored * bmp->stride], "row 0 is the top row");
}

void checkLayerDecoder(const std::uint8_t* bytes, std::size_t size) {
    kavet::platform::module::DecodedBitmap image;
    if (!kavet::platform::module::decodeBmp(bytes, size, image)) {
        check(image.width == 0 && image.pixels.empty(), "a refused file leaves the result alone");
        return;
    }
    check(image.width >= 1 && image.height >= 1, "a decoded bitmap has pixels");
    check(image.pixels.size() ==
              static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height),
          "one pixel per column and row");
    for (std::uint32_t p : image.pixels)
        check(p <= 0xFFFFFFu, "pixels are 0x00RRGGBB");
}

void checkLoadFromFile(const std::uint8_t* bytes, std::size_t size, int cx, int cy) {
    {
        std::ofstream out(g_file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
    }
    HANDLE image = LoadImageA(nullptr, g_file.c_str(), IMAGE_BITMAP, cx, cy,
                              LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!image) return;
    BITMAP info{};
    check(GetObjectA(image, sizeof info, &info) == sizeof info, "the bitmap describes itself");
    if (cx) check(info.bmWidth == cx, "the bitmap is as wide as asked");
    if (cy) check(info.bmHeight == cy || info.bmHeight == -cy, "the bitmap is as tall as asked");
    DeleteObject(image);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "kavet-fuzz-bmp-XXXXXX").string();
    check(mkdtemp(pattern.data()) != nullptr, "a temporary folder");
    g_file = pattern + "/image.bmp";
    return 0;
}

// The first three bytes are the size asked of LoadImageA (0: the file's), a width of up to
// 65535 and a height of up to 255 (at most 2^20 pixels, so that the bitmap made stays
// small); the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 3) return 0;
    const std::uint8_t* file = bytes + 3;
    checkEditorReader(file, size - 3);
    checkLayerDecoder(file, size - 3);
    const int cx = bytes[0] | bytes[1] << 8, cy = bytes[2];
    if (static_cast<long>(cx) * cy <= (1L << 20)) checkLoadFromFile(file, size - 3, cx, cy);
    return 0;
}
