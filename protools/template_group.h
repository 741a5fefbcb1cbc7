// CTemplateNoUIGroup: the plug-in group of a Kavet host-format module: Velmorant's names and
// codes, the product of this build, and the one effect type of this build.
#pragma once

#include "protools/framework/effect_group.h"

inline constexpr ptfw::OSType kManufacturerCode = ptfw::FourCC("VLMR");
inline constexpr std::int32_t kGroupCapability = 14;
inline constexpr const char* kNoUIViewClass = "NoUIView";

class CTemplateNoUIGroup : public CEffectGroupMIDI {
public:
    CTemplateNoUIGroup();
    ~CTemplateNoUIGroup() override;
    // The framework's initialisation, then the "NoUIView" view class.
    void Initialize() override;

protected:
    // Builds the mono and the stereo type and registers the build's own.
    void CreateEffectTypes() override;
};
