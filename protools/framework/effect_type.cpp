#include "effect_type.h"

#include "dae_error.h"
#include "plugin_interface.h"

CEffectType::CEffectType(ptfw::OSType typeCode, ptfw::OSType productCode, std::uint32_t category)
    : typeCode_(typeCode), productCode_(productCode), category_(category) {}

void CEffectType::DefineTypeNames(const char* names) {
    names_ = names ? names : "";
}

void CEffectType::DefineGeneralOptions(std::int32_t options) {
    options_ = options;
}

void CEffectType::AddFeatureSelector(std::int32_t selector) {
    if (selectors_.size() >= PT_MAX_CODES) throw CDAEError(ptfw::kErrBadArgument);
    selectors_.push_back(selector);
}

void CEffectType::DefineStemFormats(std::int32_t input, std::int32_t output,
                                    std::int32_t sideChain) {
    if (ptfw::ChannelsOfStem(input) == 0 || ptfw::ChannelsOfStem(output) == 0 ||
        sideChain != ptfw::kSideChainNone)
        throw CDAEError(ptfw::kErrBadArgument);
    inputStem_ = input;
    outputStem_ = output;
    sideChainStem_ = sideChain;
    stemsDefined_ = true;
}

void CEffectType::DefinePageTableName(const char* name) {
    pageTable_ = name ? name : "";
}

bool CEffectType::IsComplete() const {
    return !names_.empty() && stemsDefined_ && factory_ != nullptr;
}

std::int32_t CEffectTypeRTAS::GetKind() const {
    return kPtTypeKindRTAS;
}
