// Device contexts: creation, selection of objects, attributes, deletion of objects.
#include "gdi/dc_internal.h"

#include <windows.h>

#include <cstring>

namespace kavet::platform::gdi {

void initialiseDc(Dc& dc) {
    dc.pen = static_cast<Pen*>(stock(BLACK_PEN));
    dc.brush = static_cast<Brush*>(stock(WHITE_BRUSH));
    dc.font = static_cast<Font*>(stock(SYSTEM_FONT));
    dc.pen->selections++;
    dc.brush->selections++;
    dc.font->selections++;
    registerObject(&dc);
}

void destroyDc(Dc* dc) {
    releaseSelection(dc->pen);
    releaseSelection(dc->brush);
    releaseSelection(dc->font);
    if (dc->bitmap) {
        dc->bitmap->selectedIn = nullptr;
        releaseSelection(dc->bitmap);
    }
    destroyObject(dc);
}

namespace {

void visibleFromBitmap(Dc& dc) {
    dc.visible = RECT{0, 0, dc.bitmap->width, dc.bitmap->height};
}

template <class T> HGDIOBJ swapSelection(T*& slot, Object* next) {
    T* previous = slot;
    next->selections++;
    slot = static_cast<T*>(next);
    // A previous object that was deleted while selected goes now; its handle is dead.
    bool goes = previous && previous->deletePending && previous->selections == 1;
    HGDIOBJ result = previous && !goes ? handleOf(previous) : nullptr;
    releaseSelection(previous);
    return result;
}

} // namespace
} // namespace kavet::platform::gdi

using namespace kavet::platform::gdi;

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !dcOf(hdc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto* dc = new Dc(true);
    dc->bitmap = stockMonoBitmap();
    dc->bitmap->selections++;
    visibleFromBitmap(*dc);
    initialiseDc(*dc);
    return static_cast<HDC>(handleOf(dc));
}

BOOL WINAPI DeleteDC(HDC hdc) {
    Dc* dc = dcOf(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    destroyDc(dc);
    return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    Dc* dc = dcOf(hdc);
    Object* o = lookup(h);
    if (!dc || !o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    switch (o->type) {
    case OBJ_PEN:
        return swapSelection(dc->pen, o);
    case OBJ_BRUSH:
        return swapSelection(dc->brush, o);
    case OBJ_FONT:
        return swapSelection(dc->font, o);
    case OBJ_REGION:
        return reinterpret_cast<HGDIOBJ>(
            static_cast<std::intptr_t>(SelectClipRgn(hdc, static_cast<HRGN>(h))));
    case OBJ_BITMAP: {
        auto* bm = static_cast<Bitmap*>(o);
        // Only memory DCs hold bitmaps, and a bitmap lives in one DC at a time (the stock
        // 1 x 1 bitmap excepted, which every new memory DC starts with).
        if (!dc->isMemory() || (bm->selectedIn && bm->selectedIn != dc && !bm->stock)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        Bitmap* previous = dc->bitmap;
        if (previous == bm) return h;
        if (previous) previous->selectedIn = nullptr;
        bm->selectedIn = bm->stock ? nullptr : dc;
        dc->bitmap = bm;
        bm->selections++;
        visibleFromBitmap(*dc);
        HGDIOBJ result = handleOf(previous);
        releaseSelection(previous);
        return result;
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

BOOL WINAPI DeleteObject(HGDIOBJ h) {
    Object* o = lookup(h);
    if (!o || o->type == OBJ_DC || o->type == OBJ_MEMDC) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (o->stock) return TRUE;
    if (o->selections > 0) {
        // A bitmap in use by a DC cannot go; pens, brushes and fonts go when let go of.
        if (o->type == OBJ_BITMAP) return FALSE;
        o->deletePending = true;
        return TRUE;
    }
    destroyObject(o);
    return TRUE;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    Dc* dc = dcOf(hdc);
    if (!dc) return nullptr;
    switch (type) {
    case OBJ_PEN:
        return handleOf(dc->pen);
    case OBJ_BRUSH:
        return handleOf(dc->brush);
    case OBJ_FONT:
        return handleOf(dc->font);
    case OBJ_BITMAP:
        return dc->bitmap ? handleOf(dc->bitmap) : nullptr;
    default:
        return nullptr;
    }
}

HGDIOBJ WINAPI GetStockObject(int i) {
    Object* o = stock(i);
    return o ? handleOf(o) : nullptr;
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
    Object* o = lookup(h);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return o->type;
}

namespace {

template <class T> int copyOut(const T& value, int c, LPVOID pv) {
    if (!pv) return static_cast<int>(sizeof(T));
    if (c <= 0) return 0;
    int n = c < static_cast<int>(sizeof(T)) ? c : static_cast<int>(sizeof(T));
    std::memcpy(pv, &value, static_cast<std::size_t>(n));
    return n;
}

BITMAP bitmapRecord(Bitmap& bm) {
    BITMAP b{};
    b.bmWidth = bm.width;
    b.bmHeight = bm.height;
    b.bmPlanes = 1;
    if (bm.mono) {
        b.bmBitsPixel = 1;
        b.bmWidthBytes = ((bm.width + 15) / 16) * 2;
    } else {
        b.bmBitsPixel = 32;
        b.bmWidthBytes = bm.width * 4;
    }
    if (bm.dibSection) b.bmBits = bm.bits.data();
    return b;
}

} // namespace

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    Object* o = lookup(h);
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    switch (o->type) {
    case OBJ_PEN:
        return copyOut(static_cast<Pen*>(o)->logical, c, pv);
    case OBJ_BRUSH:
        return copyOut(static_cast<Brush*>(o)->logical, c, pv);
    case OBJ_FONT:
        return copyOut(static_cast<Font*>(o)->logical, c, pv);
    case OBJ_BITMAP: {
        auto* bm = static_cast<Bitmap*>(o);
        BITMAP b = bitmapRecord(*bm);
        if (bm->dibSection && (!pv || c >= static_cast<int>(sizeof(DIBSECTION)))) {
            DIBSECTION ds{};
            ds.dsBm = b;
            ds.dsBmih = bm->header;
            return copyOut(ds, c, pv);
        }
        return copyOut(b, c, pv);
    }
    default:
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
}

int WINAPI SetBkMode(HDC hdc, int mode) {
    Dc* dc = dcOf(hdc);
    if (!dc || (mode != OPAQUE && mode != TRANSPARENT)) {
        SetLastError(dc ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return 0;
    }
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

int WINAPI GetBkMode(HDC hdc) {
    Dc* dc = dcOf(hdc);
    return dc ? dc->bkMode : 0;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
    Dc* dc = dcOf(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->bkColor;
    dc->bkColor = color & 0x00FFFFFF;
    return previous;
}

COLORREF WINAPI GetBkColor(HDC hdc) {
    Dc* dc = dcOf(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    Dc* dc = dcOf(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF previous = dc->textColor;
    dc->textColor = color & 0x00FFFFFF;
    return previous;
}

COLORREF WINAPI GetTextColor(HDC hdc) {
    Dc* dc = dcOf(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}

UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
    Dc* dc = dcOf(hdc);
    if (!dc) return static_cast<UINT>(GDI_ERROR);
    UINT previous = dc->textAlign;
    dc->textAlign = align;
    return previous;
}

UINT WINAPI GetTextAlign(HDC hdc) {
    Dc* dc = dcOf(hdc);
    return dc ? dc->textAlign : static_cast<UINT>(GDI_ERROR);
}
