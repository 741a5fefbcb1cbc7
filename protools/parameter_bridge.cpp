// The parameter bridge: host controls mirror the effect's parameters (control index =
// parameter index + 1). Values cross as the effect's plain values: gain as a linear factor
// 0..8, trim and pan 0..1, switches 0 or 1. The host's control is the master copy.
#include "protools/framework/control_discrete.h"
#include "qrl_gain_control.h"
#include "template_process_rtas.h"

#include "base/contract.h"
#include "core/plug.h"

namespace {

// The continuous controls show no prefix below the empty one (no "500.0 m").
constexpr ptfw::PrefixRange kDisplayPrefixes{ptfw::kPrefixUnity, ptfw::kPrefixPeta};

template <typename Control> Control* WithPrefixes(Control* control) {
    control->SetPrefixRange(kDisplayPrefixes);
    return control;
}

constexpr long kBypassControl = 5;

} // namespace

void CTemplateNoUIProcessRTAS::EffectInit() {
    using ptfw::FourCC;
    AddControl(WithPrefixes(new CPluginControl_QRLGain(FourCC("sld1"), "I/P Gain", 0.0,
                                                       kavet::gainLaw(1.0), 0.001, 1.0, true)));
    AddControl(WithPrefixes(
        new CPluginControl_Linear(FourCC("sld2"), "Trim", 0.0, 1.0, 0.001, 0.5, true)));
    AddControl(new CPluginControl_OnOff(FourCC("b1in"), "Phase Invert", false, true));
    AddControl(new CPluginControl_OnOff(FourCC("b2in"), "Mute", false, true));
    AddControl(new CPluginControl_OnOff(FourCC("b3in"), "Master Bypass", false, true));
    if constexpr (kavet::kStereo)
        AddControl(WithPrefixes(
            new CPluginControl_Linear(FourCC("sld3"), "Pan", 0.0, 1.0, 0.001, 0.5, true)));
    DefineMasterBypassControlIndex(kBypassControl);
}

bool CTemplateNoUIProcessRTAS::IsContinuousControl(long index) {
    return index == 1 || index == 2 || (kavet::kStereo && index == 6);
}

void CTemplateNoUIProcessRTAS::EffectParameterChanged(long param) {
    const long index = param + 1;
    CPluginControl* control = GetControl(index);
    if (effect_ == nullptr || control == nullptr) return;
    const float value = effect_->getControlValue(static_cast<VstInt32>(param));
    std::int32_t controlValue;
    if (IsContinuousControl(index)) {
        // EffectInit made every control of a parameter, continuous or discrete as
        // IsContinuousControl tells.
        auto* continuous = dynamic_cast<CPluginControl_Continuous*>(control);
        KAVET_EXPECT(continuous != nullptr);
        controlValue = continuous->ConvertContinuousToControl(static_cast<double>(value));
    } else {
        auto* discrete = dynamic_cast<CPluginControl_Discrete*>(control);
        KAVET_EXPECT(discrete != nullptr);
        // Truncated towards zero: any plain value below 1 is "off".
        controlValue = discrete->ConvertDiscreteToControl(static_cast<long>(value));
    }
    SetHostControlValue(index, controlValue);
}

void CTemplateNoUIProcessRTAS::UpdateControlValueInAlgorithm(long index) {
    CPluginControl* control = GetControl(index);
    if (effect_ == nullptr || control == nullptr) return;
    float value;
    if (IsContinuousControl(index)) {
        auto* continuous = dynamic_cast<CPluginControl_Continuous*>(control);
        if (continuous == nullptr) return;
        value = static_cast<float>(continuous->GetContinuous());
    } else {
        auto* discrete = dynamic_cast<CPluginControl_Discrete*>(control);
        if (discrete == nullptr) return;
        value = static_cast<float>(discrete->GetDiscrete());
    }
    // The effect stores the value without calling back: the loop ends here.
    effect_->setControlValue(static_cast<VstInt32>(index - 1), value);
}

bool CTemplateNoUIProcessRTAS::EditorLink::IsParameter(int index) const {
    return process_.effect_ != nullptr && index >= 0 &&
           index < process_.effect_->getAeffect()->numParams;
}

// The float value is not used: the host control takes the effect's plain value.
void CTemplateNoUIProcessRTAS::EditorLink::changedByUser(int index, float) {
    if (IsParameter(index)) process_.EffectParameterChanged(index);
}

void CTemplateNoUIProcessRTAS::EditorLink::beginGesture(int index) {
    ITemplateProcess& host = process_;
    if (IsParameter(index)) host.TouchHostControl(index + 1);
}

void CTemplateNoUIProcessRTAS::EditorLink::endGesture(int index) {
    ITemplateProcess& host = process_;
    if (IsParameter(index)) host.ReleaseHostControl(index + 1);
}

VstIntPtr VSTCALLBACK AdaptorHostCallback(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}
