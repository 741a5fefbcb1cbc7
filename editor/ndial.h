// nDial: the Trim and Pan knobs. The knob is part of the background; the control draws a soft
// dot travelling 270 degrees around the knob's centre. Its value is an angle of 0 to 360
// degrees (parameter value x 360); dragging turns it one degree per pixel, right or up, a
// tenth with Shift. The angle and the dot are the pixel engine's (DialModel, drawPointer).
// [UI thread]
#pragma once

#include "ncontrol.h"
#include "pixels/dial_painter.h"

#include <cstdint>

namespace kavet::editor {

class nDial : public nControl {
public:
    nDial(const toolkit::CRectangle& size, std::int32_t tag, toolkit::CControlListener* listener,
          CDIB* background, float initialValue);

    // Virtual slot after nControl's: the soft dot with its top-left sample at (x, y).
    virtual void drawPointer(CDIB* buffer, double x, double y);

    void draw(toolkit::CDrawContext* context) override;
    void mouseHook(toolkit::CDrawContext* context, toolkit::CPosition& where) override;
    // The parameter value: the angle is value x 360.
    void setValue(float x) override;
    float getValue() const override;

    float getAngle() const { return model_.angle(); }
    const toolkit::CPosition& getCentre() const { return centre; }

private:
    void modelChanged();

    toolkit::CPosition centre; // of the rectangle, editor coordinates (not used for drawing)
    DialModel model_;
};

} // namespace kavet::editor
