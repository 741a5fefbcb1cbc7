#include "offscreencontext.h"

#include "bitmap.h"
#include "frame.h"

#include <algorithm>

namespace toolkit {

COffscreenContext::COffscreenContext(CFrame* owner, std::int32_t w, std::int32_t h,
                                     const CColorRGBA& background)
    : CDrawContext(owner, nullptr, nullptr), height(h), width(w), backgroundColor(background) {
    clipRect = CRectangle(std::min(0, w), std::min(0, h), std::max(0, w), std::max(0, h));

    HWND frameWindow = owner != nullptr ? owner->getWindow() : nullptr;
    HDC windowContext = GetDC(frameWindow);
    systemContext = CreateCompatibleDC(windowContext);
    offscreenBitmap = CreateCompatibleBitmap(windowContext, clipRect.width(), clipRect.height());
    previousBitmap = SelectObject(systemContext, offscreenBitmap);
    ReleaseDC(frameWindow, windowContext);

    // The memory DC starts with the stock objects; remember them for the base destructor,
    // and let text keep the background as the window contexts do.
    oldBrush = GetCurrentObject(systemContext, OBJ_BRUSH);
    oldPen = GetCurrentObject(systemContext, OBJ_PEN);
    oldFont = GetCurrentObject(systemContext, OBJ_FONT);
    SetBkMode(systemContext, TRANSPARENT);
    setFontColor(fontColor);

    setFillColor(background);
    setFrameColor(background);
    fillRect(clipRect);
    drawRect(clipRect);
}

COffscreenContext::~COffscreenContext() {
    if (sourceBitmap != nullptr) sourceBitmap->forget();
    if (systemContext != nullptr) {
        // Put the stock objects back so that ours can be deleted, then drop the DC.
        if (previousBitmap != nullptr) SelectObject(systemContext, previousBitmap);
        if (oldBrush != nullptr) SelectObject(systemContext, oldBrush);
        if (oldPen != nullptr) SelectObject(systemContext, oldPen);
        if (oldFont != nullptr) SelectObject(systemContext, oldFont);
        DeleteDC(systemContext);
        systemContext = nullptr;
    }
    if (offscreenBitmap != nullptr && ownsBitmap) DeleteObject(offscreenBitmap);
}

void COffscreenContext::copyFrom(CDrawContext* destination, const CRectangle& destRect,
                                 const CPosition& srcOffset) {
    if (destination == nullptr) return;
    const CPosition& shift = destination->getOffset();
    BitBlt(destination->getSystemContext(), destRect.left + shift.x, destRect.top + shift.y,
           destRect.width(), destRect.height(), systemContext, srcOffset.x, srcOffset.y, SRCCOPY);
}

} // namespace toolkit
