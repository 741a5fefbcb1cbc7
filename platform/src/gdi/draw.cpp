// Pens, brushes, lines, polylines, paths and rectangles. Lines leave out their last point and
// FillRect leaves out the right column and bottom row, as in GDI.
#include "gdi/objects.h"

#include <windows.h>

#include <cstdlib>
#include <utility>

using namespace kavet::platform::gdi;

namespace {

// Dash lengths of cosmetic pens, on then off, in pixels.
struct Dashes {
    int count;
    int length[6];
};
const Dashes dashPatterns[] = {
    {2, {18, 6}}, {2, {3, 3}}, {4, {9, 6, 3, 6}}, {6, {9, 3, 3, 3, 3, 3}}};

struct LinePainter {
    Dc& dc;
    Pixels px;
    RECT clip;
    std::uint32_t ink = 0, background = 0;
    int width = 1;
    const Dashes* dashes = nullptr;
    int dashIndex = 0, dashLeft = 0;

    explicit LinePainter(Dc& d) : dc(d), px(d.pixels()), clip(d.clip()) {
        const LOGPEN& lp = dc.pen->logical;
        ink = toPixel(lp.lopnColor);
        background = toPixel(dc.bkColor);
        if (px.mono) {
            ink = toMono(ink);
            background = toMono(background);
        }
        width = lp.lopnWidth.x > 1 ? lp.lopnWidth.x : 1;
        UINT style = lp.lopnStyle & PS_STYLE_MASK;
        // Wide pens draw solid whatever their style.
        if (width == 1 && style >= PS_DASH && style <= PS_DASHDOTDOT) {
            dashes = &dashPatterns[style - PS_DASH];
            dashLeft = dashes->length[0];
        }
    }

    bool visible() const { return (dc.pen->logical.lopnStyle & PS_STYLE_MASK) != PS_NULL; }

    void put(int x, int y, std::uint32_t p) {
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) px.row(y)[x] = p;
    }

    void plot(int x, int y) {
        std::uint32_t p = ink;
        if (dashes) {
            bool on = dashIndex % 2 == 0;
            if (--dashLeft == 0) {
                dashIndex = (dashIndex + 1) % dashes->count;
                dashLeft = dashes->length[dashIndex];
            }
            if (!on) {
                if (dc.bkMode != OPAQUE) return;
                p = background;
            }
        }
        if (width == 1) {
            put(x, y, p);
            return;
        }
        // Wide pens: a square of the pen's width centred on the line.
        int lo = -(width - 1) / 2;
        for (int j = lo; j < lo + width; ++j)
            for (int i = lo; i < lo + width; ++i)
                put(x + i, y + j, p);
    }

    // Bresenham from (x0,y0) to (x1,y1) in surface pixels, the last point left out.
    void line(int x0, int y0, int x1, int y1) {
        int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
        int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int steps = dx > dy ? dx : dy;
        int err = (dx > dy ? dx : -dy) / 2;
        int x = x0, y = y0;
        for (int i = 0; i < steps; ++i) {
            plot(x, y);
            int e = err;
            if (e > -dx) {
                err -= dy;
                x += sx;
            }
            if (e < dy) {
                err += dx;
                y += sy;
            }
        }
    }
};

void strokeSegment(Dc& dc, POINT a, POINT b) {
    LinePainter painter(dc);
    if (!painter.visible()) return;
    painter.line(a.x + dc.origin.x, a.y + dc.origin.y, b.x + dc.origin.x, b.y + dc.origin.y);
}

void lineTo(Dc& dc, POINT to) {
    if (dc.inPath) {
        dc.path.push_back({dc.position, to});
    } else {
        strokeSegment(dc, dc.position, to);
    }
    dc.position = to;
}

void fillDevice(Dc& dc, RECT r, std::uint32_t pixel) {
    r.left += dc.origin.x;
    r.right += dc.origin.x;
    r.top += dc.origin.y;
    r.bottom += dc.origin.y;
    fillPixels(dc.pixels(), intersect(r, dc.clip()), pixel);
}

} // namespace

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
    LOGPEN lp{static_cast<UINT>(iStyle), {cWidth, 0}, color};
    return CreatePenIndirect(&lp);
}

HPEN WINAPI CreatePenIndirect(const LOGPEN* plpen) {
    if (!plpen || (plpen->lopnStyle & PS_STYLE_MASK) > PS_INSIDEFRAME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* pen = new Pen;
    pen->logical = *plpen;
    pen->logical.lopnColor &= 0x00FFFFFF;
    if (pen->logical.lopnWidth.x < 0) pen->logical.lopnWidth.x = 0;
    pen->logical.lopnWidth.y = 0;
    registerObject(pen);
    return static_cast<HPEN>(handleOf(pen));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    LOGBRUSH lb{BS_SOLID, color, 0};
    return CreateBrushIndirect(&lb);
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush) {
    // Solid and hollow brushes; hatches and patterns are not drawn by this layer.
    if (!plbrush || (plbrush->lbStyle != BS_SOLID && plbrush->lbStyle != BS_NULL)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* brush = new Brush;
    brush->logical = *plbrush;
    brush->logical.lbColor &= 0x00FFFFFF;
    registerObject(brush);
    return static_cast<HBRUSH>(handleOf(brush));
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
    Dc* dc = dcOf(hdc);
    if (!dc) return FALSE;
    if (lppt) *lppt = dc->position;
    dc->position = POINT{x, y};
    if (dc->inPath) dc->figureStart = dc->position;
    return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    Dc* dc = dcOf(hdc);
    if (!dc) return FALSE;
    lineTo(*dc, POINT{x, y});
    return TRUE;
}

BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
    Dc* dc = dcOf(hdc);
    if (!dc || !lppt) return FALSE;
    *lppt = dc->position;
    return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT* apt, int cpt) {
    Dc* dc = dcOf(hdc);
    if (!dc || !apt || cpt < 2) return FALSE;
    // Polyline neither uses nor moves the current position.
    POINT saved = dc->position;
    dc->position = apt[0];
    if (dc->inPath) dc->figureStart = apt[0];
    for (int i = 1; i < cpt; ++i)
        lineTo(*dc, apt[i]);
    dc->position = saved;
    return TRUE;
}

BOOL WINAPI PolylineTo(HDC hdc, const POINT* apt, DWORD cpt) {
    Dc* dc = dcOf(hdc);
    if (!dc || !apt) return FALSE;
    for (DWORD i = 0; i < cpt; ++i)
        lineTo(*dc, apt[i]);
    return TRUE;
}

BOOL WINAPI BeginPath(HDC hdc) {
    Dc* dc = dcOf(hdc);
    if (!dc) return FALSE;
    dc->inPath = true;
    dc->pathReady = false;
    dc->path.clear();
    dc->figureStart = dc->position;
    return TRUE;
}

BOOL WINAPI EndPath(HDC hdc) {
    Dc* dc = dcOf(hdc);
    if (!dc || !dc->inPath) return FALSE;
    dc->inPath = false;
    dc->pathReady = true;
    return TRUE;
}

BOOL WINAPI AbortPath(HDC hdc) {
    Dc* dc = dcOf(hdc);
    if (!dc) return FALSE;
    dc->inPath = dc->pathReady = false;
    dc->path.clear();
    return TRUE;
}

BOOL WINAPI CloseFigure(HDC hdc) {
    Dc* dc = dcOf(hdc);
    if (!dc || !dc->inPath) return FALSE;
    if (dc->position.x != dc->figureStart.x || dc->position.y != dc->figureStart.y) {
        dc->path.push_back({dc->position, dc->figureStart});
        dc->position = dc->figureStart;
    }
    return TRUE;
}

BOOL WINAPI StrokePath(HDC hdc) {
    Dc* dc = dcOf(hdc);
    if (!dc || !dc->pathReady) return FALSE;
    for (const PathSegment& s : dc->path)
        strokeSegment(*dc, s.from, s.to);
    dc->path.clear();
    dc->pathReady = false;
    return TRUE;
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    Dc* dc = dcOf(hdc);
    if (!dc) return FALSE;
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    bool outlined = (dc->pen->logical.lopnStyle & PS_STYLE_MASK) != PS_NULL;
    std::uint32_t fill;
    if (brushPixel(*dc, static_cast<HBRUSH>(handleOf(dc->brush)), fill)) {
        // Without a pen the figure is one pixel smaller on the right and bottom.
        RECT inner = outlined ? RECT{left + 1, top + 1, right - 1, bottom - 1}
                              : RECT{left, top, right - 1, bottom - 1};
        fillDevice(*dc, inner, fill);
    }
    if (outlined && right - left >= 1 && bottom - top >= 1) {
        POINT corners[5] = {{left, top},
                            {right - 1, top},
                            {right - 1, bottom - 1},
                            {left, bottom - 1},
                            {left, top}};
        LinePainter painter(*dc);
        for (int i = 0; i < 4; ++i)
            painter.line(corners[i].x + dc->origin.x, corners[i].y + dc->origin.y,
                         corners[i + 1].x + dc->origin.x, corners[i + 1].y + dc->origin.y);
        if (right - left == 1 || bottom - top == 1)
            painter.plot(right - 1 + dc->origin.x, bottom - 1 + dc->origin.y);
    }
    return TRUE;
}

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    Dc* dc = dcOf(hDC);
    std::uint32_t pixel;
    if (!dc || !lprc || !brushPixel(*dc, hbr, pixel)) return 0;
    fillDevice(*dc, *lprc, pixel);
    return 1;
}

int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    Dc* dc = dcOf(hDC);
    std::uint32_t pixel;
    if (!dc || !lprc || !brushPixel(*dc, hbr, pixel)) return 0;
    const RECT& r = *lprc;
    if (r.right <= r.left || r.bottom <= r.top) return 1;
    fillDevice(*dc, RECT{r.left, r.top, r.right, r.top + 1}, pixel);
    fillDevice(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, pixel);
    fillDevice(*dc, RECT{r.left, r.top, r.left + 1, r.bottom}, pixel);
    fillDevice(*dc, RECT{r.right - 1, r.top, r.right, r.bottom}, pixel);
    return 1;
}
