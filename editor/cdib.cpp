#include "cdib.h"

#include "toolkit/drawglobals.h"

#include <windows.h>

#include <cstddef>
#include <new>
#include <utility>

namespace kavet::editor {

namespace {

// 32 bits per pixel, top-down (negative height), uncompressed.
BITMAPINFO topDownFormat(std::int32_t width, std::int32_t height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace

CDIB::CDIB(std::int32_t id) {
    resourceId = id;
    handle = static_cast<HBITMAP>(LoadImageA(toolkit::getModuleInstance(), MAKEINTRESOURCEA(id),
                                             IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP record{};
    if (handle == nullptr || GetObjectA(handle, sizeof(record), &record) == 0 ||
        record.bmWidth <= 0 || record.bmHeight <= 0) {
        return;
    }
    const std::int32_t w = record.bmWidth;
    const std::int32_t h = record.bmHeight < 0 ? -record.bmHeight : record.bmHeight;
    std::unique_ptr<std::uint32_t[]> buffer(new (
        std::nothrow) std::uint32_t[static_cast<std::size_t>(w) * static_cast<std::size_t>(h)]);
    if (!buffer) return;
    BITMAPINFO info = topDownFormat(w, h);
    HDC screen = GetDC(nullptr);
    const int rows =
        GetDIBits(screen, handle, 0, static_cast<UINT>(h), buffer.get(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    width = w;
    height = h;
    if (rows == 0) return;
    copy = std::move(buffer);
    pixels = copy.get();
    stride = w * 4;
}

CDIB::CDIB(std::int32_t w, std::int32_t h) {
    ownsSectionFlag = true;
    if (w <= 0 || h <= 0) return;
    BITMAPINFO info = topDownFormat(w, h);
    void* bits = nullptr;
    handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (handle == nullptr || bits == nullptr) return;
    width = w;
    height = h;
    pixels = static_cast<std::uint32_t*>(bits);
    stride = w * 4;
}

CDIB::~CDIB() {
    // The section is deleted here; CBitmap's destructor must not delete it again.
    if (ownsSectionFlag && handle != nullptr) {
        DeleteObject(handle);
        handle = nullptr;
    }
    pixels = nullptr;
}

PixelView CDIB::view() const {
    if (pixels == nullptr) return {};
    return PixelView{pixels, width, height, stride};
}

} // namespace kavet::editor
