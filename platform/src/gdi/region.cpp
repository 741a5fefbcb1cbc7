// Rectangular regions and clipping. Clip regions are in device coordinates and replace the
// previous clip (SelectClipRgn) or narrow it (IntersectClipRect); the visible area of the DC
// always bounds them.
#include "gdi/objects.h"

#include <windows.h>

using namespace kavet::platform::gdi;

namespace {

RECT normalised(int x1, int y1, int x2, int y2) {
    RECT r{x1 < x2 ? x1 : x2, y1 < y2 ? y1 : y2, x1 < x2 ? x2 : x1, y1 < y2 ? y2 : y1};
    if (isEmpty(r)) r = RECT{0, 0, 0, 0};
    return r;
}

int kindOf(const RECT& r) {
    return isEmpty(r) ? NULLREGION : SIMPLEREGION;
}

// The clip of the DC in device coordinates.
RECT deviceClip(const Dc& dc) {
    RECT c = dc.clip();
    if (isEmpty(c)) return RECT{0, 0, 0, 0};
    return RECT{c.left - dc.origin.x, c.top - dc.origin.y, c.right - dc.origin.x,
                c.bottom - dc.origin.y};
}

} // namespace

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
    auto* region = new Region;
    region->box = normalised(x1, y1, x2, y2);
    registerObject(region);
    return static_cast<HRGN>(handleOf(region));
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect) {
    if (!lprect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) {
    Dc* dc = dcOf(hdc);
    if (!dc) return ERROR;
    if (!hrgn) {
        dc->hasClip = false;
    } else {
        Region* region = as<Region>(hrgn, OBJ_REGION);
        if (!region) return ERROR;
        // The DC keeps a copy: the region object may be deleted at once.
        dc->hasClip = true;
        dc->clipRegion = region->box;
    }
    return kindOf(dc->clip());
}

int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    Dc* dc = dcOf(hdc);
    if (!dc) return ERROR;
    RECT r = normalised(left, top, right, bottom);
    dc->clipRegion = dc->hasClip ? intersect(dc->clipRegion, r) : r;
    dc->hasClip = true;
    return kindOf(dc->clip());
}

int WINAPI GetClipBox(HDC hdc, LPRECT lprect) {
    Dc* dc = dcOf(hdc);
    if (!dc || !lprect) return ERROR;
    *lprect = deviceClip(*dc);
    return kindOf(*lprect);
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
    Region* region = as<Region>(hrgn, OBJ_REGION);
    if (!region || !lprc) return ERROR;
    *lprc = region->box;
    return kindOf(region->box);
}

int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
    Region* dst = as<Region>(hrgnDst, OBJ_REGION);
    Region* a = as<Region>(hrgnSrc1, OBJ_REGION);
    Region* b = as<Region>(hrgnSrc2, OBJ_REGION);
    if (!dst || !a) return ERROR;
    switch (iMode) {
    case RGN_COPY:
        dst->box = a->box;
        break;
    case RGN_AND:
        if (!b) return ERROR;
        dst->box = intersect(a->box, b->box);
        if (isEmpty(dst->box)) dst->box = RECT{0, 0, 0, 0};
        break;
    default:
        // Unions and differences are not rectangles in general; this layer keeps regions
        // rectangular and refuses them.
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    return kindOf(dst->box);
}
