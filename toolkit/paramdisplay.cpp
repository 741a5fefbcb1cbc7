#include "paramdisplay.h"

#include "bitmap.h"

#include <cstdio>

namespace toolkit {

namespace {

template <typename T> void setLook(T& field, const T& val, CParamDisplay& display) {
    if (!(field == val)) {
        field = val;
        display.setDirty(true);
    }
}

} // namespace

CParamDisplay::CParamDisplay(const CRectangle& size, CBitmap* background, std::int32_t style)
    : CControl(size, nullptr, 0, background), style(style) {
    if (style & kNoDrawStyle) {
        setDirty(false);
    }
}

CParamDisplay::~CParamDisplay() = default;

void CParamDisplay::setFont(std::int32_t val) {
    setLook(fontId, val, *this);
}
void CParamDisplay::setFontColor(const CColorRGBA& color) {
    setLook(fontColor, color, *this);
}
void CParamDisplay::setBackColor(const CColorRGBA& color) {
    setLook(backColor, color, *this);
}
void CParamDisplay::setFrameColor(const CColorRGBA& color) {
    setLook(frameColor, color, *this);
}
void CParamDisplay::setShadowColor(const CColorRGBA& color) {
    setLook(shadowColor, color, *this);
}
void CParamDisplay::setHoriAlign(std::int32_t align) {
    setLook(horiTxtAlign, align, *this);
}
void CParamDisplay::setStringConvertWithData(CParamDisplayValueToStringProcWithData convert,
                                             void* data) {
    stringConvert2 = convert;
    userData = data;
}
void CParamDisplay::setString2ValueConvert(CParamDisplayStringToValueProc convert) {
    string2ValueConvert = convert;
}
void CParamDisplay::setStringConvert(CParamDisplayValueToStringProc convert) {
    stringConvert = convert;
}
void CParamDisplay::setStyle(std::int32_t val) {
    setLook(style, val, *this);
}
void CParamDisplay::setTxtFace(std::int32_t val) {
    setLook(txtFace, val, *this);
}
void CParamDisplay::setTextTransparency(bool val) {
    textTransparencyEnabled = val;
}

void CParamDisplay::valueToText(char* text) const {
    text[0] = 0;
    if (stringConvert2) {
        stringConvert2(value, text, userData);
    } else if (stringConvert) {
        stringConvert(value, text);
    } else {
        std::snprintf(text, 256, "%2.2f", static_cast<double>(value));
    }
}

void CParamDisplay::draw(CDrawContext* context) {
    if (!(style & kNoDrawStyle) && context) {
        char text[256];
        valueToText(text);
        drawText(context, text);
    }
    setDirty(false);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text) {
    if ((style & kNoDrawStyle) || !context) {
        return;
    }
    if (pBackground) {
        if (transparencyEnabled) {
            pBackground->drawTransparent(context, size, backOffset);
        } else {
            pBackground->draw(context, size, backOffset);
        }
    } else if (!transparencyEnabled) {
        // fillRect leaves its top row and left column alone: start one pixel earlier so
        // the whole control is covered.
        context->setFillColor(backColor);
        context->fillRect(CRectangle(size.left - 1, size.top - 1, size.right, size.bottom));
    }
    if (!(style & kNoFrame)) {
        const CRectangle edge(size.left, size.top, size.right - 1, size.bottom - 1);
        if (style & (k3DIn | k3DOut)) {
            // Bevel: the lit edges (top, left) and the shaded ones (bottom, right) swap
            // between the sunken and the raised style.
            const bool sunken = (style & k3DIn) != 0;
            context->setFrameColor(sunken ? frameColor : kWhiteCColor);
            context->moveTo(CPosition(edge.left, edge.bottom));
            context->lineTo(CPosition(edge.left, edge.top));
            context->lineTo(CPosition(edge.right + 1, edge.top));
            context->setFrameColor(sunken ? kWhiteCColor : frameColor);
            context->moveTo(CPosition(edge.right, edge.top + 1));
            context->lineTo(CPosition(edge.right, edge.bottom));
            context->lineTo(CPosition(edge.left, edge.bottom));
        } else {
            context->setFrameColor(frameColor);
            context->drawRect(edge);
        }
    }
    if (style & kNoTextStyle) {
        return;
    }
    context->setFont(fontId, 0, txtFace);
    if (style & kShadowedText) {
        CRectangle shadow = size;
        shadow.offset(1, 1);
        context->setFontColor(shadowColor);
        context->drawString(text, shadow, false, horiTxtAlign);
    }
    context->setFontColor(fontColor);
    context->drawString(text, size, !textTransparencyEnabled, horiTxtAlign);
}

} // namespace toolkit
