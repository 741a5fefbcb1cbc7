// nSwitch: a two-state button with an LED (Phase, Mute, Bypass, Fine and the meter source).
// Its strip of W x H pixels holds the off image in the left half and the on image in the
// right half; in each half the first 36 columns are the button face, the rest the LED.
// [UI thread]
#pragma once

#include "toolkit/bitmap.h"
#include "toolkit/control.h"

#include <cstdint>

namespace kavet::editor {

class nSwitch : public toolkit::CControl {
public:
    static constexpr int kFaceWidth = 36; // pixels of each half that show the button face

    // The strip is loaded from bitmap resource `stripId` and owned. A parameter's switch is
    // on from 0.5 up, an editor switch (Pre, Fine) for any value but 0.
    nSwitch(const toolkit::CRectangle& size, std::int32_t tag, toolkit::CControlListener* listener,
            std::int32_t stripId, float initial);
    ~nSwitch() override;

    void draw(toolkit::CDrawContext* context) override;
    // Sets the opposite of what it shows (0 or 1) on the press; holding the button or releasing it
    // changes nothing more.
    void mouse(toolkit::CDrawContext* context, toolkit::CPosition& where,
               std::int32_t buttons = -1) override;

    // Virtual slot after CControl's: a dark LED shows the off LED whatever the value (the
    // editor blinks the Mute and Bypass lamps with it). Redraws at once.
    virtual void setLedDark(bool dark);

    bool isLedDark() const { return ledDark; }
    bool isOn() const;
    const toolkit::CBitmap* getStrip() const { return strip; }

private:
    toolkit::CBitmap* strip; // owned
    bool ledDark = false;
};

} // namespace kavet::editor
