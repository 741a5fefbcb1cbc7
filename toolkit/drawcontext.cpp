#include "drawcontext.h"

#include "drawglobals.h"
#include "fonttable.h"
#include "frame.h"

#include <cstring>

namespace toolkit {

namespace {

// DrawTextA formats: one vertically centred line, '&' drawn as is.
constexpr UINT kTextFormatBase = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX; // 0x824
constexpr BYTE kClipStrokePrecision = 2;
constexpr BYTE kOutStringPrecision = 1;

bool keyDown(int virtualKey) {
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

} // namespace

CDrawContext::CDrawContext(CFrame* owner, HDC dc, HWND hwnd)
    : systemContext(dc), window(hwnd), frame(owner) {
    if (frame != nullptr) {
        frame->getViewSize(clipRect);
    }
    if (systemContext == nullptr && window != nullptr) {
        systemContext = GetDC(window);
        ownedContext = systemContext;
    }
    if (systemContext != nullptr) {
        oldBrush = GetCurrentObject(systemContext, OBJ_BRUSH);
        oldPen = GetCurrentObject(systemContext, OBJ_PEN);
        oldFont = GetCurrentObject(systemContext, OBJ_FONT);
        SetBkMode(systemContext, TRANSPARENT);
    }
    if (window != nullptr) {
        RECT r;
        if (GetWindowRect(window, &r)) {
            offsetScreen = CPosition(r.left, r.top);
        }
    }
    if (systemContext != nullptr) {
        setFrameColor(frameColor);
        setLineStyle(lineStyle);
        setFillColor(fillColor);
        setFontColor(fontColor);
    }
}

CDrawContext::~CDrawContext() {
    if (systemContext != nullptr) {
        if (oldBrush != nullptr) SelectObject(systemContext, oldBrush);
        if (oldPen != nullptr) SelectObject(systemContext, oldPen);
        if (oldFont != nullptr) SelectObject(systemContext, oldFont);
    }
    if (brush != nullptr) DeleteObject(brush);
    if (pen != nullptr) DeleteObject(pen);
    if (font != nullptr) DeleteObject(font);
    if (ownedContext != nullptr) ReleaseDC(window, ownedContext);
}

void CDrawContext::moveTo(const CPosition& point) {
    MoveToEx(systemContext, point.x + offset.x, point.y + offset.y, nullptr);
}

void CDrawContext::lineTo(const CPosition& point) {
    LineTo(systemContext, point.x + offset.x, point.y + offset.y);
}

void CDrawContext::drawRect(const CRectangle& rect) {
    const int l = rect.left + offset.x, t = rect.top + offset.y;
    const int r = rect.right + offset.x, b = rect.bottom + offset.y;
    MoveToEx(systemContext, l, t, nullptr);
    LineTo(systemContext, r, t);
    LineTo(systemContext, r, b);
    LineTo(systemContext, l, b);
    LineTo(systemContext, l, t);
}

void CDrawContext::fillRect(const CRectangle& rect) {
    RECT r{rect.left + 1 + offset.x, rect.top + 1 + offset.y, rect.right + offset.x,
           rect.bottom + offset.y};
    HGDIOBJ previousPen = SelectObject(systemContext, GetStockObject(NULL_PEN));
    FillRect(systemContext, &r, brush);
    if (previousPen != nullptr) SelectObject(systemContext, previousPen);
}

void CDrawContext::replacePen() {
    if (systemContext == nullptr) return;
    LOGPEN logical{static_cast<UINT>(penStyle), POINT{frameWidth, 0}, toColorRef(frameColor)};
    HPEN created = CreatePenIndirect(&logical);
    if (created == nullptr) return;
    SelectObject(systemContext, created);
    if (pen != nullptr) DeleteObject(pen);
    pen = created;
}

void CDrawContext::replaceBrush() {
    if (systemContext == nullptr) return;
    LOGBRUSH logical{BS_SOLID, toColorRef(fillColor), 0};
    HBRUSH created = CreateBrushIndirect(&logical);
    if (created == nullptr) {
        GetLastError(); // read and ignored: the previous brush stays
        return;
    }
    SelectObject(systemContext, created);
    if (brush != nullptr) DeleteObject(brush);
    brush = created;
}

void CDrawContext::setFrameColor(const CColorRGBA& color) {
    frameColor = color;
    replacePen();
}

void CDrawContext::setLineStyle(std::int32_t style) {
    lineStyle = style;
    penStyle = style == kLineOnOffDash ? PS_DOT : PS_SOLID;
    replacePen();
}

void CDrawContext::setLineWidth(std::int32_t width) {
    frameWidth = width;
    replacePen();
}

void CDrawContext::setFillColor(const CColorRGBA& color) {
    fillColor = color;
    if (systemContext != nullptr) SetBkColor(systemContext, toColorRef(color));
    replaceBrush();
}

void CDrawContext::setFontColor(const CColorRGBA& color) {
    fontColor = color;
    if (systemContext != nullptr) SetTextColor(systemContext, toColorRef(color));
}

void CDrawContext::setFont(std::int32_t id, std::int32_t size, std::int32_t style) {
    id = validFontId(id);
    if (size == 0) size = toolkit::fontSize(id);
    fontId = id;
    fontSize = size;

    LOGFONTA logical{};
    logical.lfHeight = -size;
    logical.lfWidth = 0;
    logical.lfWeight = (style & kBoldFace) != 0 || id == kSystemFont ? FW_BOLD : FW_NORMAL;
    logical.lfItalic = (style & kItalicFace) != 0 ? 1 : 0;
    logical.lfUnderline = (style & kUnderlineFace) != 0 ? 1 : 0;
    logical.lfCharSet = ANSI_CHARSET;
    logical.lfOutPrecision = kOutStringPrecision;
    logical.lfClipPrecision = kClipStrokePrecision;
    logical.lfQuality = DEFAULT_QUALITY;
    logical.lfPitchAndFamily = id == kSymbolFont ? FF_DECORATIVE : VARIABLE_PITCH | FF_SWISS;
    std::strncpy(logical.lfFaceName, fontFace(id), LF_FACESIZE - 1);

    HFONT created = CreateFontIndirectA(&logical);
    if (created == nullptr) return;
    if (systemContext != nullptr) SelectObject(systemContext, created);
    if (font != nullptr) DeleteObject(font);
    font = created;
}

void CDrawContext::drawString(const char* text, const CRectangle& rect, bool opaque,
                              std::int32_t align) {
    if (text == nullptr) return;
    SetBkMode(systemContext, opaque ? OPAQUE : TRANSPARENT);
    RECT r{rect.left + offset.x, rect.top + offset.y, rect.right + offset.x,
           rect.bottom + offset.y};
    UINT format = kTextFormatBase;
    if (align == kCenterText) {
        format |= DT_CENTER;
    } else if (align == kRightText) {
        format |= DT_RIGHT;
    } else {
        format |= DT_LEFT;
        r.left += 1;
    }
    DrawTextA(systemContext, text, static_cast<int>(std::strlen(text)), &r, format);
    SetBkMode(systemContext, TRANSPARENT);
}

void CDrawContext::setClipRect(const CRectangle& clip) {
    CRectangle device = clip;
    device.offset(offset.x, offset.y);
    if (device == clipRect) return;
    clipRect = device;
    HRGN region = CreateRectRgn(device.left, device.top, device.right, device.bottom);
    SelectClipRgn(systemContext, region);
    DeleteObject(region);
}

CRectangle& CDrawContext::getClipRect(CRectangle& clip) const {
    clip = clipRect;
    clip.offset(-offset.x, -offset.y);
    return clip;
}

void CDrawContext::getMouseLocation(CPosition& point) const {
    POINT where{0, 0};
    GetCursorPos(&where);
    point = CPosition(where.x - offsetScreen.x, where.y - offsetScreen.y);
}

std::int32_t CDrawContext::getMouseButtons() const {
    // GetAsyncKeyState reports the physical buttons; the logical ones follow the swap flag.
    std::int32_t buttons = 0;
    if (keyDown(VK_LBUTTON)) buttons |= gSwapMouseButtons ? buttonRight : buttonLeft;
    if (keyDown(VK_MBUTTON)) buttons |= buttonMiddle;
    if (keyDown(VK_RBUTTON)) buttons |= gSwapMouseButtons ? buttonLeft : buttonRight;
    if (keyDown(VK_SHIFT)) buttons |= modShift;
    if (keyDown(VK_CONTROL)) buttons |= modControl;
    if (keyDown(VK_MENU)) buttons |= modAlt;
    return buttons;
}

bool CDrawContext::waitDoubleClick() const {
    CPosition first;
    getMouseLocation(first);
    const CRectangle around(first.x - 2, first.y - 2, first.x + 2, first.y + 2);

    // Unsigned arithmetic, like the tick count itself.
    const DWORD limit = static_cast<DWORD>(GetMessageTime()) + GetDoubleClickTime();
    if (GetTickCount() >= limit) return false;
    do {
        CPosition now;
        getMouseLocation(now);
        if (!around.pointInside(now)) return false;
        MSG message;
        if (PeekMessageA(&message, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN,
                         PM_REMOVE | PM_NOYIELD)) {
            return true;
        }
    } while (GetTickCount() < limit);
    return false;
}

} // namespace toolkit
