// CPluginControl_QRLGain: the host's gain control. A decibel display of a linear factor
// (the framework's gain control) with the fader's cube-law travel: the position is the
// fader's normalised value times the range, so unity sits mid-travel (4 for a range of 0 to
// 8, the fader's top) and the host's fader moves like the editor's.
#pragma once

#include "protools/framework/control_continuous.h"

class CPluginControl_QRLGain : public CPluginControl_Gain {
public:
    // The default goes through the cube law: 1.0 starts at position 4.0.
    CPluginControl_QRLGain(ptfw::OSType id, const char* name, double min, double max, double step,
                           double defaultValue, bool automatable);

    // range / step + 1, truncated: 8001 for 0..8 in steps of 0.001.
    std::int32_t GetNumSteps() const override { return steps_; }
    std::int32_t ConvertContinuousToControl(double value) const override;
    double ConvertControlToContinuous(std::int32_t control) const override;

    // The position on the travel for a linear gain, and back.
    double PositionOf(double gain) const;
    double GainAt(double position) const;

private:
    double range_;
    std::int32_t steps_;
};
