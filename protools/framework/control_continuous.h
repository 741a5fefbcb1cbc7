// Continuous controls: a double between a minimum and a maximum, mapped linearly onto the
// integer control scale. The scale's ends are ±2147483647 and its middle is 0, so the
// minimum, the centre and the maximum of the travel survive the round trip exactly
// (a control value of -2147483648 reads as the minimum).
#pragma once

#include "decimal_prefix.h"
#include "plugin_control.h"

class CPluginControl_Continuous : public CPluginControl {
public:
    CPluginControl_Continuous(ptfw::OSType id, const char* name, double min, double max,
                              double step, double defaultValue, bool automatable);

    double GetMin() const { return min_; }
    double GetMax() const { return max_; }
    double GetStep() const { return step_; }

    // Value <-> control value. The linear mapping here; subclasses may put a law in front.
    virtual std::int32_t ConvertContinuousToControl(double value) const;
    virtual double ConvertControlToContinuous(std::int32_t control) const;
    double GetContinuous() const { return ConvertControlToContinuous(GetValue()); }
    void SetContinuous(double value) { SetValue(ConvertContinuousToControl(value)); }

    bool IsContinuous() const override { return true; }
    // (max - min) / step + 1, truncated.
    std::int32_t GetNumSteps() const override;

    // The part of the decimal-prefix table used in the display (all of it by default).
    void SetPrefixRange(ptfw::PrefixRange range) { prefixes_ = range; }
    ptfw::PrefixRange GetPrefixRange() const { return prefixes_; }

protected:
    // The linear mapping between min..max (clamped; NaN reads as min) and the control scale.
    std::int32_t LinearToControl(double value) const;
    double ControlToLinear(std::int32_t control) const;

private:
    double min_, max_, step_;
    ptfw::PrefixRange prefixes_;
};

// Shows the value with the decimal prefixes and three decimals; typed numbers set it.
class CPluginControl_Linear : public CPluginControl_Continuous {
public:
    using CPluginControl_Continuous::CPluginControl_Continuous;
    void GetValueString(std::int32_t value, char* text, std::size_t size) const override;
    bool GetValueFromString(const char* text, std::int32_t* value) const override;
};

// A linear amplitude factor shown in decibels (one decimal, "-INF dB" at or below 0);
// typed decibels set it.
class CPluginControl_Gain : public CPluginControl_Continuous {
public:
    using CPluginControl_Continuous::CPluginControl_Continuous;
    void GetValueString(std::int32_t value, char* text, std::size_t size) const override;
    bool GetValueFromString(const char* text, std::int32_t* value) const override;
};
