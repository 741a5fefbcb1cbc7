#include "effect_group.h"

#include "creation_context.h"
#include "dae_error.h"
#include "effect_process.h"

#include <algorithm>

namespace {

CEffectGroup* moduleGroup = nullptr;

} // namespace

CEffectGroup::CEffectGroup() {
    moduleGroup = this;
}

CEffectGroup::~CEffectGroup() {
    processes_.clear();
    types_.clear();
    if (moduleGroup == this) moduleGroup = nullptr;
}

CEffectGroup* CEffectGroup::ModuleGroup() {
    return moduleGroup;
}

void CEffectGroup::DefineManufacturerNamesAndID(const char* names, ptfw::OSType code) {
    manufacturerNames_ = names ? names : "";
    manufacturerCode_ = code;
}

void CEffectGroup::DefinePlugInNamesAndVersion(const char* names, std::int32_t version) {
    productNames_ = names ? names : "";
    version_ = version;
}

void CEffectGroup::AddGestalt(std::int32_t capability) {
    if (capabilities_.size() >= PT_MAX_CODES) throw CDAEError(ptfw::kErrBadArgument);
    if (std::find(capabilities_.begin(), capabilities_.end(), capability) == capabilities_.end())
        capabilities_.push_back(capability);
}

void CEffectGroup::Initialize() {
    CreateEffectTypes();
    if (manufacturerCode_ == 0 || manufacturerNames_.empty() || productNames_.empty() ||
        types_.empty())
        throw CDAEError(ptfw::kErrIncompleteDescription);
    for (const auto& type : types_)
        if (!type->IsComplete()) throw CDAEError(ptfw::kErrIncompleteDescription);
    initialized_ = true;
}

void CEffectGroup::AddEffectType(std::unique_ptr<CEffectType> type) {
    if (!type) throw CDAEError(ptfw::kErrBadArgument);
    types_.push_back(std::move(type));
}

const CEffectType* CEffectGroup::GetType(int index) const {
    return index >= 0 && index < GetTypeCount() ? types_[static_cast<std::size_t>(index)].get()
                                                : nullptr;
}

CEffectProcess* CEffectGroup::NewProcess(int typeIndex, const PtProcessSetup& setup) {
    const CEffectType* type = GetType(typeIndex);
    if (type == nullptr || !initialized_) throw CDAEError(ptfw::kErrBadIndex);
    ptfw::CreationContext context{type, setup, {}};
    if (setup.callbacks) context.callbacks = *setup.callbacks;
    ptfw::CreationScope scope(context);
    std::unique_ptr<CEffectProcess> process(type->GetProcessFactory()());
    if (!process) throw CDAEError(ptfw::kErrProcessCreation);
    process->DoEffectInit();
    processes_.push_back(std::move(process));
    return processes_.back().get();
}

CEffectProcess* CEffectGroup::FindProcess(const PtProcess* handle) const {
    if (handle == nullptr) return nullptr;
    for (const auto& p : processes_)
        if (p->GetHandle() == handle) return p.get();
    return nullptr;
}

bool CEffectGroup::OwnsProcess(const CEffectProcess* process) const {
    return process != nullptr &&
           std::any_of(processes_.begin(), processes_.end(),
                       [process](const auto& p) { return p.get() == process; });
}

bool CEffectGroup::DeleteProcess(CEffectProcess* process) {
    auto found = std::find_if(processes_.begin(), processes_.end(),
                              [process](const auto& p) { return p.get() == process; });
    if (found == processes_.end()) return false;
    processes_.erase(found);
    return true;
}
