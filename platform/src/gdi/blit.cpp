// BitBlt and PatBlt with their raster operations, and the msimg32 blits TransparentBlt and
// AlphaBlend. Every blit clips to the destination's clip and to the source's pixels; pixels
// of the destination outside both are never touched.
#include "gdi/objects.h"

#include <windows.h>

#include <cstring>
#include <vector>

using namespace kavet::platform::gdi;

namespace {

constexpr std::uint32_t rgbMask = 0x00FFFFFFu;

RECT deviceToSurface(const Dc& dc, int x, int y, int w, int h) {
    return RECT{x + dc.origin.x, y + dc.origin.y, x + dc.origin.x + w, y + dc.origin.y + h};
}

// The source pixels a blit may read: the source DC's visible area (its clip region does not
// restrict reading, as in GDI).
RECT sourceBounds(const Dc& src) {
    Pixels px = src.pixels();
    return intersect(src.visible, RECT{0, 0, px.width, px.height});
}

// Converts one source row to the destination's format: monochrome to colour uses the
// destination's text colour for 0 and background colour for 1; colour to monochrome makes
// the source's background colour white and everything else black.
struct Conversion {
    enum Kind { None, MonoToColour, ColourToMono } kind = None;
    std::uint32_t zero = 0, one = 0, key = 0;
    std::uint32_t operator()(std::uint32_t s) const {
        switch (kind) {
        case MonoToColour:
            return s ? one : zero;
        case ColourToMono:
            return (s & rgbMask) == key ? rgbMask : 0u;
        default:
            return s;
        }
    }
};

Conversion conversionFor(const Dc& dst, const Dc& src) {
    Conversion c;
    bool dm = dst.pixels().mono, sm = src.pixels().mono;
    if (sm && !dm) {
        c.kind = Conversion::MonoToColour;
        c.zero = toPixel(dst.textColor);
        c.one = toPixel(dst.bkColor);
    } else if (!sm && dm) {
        c.kind = Conversion::ColourToMono;
        c.key = toPixel(src.bkColor);
    }
    return c;
}

template <class Op>
void blitRows(const Pixels& dp, const RECT& r, const Pixels* sp, int dx, int dy, Conversion conv,
              Op op) {
    int width = r.right - r.left;
    bool overlap = sp && sp->row0 == dp.row0;
    // A scratch row, made once per call and never per pixel. Not kept per thread: an object
    // with a destructor per thread would keep a module that holds this layer loaded after
    // the host unloads it, until the thread ends.
    std::vector<std::uint32_t> buffer;
    if (sp && (overlap || conv.kind != Conversion::None))
        buffer.resize(static_cast<std::size_t>(width));
    // Copying within one surface downwards runs from the bottom row up.
    bool upwards = overlap && dy < 0;
    for (int i = 0; i < r.bottom - r.top; ++i) {
        int y = upwards ? r.bottom - 1 - i : r.top + i;
        std::uint32_t* d = dp.row(y) + r.left;
        const std::uint32_t* s = nullptr;
        if (sp) {
            s = sp->row(y + dy) + r.left + dx;
            if (overlap || conv.kind != Conversion::None) {
                for (int x = 0; x < width; ++x)
                    buffer[x] = conv(s[x]);
                s = buffer.data();
            }
        }
        for (int x = 0; x < width; ++x)
            d[x] = op(d[x], s ? s[x] : 0u);
    }
}

bool needsSource(DWORD rop) {
    DWORD code = rop >> 16;
    return ((code >> 2) & 0x33) != (code & 0x33);
}

// Clips a blit: `dst` comes in as the destination rectangle in surface pixels and leaves
// clipped; `dx`/`dy` give the source pixel as destination pixel plus offset.
void clipToSource(RECT& dst, const Dc* src, int dx, int dy) {
    if (!src) return;
    RECT sb = sourceBounds(*src);
    dst = intersect(dst, RECT{sb.left - dx, sb.top - dy, sb.right - dx, sb.bottom - dy});
}

bool rasterBlit(Dc& dst, int x, int y, int w, int h, Dc* src, int sx, int sy, DWORD rop) {
    if (w <= 0 || h <= 0) return true;
    RECT r = intersect(deviceToSurface(dst, x, y, w, h), dst.clip());
    int dx = 0, dy = 0;
    if (src) {
        dx = sx + src->origin.x - (x + dst.origin.x);
        dy = sy + src->origin.y - (y + dst.origin.y);
        clipToSource(r, src, dx, dy);
    }
    if (isEmpty(r)) return true;
    Pixels dp = dst.pixels();
    Pixels sp = src ? src->pixels() : Pixels{};
    const Pixels* s = src ? &sp : nullptr;
    Conversion conv = src ? conversionFor(dst, *src) : Conversion{};
    std::uint32_t p = 0;
    brushPixel(dst, reinterpret_cast<HBRUSH>(handleOf(dst.brush)), p);
    std::uint32_t white = rgbMask;

    if (rop == SRCCOPY && conv.kind == Conversion::None) {
        // The common case: plain row copies (memmove handles a blit within one surface).
        int width = r.right - r.left;
        bool upwards = sp.row0 == dp.row0 && dy < 0;
        for (int i = 0; i < r.bottom - r.top; ++i) {
            int yy = upwards ? r.bottom - 1 - i : r.top + i;
            std::memmove(dp.row(yy) + r.left, sp.row(yy + dy) + r.left + dx,
                         static_cast<std::size_t>(width) * sizeof(std::uint32_t));
        }
        return true;
    }
    switch (rop) {
    case SRCCOPY:
        blitRows(dp, r, s, dx, dy, conv, [](auto, auto s) { return s; });
        break;
    case SRCPAINT:
        blitRows(dp, r, s, dx, dy, conv, [](auto d, auto s) { return d | s; });
        break;
    case SRCAND:
        blitRows(dp, r, s, dx, dy, conv, [](auto d, auto s) { return d & s; });
        break;
    case SRCINVERT:
        blitRows(dp, r, s, dx, dy, conv, [](auto d, auto s) { return d ^ s; });
        break;
    case SRCERASE:
        blitRows(dp, r, s, dx, dy, conv, [](auto d, auto s) { return s & ~d & rgbMask; });
        break;
    case NOTSRCCOPY:
        blitRows(dp, r, s, dx, dy, conv, [](auto, auto s) { return ~s & rgbMask; });
        break;
    case NOTSRCERASE:
        blitRows(dp, r, s, dx, dy, conv, [](auto d, auto s) { return ~(d | s) & rgbMask; });
        break;
    case MERGECOPY:
        blitRows(dp, r, s, dx, dy, conv, [p](auto, auto s) { return s & p; });
        break;
    case MERGEPAINT:
        blitRows(dp, r, s, dx, dy, conv, [](auto d, auto s) { return (~s | d) & rgbMask; });
        break;
    case PATCOPY:
        blitRows(dp, r, nullptr, 0, 0, conv, [p](auto, auto) { return p; });
        break;
    case PATPAINT:
        blitRows(dp, r, s, dx, dy, conv, [p](auto d, auto s) { return (p | ~s | d) & rgbMask; });
        break;
    case PATINVERT:
        blitRows(dp, r, nullptr, 0, 0, conv, [p](auto d, auto) { return (d ^ p) & rgbMask; });
        break;
    case DSTINVERT:
        blitRows(dp, r, nullptr, 0, 0, conv, [](auto d, auto) { return ~d & rgbMask; });
        break;
    case BLACKNESS:
        blitRows(dp, r, nullptr, 0, 0, conv, [](auto, auto) { return 0u; });
        break;
    case WHITENESS:
        blitRows(dp, r, nullptr, 0, 0, conv, [white](auto, auto) { return white; });
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

// Maps each destination pixel of a (possibly stretching) blit to its source pixel, nearest
// neighbour; pixels whose source lies outside the source bounds are left alone.
template <class Put>
void stretchPixels(Dc& dst, int x, int y, int w, int h, Dc& src, int sx, int sy, int sw, int sh,
                   Put put) {
    RECT full = deviceToSurface(dst, x, y, w, h);
    RECT r = intersect(full, dst.clip());
    if (isEmpty(r)) return;
    RECT sb = sourceBounds(src);
    Pixels dp = dst.pixels(), sp = src.pixels();
    int srcLeft = sx + src.origin.x, srcTop = sy + src.origin.y;
    std::vector<int> columns(static_cast<std::size_t>(r.right - r.left)); // as in the row copy
    for (int X = r.left; X < r.right; ++X) {
        long long u = X - full.left;
        columns[static_cast<std::size_t>(X - r.left)] = srcLeft + static_cast<int>(u * sw / w);
    }
    for (int Y = r.top; Y < r.bottom; ++Y) {
        int v = srcTop + static_cast<int>(static_cast<long long>(Y - full.top) * sh / h);
        if (v < sb.top || v >= sb.bottom) continue;
        const std::uint32_t* s = sp.row(v);
        std::uint32_t* d = dp.row(Y);
        for (int X = r.left; X < r.right; ++X) {
            int c = columns[static_cast<std::size_t>(X - r.left)];
            if (c < sb.left || c >= sb.right) continue;
            d[X] = put(d[X], s[c]);
        }
    }
}

std::uint32_t mul255(std::uint32_t a, std::uint32_t b) {
    return (a * b + 127) / 255;
}

} // namespace

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    Dc* dst = dcOf(hdc);
    Dc* src = hdcSrc ? dcOf(hdcSrc) : nullptr;
    if (!dst || (needsSource(rop) && !src)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return rasterBlit(*dst, x, y, cx, cy, needsSource(rop) ? src : nullptr, x1, y1, rop) ? TRUE
                                                                                         : FALSE;
}

BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    Dc* dst = dcOf(hdc);
    if (!dst || needsSource(rop)) {
        SetLastError(dst ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // PatBlt takes its rectangle from either corner.
    if (w < 0) {
        x += w;
        w = -w;
    }
    if (h < 0) {
        y += h;
        h = -h;
    }
    return rasterBlit(*dst, x, y, w, h, nullptr, 0, 0, rop) ? TRUE : FALSE;
}

BOOL WINAPI TransparentBlt(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest,
                           HDC hdcSrc, int xoriginSrc, int yoriginSrc, int wSrc, int hSrc,
                           UINT crTransparent) {
    Dc* dst = dcOf(hdcDest);
    Dc* src = dcOf(hdcSrc);
    if (!dst || !src) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (wDest <= 0 || hDest <= 0 || wSrc <= 0 || hSrc <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::uint32_t key = toPixel(crTransparent & rgbMask);
    bool sourceMono = src->pixels().mono;
    Conversion toColour;
    if (sourceMono) {
        toColour.kind = Conversion::MonoToColour;
        toColour.zero = toPixel(dst->textColor);
        toColour.one = toPixel(dst->bkColor);
    }
    bool destMono = dst->pixels().mono;
    stretchPixels(*dst, xoriginDest, yoriginDest, wDest, hDest, *src, xoriginSrc, yoriginSrc, wSrc,
                  hSrc, [&](std::uint32_t d, std::uint32_t s) {
                      std::uint32_t colour = toColour(s);
                      if ((colour & rgbMask) == key) return d;
                      return destMono ? (sourceMono ? s : toMono(colour)) : colour;
                  });
    return TRUE;
}

BOOL WINAPI AlphaBlend(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest,
                       HDC hdcSrc, int xoriginSrc, int yoriginSrc, int wSrc, int hSrc,
                       BLENDFUNCTION ftn) {
    Dc* dst = dcOf(hdcDest);
    Dc* src = dcOf(hdcSrc);
    if (!dst || !src) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // The source rectangle must lie within the source surface.
    RECT sb = sourceBounds(*src);
    int sl = xoriginSrc + src->origin.x, st = yoriginSrc + src->origin.y;
    if (ftn.BlendOp != AC_SRC_OVER || wDest <= 0 || hDest <= 0 || wSrc <= 0 || hSrc <= 0 ||
        sl < sb.left || st < sb.top || sl + wSrc > sb.right || st + hSrc > sb.bottom) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::uint32_t constant = ftn.SourceConstantAlpha;
    bool perPixel = (ftn.AlphaFormat & AC_SRC_ALPHA) != 0;
    // Source over destination; with per-pixel alpha the source is premultiplied.
    stretchPixels(*dst, xoriginDest, yoriginDest, wDest, hDest, *src, xoriginSrc, yoriginSrc, wSrc,
                  hSrc, [&](std::uint32_t d, std::uint32_t s) {
                      std::uint32_t alpha = perPixel ? mul255(s >> 24, constant) : constant;
                      std::uint32_t out = 0;
                      int channels = perPixel ? 4 : 3;
                      for (int c = 0; c < channels; ++c) {
                          std::uint32_t sv = (s >> (8 * c)) & 0xFF, dv = (d >> (8 * c)) & 0xFF;
                          std::uint32_t v = mul255(sv, constant) + mul255(dv, 255 - alpha);
                          out |= (v > 255 ? 255 : v) << (8 * c);
                      }
                      if (!perPixel) out |= d & 0xFF000000u;
                      return out;
                  });
    return TRUE;
}
