#include "bitmap.h"

#include "drawcontext.h"
#include "drawglobals.h"

namespace toolkit {

namespace {

// A memory DC holding one bitmap for the length of a blit.
class SelectedBitmap {
public:
    SelectedBitmap(HDC compatibleWith, HBITMAP bitmap)
        : dc(CreateCompatibleDC(compatibleWith)), previous(SelectObject(dc, bitmap)) {}
    ~SelectedBitmap() {
        if (previous != nullptr) SelectObject(dc, previous);
        DeleteDC(dc);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;
    HDC get() const { return dc; }

private:
    HDC dc;
    HGDIOBJ previous;
};

int widthOf(const RECT& r) {
    return r.right - r.left;
}
int heightOf(const RECT& r) {
    return r.bottom - r.top;
}

} // namespace

CBitmap::CBitmap(std::int32_t id) : resourceId(id) {
    handle = LoadBitmapA(getModuleInstance(), MAKEINTRESOURCEA(id));
    BITMAP record;
    if (handle != nullptr && GetObjectA(handle, sizeof(record), &record) != 0) {
        width = record.bmWidth;
        height = record.bmHeight;
    }
    transparentColor = kTransparentCColor;
}

CBitmap::CBitmap() = default;

CBitmap::~CBitmap() {
    if (handle != nullptr) DeleteObject(handle);
    if (maskHandle != nullptr) DeleteObject(maskHandle);
}

void CBitmap::setMaskHandle(HBITMAP mask) {
    if (maskHandle != nullptr && maskHandle != mask) DeleteObject(maskHandle);
    maskHandle = mask;
}

void CBitmap::draw(CDrawContext* context, const CRectangle& rect, const CPosition& offset) {
    if (handle == nullptr || context == nullptr) return;
    HDC destination = context->getSystemContext();
    SelectedBitmap source(destination, handle);
    const CPosition& shift = context->getOffset();
    BitBlt(destination, rect.left + shift.x, rect.top + shift.y, rect.width(), rect.height(),
           source.get(), offset.x, offset.y, SRCCOPY);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRectangle& rect,
                              const CPosition& offset) {
    if (handle == nullptr || context == nullptr) return;
    if (rect.width() <= 0 || rect.height() <= 0) return;
    HDC destination = context->getSystemContext();
    SelectedBitmap source(destination, handle);
    const CPosition& shift = context->getOffset();
    const RECT to{rect.left + shift.x, rect.top + shift.y, rect.right + shift.x,
                  rect.bottom + shift.y};
    const POINT from{offset.x, offset.y};

    if (maskHandle != nullptr) {
        blitThroughMask(destination, source.get(), to, from);
    } else if (gTransparentBlt != nullptr) {
        gTransparentBlt(destination, to.left, to.top, widthOf(to), heightOf(to), source.get(),
                        from.x, from.y, widthOf(to), heightOf(to), toColorRef(transparentColor));
    } else {
        blitThroughKeyMask(destination, source.get(), to, from);
    }
}

// With a mask of 1 for transparent pixels: dst ^ src, & mask, ^ src leaves dst where the mask
// is 1 and src where it is 0. Composed in a temporary bitmap, so the screen sees one copy.
void CBitmap::blitThroughMask(HDC destination, HDC source, const RECT& to, POINT from) const {
    const int w = widthOf(to), h = heightOf(to);
    HBITMAP scratch = CreateCompatibleBitmap(destination, w, h);
    {
        SelectedBitmap work(destination, scratch);
        SelectedBitmap mask(destination, maskHandle);
        BitBlt(work.get(), 0, 0, w, h, destination, to.left, to.top, SRCCOPY);
        BitBlt(work.get(), 0, 0, w, h, source, from.x, from.y, SRCINVERT);
        BitBlt(work.get(), 0, 0, w, h, mask.get(), from.x, from.y, SRCAND);
        BitBlt(work.get(), 0, 0, w, h, source, from.x, from.y, SRCINVERT);
        BitBlt(destination, to.left, to.top, w, h, work.get(), 0, 0, SRCCOPY);
    }
    DeleteObject(scratch);
}

// Without msimg32: build a monochrome mask from the colour key (key pixels 1, others 0) and
// combine as above directly on the destination.
void CBitmap::blitThroughKeyMask(HDC destination, HDC source, const RECT& to, POINT from) const {
    const int w = widthOf(to), h = heightOf(to);
    HBITMAP monochrome = CreateBitmap(w, h, 1, 1, nullptr);
    {
        SelectedBitmap mask(destination, monochrome);
        // Colour to monochrome: pixels equal to the source's background colour become 1.
        SetBkColor(source, toColorRef(transparentColor));
        BitBlt(mask.get(), 0, 0, w, h, source, from.x, from.y, SRCCOPY);
        // Monochrome to colour on the destination: 1 becomes white, 0 black.
        const COLORREF previousBack = SetBkColor(destination, RGB(255, 255, 255));
        const COLORREF previousText = SetTextColor(destination, RGB(0, 0, 0));
        BitBlt(destination, to.left, to.top, w, h, source, from.x, from.y, SRCINVERT);
        BitBlt(destination, to.left, to.top, w, h, mask.get(), 0, 0, SRCAND);
        BitBlt(destination, to.left, to.top, w, h, source, from.x, from.y, SRCINVERT);
        SetBkColor(destination, previousBack);
        SetTextColor(destination, previousText);
    }
    DeleteObject(monochrome);
}

} // namespace toolkit
