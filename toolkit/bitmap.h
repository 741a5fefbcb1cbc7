// CBitmap: a bitmap from the module's resources (by integer id), drawn opaque or with a
// transparency key. Shared by reference count between the editor and the views that show
// it. [UI thread]
#pragma once

#include "refcounter.h"
#include "types.h"

#include <windows.h>

#include <cstdint>

namespace toolkit {

class CDrawContext;

class CBitmap : public CReferenceCounter {
public:
    // Loads bitmap resource `resourceId` of the module (getModuleInstance). A failed load
    // leaves a usable bitmap of 0 x 0 pixels with a null handle, which draws nothing.
    explicit CBitmap(std::int32_t resourceId);
    // An empty bitmap for subclasses that make their own pixels (the editor's CDIB).
    CBitmap();
    ~CBitmap() override;

    // Copies the `rect`-sized area of the bitmap starting at `offset` to rect (plus the
    // context's offset). Controls pick frames of a strip this way.
    void draw(CDrawContext* context, const CRectangle& rect, const CPosition& offset = CPosition());
    // As draw, but pixels of the transparent colour leave the destination unchanged.
    void drawTransparent(CDrawContext* context, const CRectangle& rect,
                         const CPosition& offset = CPosition());

    std::int32_t getWidth() const { return width; }
    std::int32_t getHeight() const { return height; }
    HBITMAP getHandle() const { return handle; }
    std::int32_t getResourceId() const { return resourceId; }
    void setTransparentColor(const CColorRGBA& color) { transparentColor = color; }
    CColorRGBA getTransparentColor() const { return transparentColor; }
    // A monochrome mask of the bitmap's size (1 = transparent), owned from now on. When set,
    // drawTransparent uses it instead of the colour key.
    void setMaskHandle(HBITMAP mask);
    HBITMAP getMaskHandle() const { return maskHandle; }

protected:
    std::int32_t resourceId = 0;
    std::int32_t width = 0; // pixels
    std::int32_t height = 0;
    CColorRGBA transparentColor = kTransparentCColor;
    HBITMAP handle = nullptr;     // owned
    HBITMAP maskHandle = nullptr; // owned

private:
    void blitThroughMask(HDC destination, HDC source, const RECT& to, POINT from) const;
    void blitThroughKeyMask(HDC destination, HDC source, const RECT& to, POINT from) const;
};

} // namespace toolkit
