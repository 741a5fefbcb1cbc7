// COffscreenContext: a drawing context on a memory bitmap, used by containers for double
// buffering: they draw into it and copy the finished rectangle to the window in one blit.
// [UI thread]
#pragma once

#include "drawcontext.h"

namespace toolkit {

class CBitmap;

class COffscreenContext : public CDrawContext {
public:
    // A width x height memory bitmap compatible with the frame's window (the screen without
    // one), every pixel starting in `background`.
    COffscreenContext(CFrame* frame, std::int32_t width, std::int32_t height,
                      const CColorRGBA& background = kBlackCColor);
    ~COffscreenContext() override;

    // Copies destRect's size from srcOffset in this bitmap to destRect (plus the
    // destination's offset) in `destination`.
    void copyFrom(CDrawContext* destination, const CRectangle& destRect,
                  const CPosition& srcOffset = CPosition());

    std::int32_t getWidth() const { return width; }
    std::int32_t getHeight() const { return height; }
    CColorRGBA getBackgroundColor() const { return backgroundColor; }
    HBITMAP getBitmapHandle() const { return offscreenBitmap; }

protected:
    CBitmap* sourceBitmap = nullptr; // reference-counted; nothing sets it
    std::int32_t reserved = 0;
    std::int32_t height = 0;
    std::int32_t width = 0;
    bool ownsBitmap = true;
    CColorRGBA backgroundColor;
    HGDIOBJ previousBitmap = nullptr; // selected in the memory DC before ours
    HBITMAP offscreenBitmap = nullptr;
};

} // namespace toolkit
