#include "textedit.h"

#include "drawglobals.h"
#include "fonttable.h"
#include "frame.h"

#include <algorithm>
#include <cstring>

namespace toolkit {

namespace {

// The EDIT class's own procedure, saved when an edit window is subclassed. Process-wide:
// only one text edit is open at a time (the frame has one focus view).
WNDPROC gPreviousEditProc = nullptr;

// Copies at most CTextEdit::kMaxTextLength bytes of `from` and terminates.
void copyText(char* to, const char* from) {
    std::size_t n = std::strlen(from);
    n = std::min<std::size_t>(n, CTextEdit::kMaxTextLength);
    std::memmove(to, from, n);
    to[n] = 0;
}

// Modifier bits that offer a click to the listener first: Shift, Control, Alt and 0x40.
constexpr std::int32_t kModifierClickMask = 0x78;

} // namespace

CTextEdit::CTextEdit(const CRectangle& size, CControlListener* listener, std::int32_t tag,
                     const char* txt, CBitmap* background, std::int32_t style)
    : CParamDisplay(size, background, style) {
    this->listener = listener;
    this->tag = tag;
    if (txt) {
        copyText(text, txt);
    }
}

CTextEdit::~CTextEdit() {
    // An edit still open goes without telling anyone: no listener, no frame to repaint.
    listener = nullptr;
    // The frame must not keep a focus view that is going away (its setFocusView calls
    // loseFocus, which returns at once as the focus view is no longer this control). An open
    // edit window means the frame is intact: a frame that goes destroys the edit window with
    // its own, and WM_DESTROY lets the control go first.
    if (platformControl && pParentFrame && pParentFrame->getFocusView() == this) {
        pParentFrame->setFocusView(nullptr);
    }
    pParentFrame = nullptr;
    if (platformControl) {
        loseFocus(nullptr);
    }
}

void CTextEdit::setText(const char* txt) {
    if (!txt) {
        return;
    }
    char copy[kTextSize];
    copyText(copy, txt);
    if (std::strcmp(copy, text) != 0) {
        std::memcpy(text, copy, sizeof(text));
        setDirty(true);
    }
}

void CTextEdit::getText(char* txt) const {
    if (txt) {
        std::memcpy(txt, text, std::strlen(text) + 1);
    }
}

void CTextEdit::setTextEditConvertWithData(CTextEditStringToStringProcWithData convert,
                                           void* data) {
    editConvert2 = convert;
    userData = data;
}

void CTextEdit::setTextEditConvert(CTextEditStringToStringProc convert) {
    editConvert = convert;
}

void CTextEdit::draw(CDrawContext* context) {
    if (platformControl) {
        // The edit window shows the text while it is open.
        setDirty(false);
        return;
    }
    char shown[kTextSize] = {};
    if (editConvert2) {
        editConvert2(text, shown, userData);
    } else if (editConvert) {
        editConvert(text, shown);
    } else if (stringConvert2 || stringConvert) {
        valueToText(shown);
        copyText(text, shown);
    } else {
        std::memcpy(shown, text, sizeof(shown));
    }
    shown[kTextSize - 1] = 0;
    drawText(context, shown);
    setDirty(false);
}

void CTextEdit::mouse(CDrawContext* context, CPosition&, std::int32_t buttons) {
    if (!getMouseEnabled()) {
        return;
    }
    if (buttons == kButtonsUnknown) {
        // Without a context there is nothing to read the buttons from: no click.
        buttons = context ? context->getMouseButtons() : 0;
    }
    if (listener && (buttons & kModifierClickMask)) {
        if (listener->controlModifierClicked(context, this, buttons) != 0) {
            return;
        }
    }
    if (!(buttons & buttonLeft)) {
        return;
    }
    CFrame* frame = getFrame();
    if (frame && frame->getFocusView() == this) {
        return;
    }
    if ((style & kDoubleClickStyle) && !isDoubleClick()) {
        return;
    }
    if (frame) {
        frame->setFocusView(this);
    }
    takeFocus(context);
}

CRectangle CTextEdit::editRectangle(CDrawContext* context) const {
    CRectangle rect = size;
    for (CView* parent = pParentView; parent; parent = parent->getParentView()) {
        if (isContainer(parent)) {
            CRectangle origin;
            parent->getViewSize(origin);
            rect.offset(origin.left, origin.top);
        }
    }
    if (context) {
        rect.offset(context->offset.x, context->offset.y);
    }
    return rect;
}

void CTextEdit::createEditFont(const CRectangle& rect) {
    LOGFONTA font{};
    // The table's size, but small enough to fit the control with a pixel above and below.
    font.lfHeight = -std::min(rect.height() - 2, fontSize(fontId));
    font.lfWeight = FW_NORMAL;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::strncpy(font.lfFaceName, fontFace(fontId), LF_FACESIZE - 1);
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfOutPrecision = OUT_STRING_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfCharSet = ANSI_CHARSET;
    platformFont = CreateFontIndirectA(&font);
}

void CTextEdit::takeFocus(CDrawContext* context) {
    if (platformControl) {
        return; // already editing
    }
    returnPressed = false;
    const CRectangle rect = editRectangle(context);
    DWORD editStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
    if (horiTxtAlign == kCenterText) {
        editStyle |= ES_CENTER;
    } else if (horiTxtAlign == kRightText) {
        editStyle |= ES_RIGHT;
    }
    HWND parent = pParentFrame ? pParentFrame->getWindow() : nullptr;
    platformControl =
        CreateWindowExA(0, "EDIT", text, editStyle, rect.left, rect.top, rect.width() + 1,
                        rect.height() + 1, parent, nullptr, getModuleInstance(), nullptr);
    if (!platformControl) {
        return;
    }
    createEditFont(rect);
    SetWindowLongPtrA(platformControl, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SendMessageA(platformControl, WM_SETFONT, reinterpret_cast<WPARAM>(platformFont), TRUE);
    SendMessageA(platformControl, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    SendMessageA(platformControl, EM_SETSEL, 0, -1);
    SendMessageA(platformControl, EM_LIMITTEXT, kMaxTextLength, 0);
    SetFocus(platformControl);
    gPreviousEditProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        platformControl, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CTextEdit::editProc)));
}

void CTextEdit::loseFocus(CDrawContext* context) {
    if (!platformControl) {
        return;
    }
    if (pParentFrame) {
        if (pParentFrame->getFocusView() != this) {
            return;
        }
        // The frame calls loseFocus on the old focus view, which now returns at once.
        pParentFrame->setFocusView(nullptr);
    }
    char oldText[kTextSize];
    std::memcpy(oldText, text, sizeof(oldText));
    // A count of kMaxTextLength, terminator included: the 255th character is dropped.
    GetWindowTextA(platformControl, text, kMaxTextLength);
    HWND edit = platformControl;
    platformControl = nullptr;
    // The window's last messages (focus loss, destruction) must not reach the control.
    SetWindowLongPtrA(edit, GWLP_USERDATA, 0);
    DestroyWindow(edit);
    releaseEditObjects();
    if (listener && std::strcmp(oldText, text) != 0) {
        reportChange(context);
    }
    setDirty(true);
    doIdleStuff();
}

void CTextEdit::releaseEditObjects() {
    if (platformFont) {
        DeleteObject(platformFont);
        platformFont = nullptr;
    }
    if (editBrush) {
        DeleteObject(editBrush);
        editBrush = nullptr;
    }
}

void CTextEdit::reportChange(CDrawContext* context) {
    if (context || !pParentFrame) {
        listener->valueChanged(context, this);
        return;
    }
    // A context of our own for the frame window, its origin at the parent view's.
    HWND window = pParentFrame->getWindow();
    HDC dc = window ? GetDC(window) : nullptr;
    auto* own = new CDrawContext(pParentFrame, dc, window);
    if (pParentView) {
        CRectangle origin;
        pParentView->getViewSize(origin);
        own->setOffset(CPosition(origin.left, origin.top));
    }
    listener->valueChanged(own, this);
    own->forget();
    if (dc) {
        ReleaseDC(window, dc);
    }
}

LRESULT CALLBACK CTextEdit::editProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = reinterpret_cast<CTextEdit*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_GETDLGCODE:
        // Enter, Tab and Escape stay with the edit rather than the host's dialog handling.
        return DLGC_WANTALLKEYS;
    case WM_KILLFOCUS:
        if (control) {
            control->loseFocus(nullptr);
        }
        break;
    case WM_DESTROY:
        // Destroyed with its parent, not by loseFocus: the edit ends without a report.
        if (control && control->platformControl == hwnd) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            control->platformControl = nullptr;
            control->releaseEditObjects();
        }
        break;
    case WM_KEYDOWN:
        if (control && wParam == VK_RETURN) {
            control->returnPressed = true;
            control->loseFocus(nullptr);
        }
        break;
    default:
        break;
    }
    // Once the edit has ended the window is gone; its message goes nowhere.
    if (!IsWindow(hwnd)) {
        return 0;
    }
    return gPreviousEditProc ? CallWindowProcA(gPreviousEditProc, hwnd, message, wParam, lParam)
                             : DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace toolkit
