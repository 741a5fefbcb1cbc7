#include "effect_types.h"

namespace {

void Describe(CEffectTypeRTAS& type, std::int32_t stem, ProcessFactory factory,
              const char* pageTable) {
    type.DefineGeneralOptions(6);
    type.AddFeatureSelector(8);
    type.AddFeatureSelector(48);
    type.DefineStemFormats(stem, stem, ptfw::kSideChainNone);
    type.AttachEffectProcessCreator(factory);
    type.DefinePageTableName(pageTable);
}

} // namespace

std::unique_ptr<CEffectTypeRTAS> MakeMonoType(ProcessFactory factory) {
    auto type = std::make_unique<CEffectTypeRTAS>(kMonoTypeCode, kMonoTypeCode, kTypeCategory);
    type->DefineTypeNames("Velmorant Kav-et Mono\nKvtM");
    Describe(*type, ptfw::kStemMono, factory, "MonoPageTables");
    return type;
}

std::unique_ptr<CEffectTypeRTAS> MakeStereoType(ProcessFactory factory) {
    auto type = std::make_unique<CEffectTypeRTAS>(kStereoTypeCode, kStereoTypeCode, kTypeCategory);
    type->DefineTypeNames("Velmorant Kav-et Stereo\nKvtS");
    Describe(*type, ptfw::kStemStereo, factory, "StereoPageTables");
    return type;
}
