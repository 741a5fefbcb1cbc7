#include "qrl_gain_control.h"

#include <cmath>

CPluginControl_QRLGain::CPluginControl_QRLGain(ptfw::OSType id, const char* name, double min,
                                               double max, double step, double defaultValue,
                                               bool automatable)
    : CPluginControl_Gain(id, name, min, max, step, defaultValue, automatable), range_(max - min),
      steps_(step > 0.0 ? static_cast<std::int32_t>(range_ / step + 1.0) : 1) {
    InitValue(ConvertContinuousToControl(defaultValue));
}

double CPluginControl_QRLGain::PositionOf(double gain) const {
    // cbrt keeps exact cubes exact: unity gives 4.0, not a neighbour of it.
    return range_ * std::cbrt(gain / range_);
}

double CPluginControl_QRLGain::GainAt(double position) const {
    const double x = position / range_;
    return range_ * (x * x * x);
}

std::int32_t CPluginControl_QRLGain::ConvertContinuousToControl(double value) const {
    return LinearToControl(PositionOf(value));
}

double CPluginControl_QRLGain::ConvertControlToContinuous(std::int32_t control) const {
    return GainAt(ControlToLinear(control));
}
