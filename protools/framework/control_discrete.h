// Discrete controls: an integer 0..count-1, which is also the control value, each with a
// display text. On/off controls are discrete controls of two values.
#pragma once

#include "plugin_control.h"

#include <string>
#include <vector>

class CPluginControl_Discrete : public CPluginControl {
public:
    CPluginControl_Discrete(ptfw::OSType id, const char* name, std::vector<std::string> texts,
                            long defaultValue, bool automatable);

    // Clamped to 0..count-1.
    std::int32_t ConvertDiscreteToControl(long value) const;
    long ConvertControlToDiscrete(std::int32_t control) const;
    long GetDiscrete() const { return ConvertControlToDiscrete(GetValue()); }
    void SetDiscrete(long value) { SetValue(ConvertDiscreteToControl(value)); }

    bool IsContinuous() const override { return false; }
    std::int32_t GetNumSteps() const override { return static_cast<std::int32_t>(texts_.size()); }
    std::int32_t ClampControlValue(std::int32_t value) const override;
    void GetValueString(std::int32_t value, char* text, std::size_t size) const override;
    // A value's text (case-insensitive) or its number.
    bool GetValueFromString(const char* text, std::int32_t* value) const override;

private:
    std::vector<std::string> texts_;
};

inline constexpr const char* kDefaultOffText = "off";
inline constexpr const char* kDefaultOnText = "on";

class CPluginControl_OnOff : public CPluginControl_Discrete {
public:
    CPluginControl_OnOff(ptfw::OSType id, const char* name, bool defaultOn, bool automatable,
                         const char* offText = kDefaultOffText,
                         const char* onText = kDefaultOnText);
    bool IsOn() const { return GetDiscrete() != 0; }
};
