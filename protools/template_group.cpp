#include "template_group.h"

#include "effect_types.h"
#include "template_noui_view.h"
#include "template_process_rtas.h"

#include "protools/framework/view_registry.h"

#include "core/config.h"

CTemplateNoUIGroup::CTemplateNoUIGroup() {
    DefineManufacturerNamesAndID("Velmorant Ltd.\nVLMR\n", kManufacturerCode);
    DefinePlugInNamesAndVersion(kavet::kStereo
                                    ? "Kav-et Stereo Plug-In\nKav-et Stereo\nKavet S\nKVS"
                                    : "Kav-et Mono Plug-In\nKav-et Mono\nKavet M\nKVM",
                                1);
    AddGestalt(kGroupCapability);
}

CTemplateNoUIGroup::~CTemplateNoUIGroup() {
    ptfw::RegisterViewClass(kNoUIViewClass, nullptr);
}

void CTemplateNoUIGroup::Initialize() {
    CEffectGroupMIDI::Initialize();
    ptfw::RegisterViewClass(kNoUIViewClass, NewNoUIView);
}

void CTemplateNoUIGroup::CreateEffectTypes() {
    auto mono = MakeMonoType(NewNoUIProcessRTAS);
    auto stereo = MakeStereoType(NewNoUIProcessRTAS);
    // The other build's description is never offered to the host.
    AddEffectType(kavet::kStereo ? std::move(stereo) : std::move(mono));
}
