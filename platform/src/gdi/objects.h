// GDI objects behind the handles: every handle the layer gives out points to one of these,
// and every handle it receives is checked against the table of live objects first.
#pragma once

#include "gdi/surface.h"

#include <cstdint>
#include <vector>

namespace kavet::platform::gdi {

// A view of 32-bit pixels with a row step that may be negative (bottom-up DIBs).
struct Pixels {
    std::uint32_t* row0 = nullptr; // top row
    std::ptrdiff_t stride = 0;     // pixels from one row to the next one down
    int width = 0, height = 0;
    bool mono = false; // 1 bit per pixel, stored as 0 (black) or 0x00FFFFFF (white)
    std::uint32_t* row(int y) const { return row0 + y * stride; }
};

struct Object {
    explicit Object(DWORD t) : type(t) {}
    virtual ~Object() = default;
    DWORD type;
    bool stock = false;
    int selections = 0;         // DCs this object is selected into
    bool deletePending = false; // DeleteObject while selected: freed when deselected
};

struct Pen : Object {
    Pen() : Object(OBJ_PEN) {}
    LOGPEN logical{};
};

struct Brush : Object {
    Brush() : Object(OBJ_BRUSH) {}
    LOGBRUSH logical{};
};

struct Font : Object {
    Font() : Object(OBJ_FONT) {}
    LOGFONTA logical{};
};

struct Region : Object {
    Region() : Object(OBJ_REGION) {}
    RECT box{}; // empty when right <= left or bottom <= top
};

struct Bitmap : Object {
    Bitmap() : Object(OBJ_BITMAP) {}
    int width = 0, height = 0;
    bool mono = false;
    bool dibSection = false;
    bool bottomUp = false;           // DIB sections only: the memory holds the bottom row first
    std::vector<std::uint32_t> bits; // width*height pixels in memory order; never reallocated
    BITMAPINFOHEADER header{};       // DIB sections: the format they were created with
    struct Dc* selectedIn = nullptr; // a bitmap lives in at most one DC
    Pixels pixels();
};

struct PathSegment {
    POINT from, to;
};

struct Dc : Object {
    Dc(bool memory) : Object(memory ? OBJ_MEMDC : OBJ_DC) {}
    bool isMemory() const { return type == OBJ_MEMDC; }

    Surface* surface = nullptr; // window DCs
    Bitmap* bitmap = nullptr;   // memory DCs (starts with the stock 1 x 1 monochrome bitmap)
    POINT origin{};             // device (0,0) in surface pixels
    RECT visible{};             // surface pixels that this DC may touch (no clip region)
    bool hasClip = false;
    RECT clipRegion{}; // device coordinates

    Pen* pen = nullptr;
    Brush* brush = nullptr;
    Font* font = nullptr;
    int bkMode = OPAQUE;
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    UINT textAlign = TA_LEFT | TA_TOP;
    POINT position{};

    bool inPath = false;
    bool pathReady = false;
    POINT figureStart{};
    std::vector<PathSegment> path;

    Pixels pixels() const;
    RECT clip() const; // surface pixels: visible area bounded by the clip region
};

// ---- The handle table ------------------------------------------------------------------
void registerObject(Object* o);
void unregisterObject(Object* o);
Object* lookup(const void* handle);
template <class T> T* as(const void* handle, DWORD type) {
    Object* o = lookup(handle);
    return o && o->type == type ? static_cast<T*>(o) : nullptr;
}
Dc* dcOf(HDC hdc); // window and memory DCs alike
inline Bitmap* bitmapOf(const void* h) {
    return as<Bitmap>(h, OBJ_BITMAP);
}

template <class T> HGDIOBJ handleOf(T* o) {
    return static_cast<Object*>(o);
}

// Stock objects (created once, never deleted by the program; they go with the table).
Object* stock(int index);
Bitmap* stockMonoBitmap();

// Frees an object now, or marks it for freeing when the last DC lets go of it.
void releaseSelection(Object* o);
void destroyObject(Object* o);

// ---- Colours ---------------------------------------------------------------------------
inline std::uint32_t toPixel(COLORREF c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline COLORREF toColorRef(std::uint32_t p) {
    return toPixel(p);
}
// A colour on a monochrome surface: the nearer of black and white.
inline std::uint32_t toMono(std::uint32_t pixel) {
    unsigned sum = ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
    return sum >= 3 * 128 ? 0x00FFFFFFu : 0u;
}
// A system colour (COLOR_* index), for brushes given as COLOR_* + 1.
COLORREF systemColor(int index);
// The colour a brush paints with on `dc`, or false for a hollow brush.
bool brushPixel(const Dc& dc, HBRUSH brush, std::uint32_t& pixel);

// ---- Rectangles ------------------------------------------------------------------------
inline RECT intersect(const RECT& a, const RECT& b) {
    RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}
inline bool isEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

// Fills surface pixels `r` (already clipped) with `pixel`.
void fillPixels(const Pixels& px, const RECT& r, std::uint32_t pixel);

} // namespace kavet::platform::gdi
