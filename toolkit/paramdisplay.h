// CParamDisplay: a control that shows its value as text, converted by the owner's callbacks,
// in a font of the font table with its own colours, alignment and frame style. [UI thread]
#pragma once

#include "control.h"
#include "drawcontext.h"

#include <cstdint>

namespace toolkit {

// Value to text; `text` holds at least 256 bytes.
using CParamDisplayValueToStringProc = void (*)(float value, char* text);
using CParamDisplayValueToStringProcWithData = void (*)(float value, char* text, void* userData);
// Text to value: stored for the owner, never called by the display itself.
using CParamDisplayStringToValueProc = void (*)(char* text, float& value, void* userData);

// Style bits of CParamDisplay.
enum : std::int32_t {
    kShadowedText = 0x4,
    k3DIn = 0x80,
    k3DOut = 0x100,
    kNoTextStyle = 0x800,
    kNoDrawStyle = 0x1000,
    kDoubleClickStyle = 0x2000,
    kNoFrame = 0x4000,
};

class CParamDisplay : public CControl {
public:
    // No listener and tag 0. With kNoDrawStyle the control starts clean and never draws.
    CParamDisplay(const CRectangle& size, CBitmap* background = nullptr, std::int32_t style = 0);
    ~CParamDisplay() override;

    void draw(CDrawContext* context) override;

    // Virtual slots in this order, after CControl's. Every setter of a look marks the
    // control dirty when the new value differs.
    virtual void setFont(std::int32_t fontId);
    virtual void setFontColor(const CColorRGBA& color);
    virtual void setBackColor(const CColorRGBA& color);
    virtual void setFrameColor(const CColorRGBA& color);
    virtual void setShadowColor(const CColorRGBA& color);
    virtual void setHoriAlign(std::int32_t align);
    virtual void setStringConvertWithData(CParamDisplayValueToStringProcWithData convert,
                                          void* data);
    virtual void setString2ValueConvert(CParamDisplayStringToValueProc convert);
    virtual void setStringConvert(CParamDisplayValueToStringProc convert);
    virtual void setStyle(std::int32_t val);
    virtual void setTxtFace(std::int32_t val);
    virtual void setTextTransparency(bool val);

    std::int32_t getFont() const { return fontId; }
    CColorRGBA getFontColor() const { return fontColor; }
    CColorRGBA getBackColor() const { return backColor; }
    CColorRGBA getFrameColor() const { return frameColor; }
    CColorRGBA getShadowColor() const { return shadowColor; }
    std::int32_t getHoriAlign() const { return horiTxtAlign; }
    std::int32_t getStyle() const { return style; }
    std::int32_t getTxtFace() const { return txtFace; }
    bool getTextTransparency() const { return textTransparencyEnabled; }
    void* getUserData() const { return userData; }

protected:
    // Background, frame and `text` in the control's rectangle, as the style bits say.
    void drawText(CDrawContext* context, const char* text);
    // The value as text: the converter with data, else the plain one, else "%2.2f".
    void valueToText(char* text) const;

    CParamDisplayValueToStringProc stringConvert = nullptr;
    CParamDisplayValueToStringProcWithData stringConvert2 = nullptr;
    CParamDisplayStringToValueProc string2ValueConvert = nullptr;
    void* userData = nullptr;
    std::int32_t horiTxtAlign = kCenterText;
    std::int32_t style;
    std::int32_t fontId = 3;
    std::int32_t txtFace = kNormalFace;
    CColorRGBA fontColor = kWhiteCColor;
    CColorRGBA backColor = kBlackCColor;
    CColorRGBA frameColor = kBlackCColor;
    CColorRGBA shadowColor = kRedCColor;
    bool textTransparencyEnabled = true;
};

} // namespace toolkit
