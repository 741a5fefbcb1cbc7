// CDrawContext: a drawing surface over a Windows device context, with an origin offset that
// containers shift while they draw their children, a clip rectangle, the current colours,
// pen, brush and font, and the mouse queries that controls poll in their tracking loops.
// [UI thread] Contexts are short-lived: made per window message or idle pass and
// released with forget (or kept on the stack by the window procedure).
#pragma once

#include "refcounter.h"
#include "types.h"

#include <windows.h>

#include <cstdint>

namespace toolkit {

class CFrame;

// Horizontal text alignment for drawString.
enum CHoriTxtAlign : std::int32_t { kLeftText = 0, kCenterText = 1, kRightText = 2 };

// Font style bits for setFont.
enum : std::int32_t { kNormalFace = 0, kBoldFace = 1, kItalicFace = 2, kUnderlineFace = 4 };

// Line styles for setLineStyle.
enum CLineStyle : std::int32_t { kLineSolid = 0, kLineOnOffDash = 1 };

class CDrawContext : public CReferenceCounter {
public:
    // Any of the three may be null. Without a DC but with a window, the context takes the
    // window's DC with GetDC and releases it when it goes.
    CDrawContext(CFrame* frame, HDC systemContext, HWND window);
    ~CDrawContext() override;

    // Lines and rectangles; every coordinate has `offset` added before it reaches GDI.
    void moveTo(const CPosition& point);
    void lineTo(const CPosition& point);
    // Outline through all four corners, right and bottom edges included, with the pen.
    void drawRect(const CRectangle& rect);
    // Fills (left+1, top+1)..(right, bottom): row `top` and column `left` stay untouched, so
    // that an outline drawn with drawRect over the same rectangle covers them.
    void fillRect(const CRectangle& rect);

    void setFrameColor(const CColorRGBA& color);
    CColorRGBA getFrameColor() const { return frameColor; }
    void setLineStyle(std::int32_t style);
    std::int32_t getLineStyle() const { return lineStyle; }
    void setLineWidth(std::int32_t width);
    std::int32_t getLineWidth() const { return frameWidth; }
    // A failed brush creation keeps the previous brush (the colour is still stored).
    void setFillColor(const CColorRGBA& color);
    CColorRGBA getFillColor() const { return fillColor; }
    void setFontColor(const CColorRGBA& color);
    CColorRGBA getFontColor() const { return fontColor; }

    // Selects font `id` of the font table (ids outside 0..7 are 0) at `size` pixels (0: the
    // table's size) with the kBoldFace/kItalicFace/kUnderlineFace bits of `style`.
    void setFont(std::int32_t id, std::int32_t size = 0, std::int32_t style = 0);
    std::int32_t getFont() const { return fontId; }
    std::int32_t getFontSize() const { return fontSize; }

    // Single line of `text` in `rect`, vertically centred; a null text draws nothing. With
    // left alignment the text starts one pixel right of rect.left.
    void drawString(const char* text, const CRectangle& rect, bool opaque = false,
                    std::int32_t align = kCenterText);

    // The clip in the caller's coordinates; the region work is skipped when it is unchanged.
    void setClipRect(const CRectangle& clip);
    CRectangle& getClipRect(CRectangle& clip) const;

    // The cursor in the window's coordinates (screen position minus the screen offset).
    void getMouseLocation(CPosition& point) const;
    // The buttons and modifiers held at the moment of the call (buttonLeft, modShift, ...).
    std::int32_t getMouseButtons() const;
    // Called right after a button-down: true when a second button-down arrives within the
    // double-click time while the mouse stays within ±2 pixels (the message is consumed).
    bool waitDoubleClick() const;

    HDC getSystemContext() const { return systemContext; }
    HWND getWindow() const { return window; }
    CFrame* getFrame() const { return frame; }
    const CPosition& getOffset() const { return offset; }
    void setOffset(const CPosition& newOffset) { offset = newOffset; }
    const CPosition& getScreenOffset() const { return offsetScreen; }
    void setScreenOffset(const CPosition& newOffset) { offsetScreen = newOffset; }

    // Screen position of the window's top-left corner ((0,0) without a window).
    CPosition offsetScreen;
    // Added to every coordinate; containers shift it while they draw their children.
    CPosition offset;

protected:
    // Replace the GDI objects after a state change; nothing happens without a DC.
    void replacePen();
    void replaceBrush();

    HDC systemContext = nullptr;
    HWND window = nullptr;
    CFrame* frame = nullptr;
    std::int32_t fontSize = -1; // -1: no font set yet
    std::int32_t fontId = 0;
    CColorRGBA fontColor = kWhiteCColor;
    std::int32_t frameWidth = 1;
    CColorRGBA frameColor = kWhiteCColor;
    CColorRGBA fillColor = kBlackCColor;
    std::int32_t lineStyle = kLineSolid;
    CRectangle clipRect{0, 0, 1000, 1000}; // device coordinates (offset applied)
    HBRUSH brush = nullptr;                // created and owned by the context
    HPEN pen = nullptr;
    HFONT font = nullptr;
    HGDIOBJ oldBrush = nullptr; // selected in the DC before the context took it over
    HGDIOBJ oldPen = nullptr;
    HGDIOBJ oldFont = nullptr;
    std::int32_t penStyle = PS_SOLID;
    HDC ownedContext = nullptr; // from GetDC, released at destruction
};

} // namespace toolkit
