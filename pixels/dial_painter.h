// The pixels and value logic of the knob control (nDial): the knob is part of the background;
// the control draws a soft dot that travels 270 degrees on a circle of radius 10 around the
// centre (16, 16) of its 31 x 31 area, lower left at value 0, top at 0.5, lower right at 1.
// [UI thread]
#pragma once

#include "pixel_view.h"

namespace kavet::editor {

struct PointerPoint {
    double x; // top-left corner of the 3 x 3 dot, in control pixels (fractional)
    double y;
};

// The dot's corner for an angle of 0 .. 360 degrees (the value x 360).
PointerPoint pointerPosition(float angleDegrees);

// Darkens a soft 3 x 3 dot (weights 80 192 80 / 192 255 192 / 80 192 80) whose top-left
// sample lies at (x, y), spreading each sample over its four neighbours with bilinear weights.
// Samples whose four neighbours are not all inside the target are skipped.
void drawPointer(const PixelView& target, double x, double y);

// The dial's value: an angle in degrees, 0 .. 360.
class DialModel {
public:
    static constexpr float kDefaultValue = 0.5f;

    explicit DialModel(float initialValue = kDefaultValue) { setValue(initialValue); }

    void setValue(float x) { angle_ = x * 360.0f; }
    float getValue() const { return angle_ * 0.0027777778f; }
    float angle() const { return angle_; }

    // One drag step: the pointer moved by (dx, dy) pixels (y down). One degree per pixel,
    // right or up increases, the larger of the two movements counts; a tenth with Shift.
    void drag(int dx, int dy, bool shift);
    // The reset gesture: back to the middle.
    void reset() { setValue(kDefaultValue); }

private:
    float angle_ = 0;
};

} // namespace kavet::editor
