// Bitmap resources: each module registers a lookup of its BMP bytes by integer id.
#include "gdi/bitmap_internal.h"
#include "module/bmp.h"

#include <kavet/module_resources.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>

namespace {

std::mutex tableMutex;
std::map<HINSTANCE, kavet::platform::ResourceLookup>& tables() {
    static std::map<HINSTANCE, kavet::platform::ResourceLookup> registered;
    return registered;
}

// An integer resource id from MAKEINTRESOURCEA(id) or "#id"; -1 for any other name.
int resourceId(LPCSTR name) {
    if (!name) return -1;
    if (IS_INTRESOURCE(name)) return static_cast<int>(reinterpret_cast<ULONG_PTR>(name));
    if (name[0] != '#' || !name[1]) return -1;
    char* end = nullptr;
    long id = std::strtol(name + 1, &end, 10);
    return *end || id < 0 || id > 0xFFFF ? -1 : static_cast<int>(id);
}

bool findResource(HINSTANCE module, LPCSTR name, kavet::platform::module::DecodedBitmap& out) {
    int id = resourceId(name);
    kavet::platform::ResourceLookup lookup = nullptr;
    {
        std::lock_guard lock(tableMutex);
        auto it = tables().find(module);
        if (it != tables().end()) lookup = it->second;
    }
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    if (id < 0 || !lookup || !lookup(id, &data, &size)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return false;
    }
    if (!kavet::platform::module::decodeBmp(data, size, out)) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    return true;
}

bool readFile(LPCSTR path, kavet::platform::module::DecodedBitmap& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    if (!kavet::platform::module::decodeBmp(bytes.data(), bytes.size(), out)) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    return true;
}

// Nearest-neighbour resize to the size LoadImageA was asked for. The source row and column
// are computed in 64 bits: a side asked for times a side of the file exceeds 32 bits.
void resize(kavet::platform::module::DecodedBitmap& image, int width, int height) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) *
                                      static_cast<std::size_t>(height));
    const auto w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    const auto sourceW = static_cast<std::size_t>(image.width);
    const auto sourceH = static_cast<std::size_t>(image.height);
    for (std::size_t y = 0; y < h; ++y)
        for (std::size_t x = 0; x < w; ++x)
            pixels[y * w + x] = image.pixels[(y * sourceH / h) * sourceW + x * sourceW / w];
    image.pixels = std::move(pixels);
    image.width = width;
    image.height = height;
}

HBITMAP makeBitmap(const kavet::platform::module::DecodedBitmap& image, UINT flags) {
    using namespace kavet::platform::gdi;
    bool mono = flags & LR_MONOCHROME;
    // A DIB section keeps the file's row order in memory, as Windows does.
    Bitmap* bm = (flags & LR_CREATEDIBSECTION) && !mono
                     ? newDibSection(image.width, image.height, image.bottomUp)
                     : newBitmap(image.width, image.height, mono);
    if (!bm) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Pixels px = bm->pixels();
    for (int y = 0; y < image.height; ++y) {
        const std::uint32_t* src = image.pixels.data() + static_cast<std::size_t>(y) * image.width;
        std::uint32_t* dst = px.row(y);
        for (int x = 0; x < image.width; ++x)
            dst[x] = mono ? toMono(src[x]) : src[x];
    }
    return static_cast<HBITMAP>(handleOf(bm));
}

} // namespace

namespace kavet::platform {

void registerModuleResources(HINSTANCE module, ResourceLookup lookup) {
    std::lock_guard lock(tableMutex);
    if (lookup)
        tables()[module] = lookup;
    else
        tables().erase(module);
}

HINSTANCE registerOwnModuleResources(ResourceLookup lookup) {
    HMODULE module = nullptr;
    if (!lookup || !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                       reinterpret_cast<LPCSTR>(lookup), &module))
        return nullptr;
    registerModuleResources(module, lookup);
    return module;
}

} // namespace kavet::platform

HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    // Bitmaps only; icons and cursors come from LoadIconA and LoadCursorA.
    if (type != IMAGE_BITMAP || cx < 0 || cy < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    kavet::platform::module::DecodedBitmap image;
    bool found = (fuLoad & LR_LOADFROMFILE) ? name && !IS_INTRESOURCE(name) && readFile(name, image)
                                            : findResource(hInst, name, image);
    if (!found) return nullptr;
    if (!(fuLoad & LR_DEFAULTSIZE) && (cx || cy)) {
        resize(image, cx ? cx : image.width, cy ? cy : image.height);
    }
    return makeBitmap(image, fuLoad);
}

HBITMAP WINAPI LoadBitmapA(HINSTANCE hInstance, LPCSTR lpBitmapName) {
    kavet::platform::module::DecodedBitmap image;
    if (!findResource(hInstance, lpBitmapName, image)) return nullptr;
    return makeBitmap(image, 0);
}
