#include "qrl_gain_control.h"

#include "core/params.h"

CPluginControl_QRLGain::CPluginControl_QRLGain(ptfw::OSType id, const char* name, double min,
                                               double max, double step, double defaultValue,
                                               bool automatable)
    : CPluginControl_Gain(id, name, min, max, step, defaultValue, automatable), range_(max - min),
      steps_(step > 0.0 ? static_cast<std::int32_t>(range_ / step + 1.0) : 1) {
    InitValue(ConvertContinuousToControl(defaultValue));
}

// The travel is the effect's fader: its normalised value times the range.
double CPluginControl_QRLGain::PositionOf(double gain) const {
    return range_ * kavet::gainToValue(gain);
}

double CPluginControl_QRLGain::GainAt(double position) const {
    return kavet::gainLaw(position / range_);
}

std::int32_t CPluginControl_QRLGain::ConvertContinuousToControl(double value) const {
    return LinearToControl(PositionOf(value));
}

double CPluginControl_QRLGain::ConvertControlToContinuous(std::int32_t control) const {
    return GainAt(ControlToLinear(control));
}
