// Bitmaps and DIB sections: creation, pixel transfer to and from DIB formats, single pixels.
#include "gdi/bitmap_internal.h"

#include <windows.h>

#include <cstring>

namespace kavet::platform::gdi {
namespace {

// Larger bitmaps are refused rather than risking an overflow of the pixel count.
constexpr long long maxPixels = 1LL << 28;

bool validSize(int w, int h) {
    return w > 0 && h > 0 && static_cast<long long>(w) * h <= maxPixels;
}

} // namespace

Bitmap* newBitmap(int width, int height, bool mono) {
    if (!validSize(width, height)) return nullptr;
    auto* bm = new Bitmap;
    bm->width = width;
    bm->height = height;
    bm->mono = mono;
    bm->bits.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    registerObject(bm);
    return bm;
}

Bitmap* newDibSection(int width, int height, bool bottomUp) {
    Bitmap* bm = newBitmap(width, height, false);
    if (!bm) return nullptr;
    bm->dibSection = true;
    bm->bottomUp = bottomUp;
    BITMAPINFOHEADER& h = bm->header;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = bottomUp ? height : -height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4u;
    return bm;
}

} // namespace kavet::platform::gdi

using namespace kavet::platform::gdi;

namespace {

HBITMAP handle(Bitmap* bm) {
    if (!bm) SetLastError(ERROR_INVALID_PARAMETER);
    return static_cast<HBITMAP>(bm ? handleOf(bm) : nullptr);
}

// Bytes per row of a DIB: rows are padded to 4 bytes.
std::size_t dibStride(LONG width, WORD bits) {
    return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
}

bool supportedDib(const BITMAPINFOHEADER& h) {
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0) return false;
    if (h.biBitCount == 32) return h.biCompression == BI_RGB || h.biCompression == BI_BITFIELDS;
    return h.biBitCount == 24 && h.biCompression == BI_RGB;
}

// The bitmap row that DIB scan line `line` holds (scan line 0 is the first row in memory).
int bitmapRowOf(const BITMAPINFOHEADER& h, int bitmapHeight, int line) {
    return h.biHeight < 0 ? line : bitmapHeight - 1 - line;
}

} // namespace

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    Dc* dc = dcOf(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // A zero size gives a 1 x 1 monochrome bitmap; a memory DC makes bitmaps of the format of
    // the bitmap selected in it (a fresh memory DC's is monochrome).
    if (cx == 0 || cy == 0) return handle(newBitmap(1, 1, true));
    bool mono = dc->isMemory() && dc->bitmap && dc->bitmap->mono;
    return handle(newBitmap(cx, cy, mono));
}

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount,
                            const void* lpBits) {
    if (nPlanes != 1 || (nBitCount != 1 && nBitCount != 32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (nWidth == 0 || nHeight == 0) return handle(newBitmap(1, 1, true));
    Bitmap* bm = newBitmap(nWidth, nHeight, nBitCount == 1);
    if (!bm) return handle(nullptr);
    if (lpBits) {
        const auto* src = static_cast<const BYTE*>(lpBits);
        if (bm->mono) {
            // Rows of 1-bit pixels padded to 16 bits, most significant bit first, 1 = white.
            std::size_t rowBytes = ((static_cast<std::size_t>(nWidth) + 15) / 16) * 2;
            for (int y = 0; y < nHeight; ++y)
                for (int x = 0; x < nWidth; ++x) {
                    bool on = src[y * rowBytes + x / 8] & (0x80 >> (x % 8));
                    bm->bits[static_cast<std::size_t>(y) * nWidth + x] = on ? 0x00FFFFFFu : 0u;
                }
        } else {
            std::memcpy(bm->bits.data(), src, bm->bits.size() * 4);
        }
    }
    return handle(bm);
}

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits,
                                HANDLE hSection, DWORD) {
    if (ppvBits) *ppvBits = nullptr;
    if (hdc && !dcOf(hdc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // 32-bit colour sections in memory of their own; file mappings are not supported.
    if (!pbmi || usage != DIB_RGB_COLORS || hSection || pbmi->bmiHeader.biBitCount != 32 ||
        !supportedDib(pbmi->bmiHeader) || pbmi->bmiHeader.biPlanes != 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const BITMAPINFOHEADER& h = pbmi->bmiHeader;
    LONG height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    Bitmap* bm = newDibSection(h.biWidth, height, h.biHeight > 0);
    if (!bm) return handle(nullptr);
    if (ppvBits) *ppvBits = bm->bits.data();
    return handle(bm);
}

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits,
                     LPBITMAPINFO lpbmi, UINT usage) {
    Bitmap* bm = bitmapOf(hbm);
    if (!dcOf(hdc) || !bm || !lpbmi || usage != DIB_RGB_COLORS ||
        lpbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    if (!lpvBits) {
        // Describe the bitmap (bit count 0 asks for its own format), or size the request.
        if (h.biBitCount == 0) {
            h.biWidth = bm->width;
            h.biHeight = bm->height;
            h.biPlanes = 1;
            h.biBitCount = bm->mono ? 1 : 32;
            h.biCompression = BI_RGB;
        }
        if (h.biWidth <= 0 || h.biHeight == 0) return 0;
        LONG rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
        h.biSizeImage =
            static_cast<DWORD>(dibStride(h.biWidth, h.biBitCount) * static_cast<std::size_t>(rows));
        return bm->height;
    }
    if (!supportedDib(h)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    LONG rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (start >= static_cast<UINT>(rows)) return 0;
    UINT lines =
        cLines < static_cast<UINT>(rows) - start ? cLines : static_cast<UINT>(rows) - start;
    std::size_t stride = dibStride(h.biWidth, h.biBitCount);
    int columns = h.biWidth < bm->width ? h.biWidth : bm->width;
    Pixels px = bm->pixels();
    auto* out = static_cast<BYTE*>(lpvBits);
    UINT copied = 0;
    for (UINT i = 0; i < lines; ++i) {
        int line = static_cast<int>(start + i);
        int y = bitmapRowOf(h, bm->height, line);
        BYTE* dst = out + static_cast<std::size_t>(i) * stride;
        std::memset(dst, 0, stride);
        if (y < 0 || y >= bm->height) continue;
        const std::uint32_t* src = px.row(y);
        for (int x = 0; x < columns; ++x) {
            std::uint32_t p = src[x];
            if (h.biBitCount == 32) {
                std::memcpy(dst + x * 4, &p, 4);
            } else {
                dst[x * 3] = static_cast<BYTE>(p);
                dst[x * 3 + 1] = static_cast<BYTE>(p >> 8);
                dst[x * 3 + 2] = static_cast<BYTE>(p >> 16);
            }
        }
        ++copied;
    }
    if (h.biSizeImage == 0)
        h.biSizeImage = static_cast<DWORD>(stride * static_cast<std::size_t>(rows));
    return static_cast<int>(copied);
}

int WINAPI SetDIBits(HDC, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits,
                     const BITMAPINFO* lpbmi, UINT ColorUse) {
    Bitmap* bm = bitmapOf(hbm);
    if (!bm || !lpBits || !lpbmi || ColorUse != DIB_RGB_COLORS || !supportedDib(lpbmi->bmiHeader)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    LONG rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (start >= static_cast<UINT>(rows)) return 0;
    UINT lines =
        cLines < static_cast<UINT>(rows) - start ? cLines : static_cast<UINT>(rows) - start;
    std::size_t stride = dibStride(h.biWidth, h.biBitCount);
    int columns = h.biWidth < bm->width ? h.biWidth : bm->width;
    Pixels px = bm->pixels();
    const auto* in = static_cast<const BYTE*>(lpBits);
    UINT copied = 0;
    for (UINT i = 0; i < lines; ++i) {
        int y = bitmapRowOf(h, bm->height, static_cast<int>(start + i));
        if (y < 0 || y >= bm->height) continue;
        const BYTE* src = in + static_cast<std::size_t>(i) * stride;
        std::uint32_t* dst = px.row(y);
        for (int x = 0; x < columns; ++x) {
            std::uint32_t p;
            if (h.biBitCount == 32) {
                std::memcpy(&p, src + x * 4, 4);
            } else {
                p = src[x * 3] | (src[x * 3 + 1] << 8) |
                    (static_cast<std::uint32_t>(src[x * 3 + 2]) << 16);
            }
            dst[x] = bm->mono ? toMono(p) : p;
        }
        ++copied;
    }
    return static_cast<int>(copied);
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    Dc* dc = dcOf(hdc);
    if (!dc) return static_cast<COLORREF>(-1);
    Pixels px = dc->pixels();
    RECT clip = dc->clip();
    int sx = x + dc->origin.x, sy = y + dc->origin.y;
    if (sx < clip.left || sx >= clip.right || sy < clip.top || sy >= clip.bottom)
        return static_cast<COLORREF>(-1);
    std::uint32_t p = toPixel(color);
    if (px.mono) p = toMono(p);
    px.row(sy)[sx] = p;
    return toColorRef(p);
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    Dc* dc = dcOf(hdc);
    if (!dc) return CLR_INVALID;
    Pixels px = dc->pixels();
    RECT clip = dc->clip();
    int sx = x + dc->origin.x, sy = y + dc->origin.y;
    if (sx < clip.left || sx >= clip.right || sy < clip.top || sy >= clip.bottom)
        return CLR_INVALID;
    return toColorRef(px.row(sy)[sx] & 0x00FFFFFFu);
}
