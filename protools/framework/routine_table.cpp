#include "routine_table.h"

#include "control_continuous.h"
#include "control_discrete.h"
#include "custom_view.h"
#include "dae_error.h"
#include "effect_group.h"
#include "effect_process.h"
#include "effect_process_rtas.h"
#include "effect_type.h"

#include <cstring>
#include <new>
#include <vector>

namespace ptfw {

namespace {

constexpr std::int32_t kErrOutOfMemory = -7003;
constexpr std::int32_t kErrUnexpected = -7401;

// Runs `body` and turns every exception into a status.
template <typename Body> std::int32_t Guarded(Body body) {
    try {
        return body();
    } catch (const CDAEError& error) {
        return error.GetErrorCode();
    } catch (const std::bad_alloc&) {
        return kErrOutOfMemory;
    } catch (...) {
        return kErrUnexpected;
    }
}

// The process of a handle, if it belongs to the module's group.
CEffectProcess* Find(PtProcess* handle) {
    CEffectGroup* group = CEffectGroup::ModuleGroup();
    if (group == nullptr || handle == nullptr) return nullptr;
    return group->FindProcess(handle);
}

void CopyCodes(const std::vector<std::int32_t>& codes, std::int32_t* out, std::int32_t* count) {
    *count = static_cast<std::int32_t>(codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i)
        out[i] = codes[i];
}

std::int32_t GetGroupInfo(PtGroupInfo* out) {
    const CEffectGroup* group = CEffectGroup::ModuleGroup();
    if (out == nullptr) return kErrBadArgument;
    if (group == nullptr || !group->IsInitialized()) return kErrNoGroup;
    std::memset(out, 0, sizeof *out);
    CopyField(out->manufacturerNames, sizeof out->manufacturerNames,
              group->GetManufacturerNames().c_str());
    out->manufacturerCode = group->GetManufacturerCode();
    CopyField(out->productNames, sizeof out->productNames, group->GetProductNames().c_str());
    out->productVersion = group->GetProductVersion();
    CopyCodes(group->GetCapabilities(), out->capabilities, &out->capabilityCount);
    out->midiCapable = group->IsMIDICapable() ? 1 : 0;
    out->typeCount = group->GetTypeCount();
    return kNoErr;
}

std::int32_t GetTypeInfo(std::int32_t index, PtTypeInfo* out) {
    const CEffectGroup* group = CEffectGroup::ModuleGroup();
    if (out == nullptr) return kErrBadArgument;
    if (group == nullptr || !group->IsInitialized()) return kErrNoGroup;
    const CEffectType* type = group->GetType(index);
    if (type == nullptr) return kErrBadIndex;
    std::memset(out, 0, sizeof *out);
    out->kind = type->GetKind();
    out->typeCode = type->GetTypeCode();
    out->productCode = type->GetProductCode();
    out->category = type->GetCategory();
    CopyField(out->typeNames, sizeof out->typeNames, type->GetTypeNames().c_str());
    out->generalOptions = type->GetGeneralOptions();
    CopyCodes(type->GetFeatureSelectors(), out->featureSelectors, &out->featureSelectorCount);
    out->inputStem = type->GetInputStem();
    out->outputStem = type->GetOutputStem();
    out->sideChainStem = type->GetSideChainStem();
    CopyField(out->pageTableName, sizeof out->pageTableName, type->GetPageTableName().c_str());
    return kNoErr;
}

std::int32_t NewProcess(std::int32_t typeIndex, const PtProcessSetup* setup, PtProcess** out) {
    return Guarded([&]() -> std::int32_t {
        CEffectGroup* group = CEffectGroup::ModuleGroup();
        if (out == nullptr || setup == nullptr) return kErrBadArgument;
        *out = nullptr;
        if (group == nullptr || !group->IsInitialized()) return kErrNoGroup;
        *out = group->NewProcess(typeIndex, *setup)->GetHandle();
        return kNoErr;
    });
}

void DeleteProcess(PtProcess* handle) {
    if (CEffectProcess* process = Find(handle))
        Guarded([&]() -> std::int32_t {
            CEffectGroup::ModuleGroup()->DeleteProcess(process);
            return kNoErr;
        });
}

std::int32_t SetSampleRate(PtProcess* handle, std::int32_t rate) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr) return kErrBadArgument;
    if (rate <= 0) return kErrBadArgument;
    process->SetSampleRate(rate);
    return kNoErr;
}

std::int32_t GetSampleRate(PtProcess* handle, std::int32_t* out) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr || out == nullptr) return kErrBadArgument;
    *out = process->GetSampleRate();
    return kNoErr;
}

std::int32_t SetChannelCounts(PtProcess* handle, std::int32_t inputs, std::int32_t outputs) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr || inputs < 0 || outputs < 0 || inputs > 256 || outputs > 256)
        return kErrBadArgument;
    process->SetChannelCounts(inputs, outputs);
    return kNoErr;
}

// Audio thread: no registry look-up, no lock; the handle is the host's to keep valid.
CEffectProcessRTAS* AsRTAS(PtProcess* handle) {
    if (handle == nullptr) return nullptr;
    return dynamic_cast<CEffectProcessRTAS*>(CProcess::FromHandle(handle));
}

void Render(PtProcess* handle, float** inputs, float** outputs, std::int32_t frames) {
    if (CEffectProcessRTAS* process = AsRTAS(handle)) process->RenderAudio(inputs, outputs, frames);
}

std::int32_t GetMeters(PtProcess* handle, std::int32_t* values, char* clips,
                       std::int32_t capacity) {
    CEffectProcessRTAS* process = AsRTAS(handle);
    if (process == nullptr || values == nullptr || clips == nullptr) return kErrBadArgument;
    int metered = process->GetNumOutputs();
    if (metered > PT_METER_CHANNELS) metered = PT_METER_CHANNELS;
    if (capacity < metered) return kErrBadArgument;
    return static_cast<std::int32_t>(process->GetMeters(values, clips));
}

std::int32_t GetClipIndicator(PtProcess* handle) {
    CEffectProcessRTAS* process = AsRTAS(handle);
    return process != nullptr && process->GetClipIndicator() ? 1 : 0;
}

void ClearClipIndicator(PtProcess* handle) {
    if (CEffectProcessRTAS* process = AsRTAS(handle)) process->ClearClipIndicator();
}

std::int32_t GetControlCount(PtProcess* handle) {
    CEffectProcess* process = Find(handle);
    return process ? static_cast<std::int32_t>(process->GetNumControls()) : kErrBadArgument;
}

std::int32_t GetControlInfo(PtProcess* handle, std::int32_t index, PtControlInfo* out) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr || out == nullptr) return kErrBadArgument;
    const CPluginControl* control = process->GetControl(index);
    if (control == nullptr) return kErrBadIndex;
    std::memset(out, 0, sizeof *out);
    out->id = control->GetID();
    CopyField(out->name, sizeof out->name, control->GetName());
    out->continuous = control->IsContinuous() ? 1 : 0;
    out->automatable = control->IsAutomatable() ? 1 : 0;
    out->numSteps = control->GetNumSteps();
    out->defaultValue = control->GetDefaultValue();
    if (auto* continuous = dynamic_cast<const CPluginControl_Continuous*>(control)) {
        out->minimum = continuous->GetMin();
        out->maximum = continuous->GetMax();
    } else {
        out->minimum = 0.0;
        out->maximum = control->GetNumSteps() - 1;
    }
    return kNoErr;
}

std::int32_t GetControlValue(PtProcess* handle, std::int32_t index, std::int32_t* out) {
    CEffectProcess* process = Find(handle);
    return process ? process->GetControlValue(index, out) : kErrBadArgument;
}

std::int32_t SetControlValue(PtProcess* handle, std::int32_t index, std::int32_t value) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr) return kErrBadArgument;
    return Guarded([&]() -> std::int32_t { return process->ApplyHostControlValue(index, value); });
}

std::int32_t GetControlText(PtProcess* handle, std::int32_t index, std::int32_t value, char* text,
                            std::int32_t size) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr || text == nullptr || size <= 0) return kErrBadArgument;
    const CPluginControl* control = process->GetControl(index);
    if (control == nullptr) return kErrBadIndex;
    control->GetValueString(control->ClampControlValue(value), text,
                            static_cast<std::size_t>(size));
    return kNoErr;
}

std::int32_t GetMasterBypassIndex(PtProcess* handle) {
    CEffectProcess* process = Find(handle);
    return process ? static_cast<std::int32_t>(process->GetMasterBypassControlIndex())
                   : kErrBadArgument;
}

std::int32_t SetBypass(PtProcess* handle, std::int32_t on) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr) return kErrBadArgument;
    const long index = process->GetMasterBypassControlIndex();
    if (index == 0) return kErrBadIndex;
    return Guarded(
        [&]() -> std::int32_t { return process->ApplyHostControlValue(index, on ? 1 : 0); });
}

std::int32_t GetBypass(PtProcess* handle) {
    CEffectProcess* process = Find(handle);
    return process ? (process->IsBypassed() ? 1 : 0) : kErrBadArgument;
}

std::int32_t GetChunkCount(PtProcess* handle) {
    CEffectProcess* process = Find(handle);
    return process ? static_cast<std::int32_t>(process->GetChunkEntries().size()) : kErrBadArgument;
}

std::int32_t GetChunkInfo(PtProcess* handle, std::int32_t index, PtChunkInfo* out) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr || out == nullptr) return kErrBadArgument;
    const auto& chunks = process->GetChunkEntries();
    if (index < 0 || static_cast<std::size_t>(index) >= chunks.size()) return kErrBadIndex;
    const auto& entry = chunks[static_cast<std::size_t>(index)];
    std::memset(out, 0, sizeof *out);
    out->id = entry.id;
    CopyField(out->name, sizeof out->name, entry.name.c_str());
    out->dataBytes = entry.dataBytes;
    return kNoErr;
}

void FillHeader(const CEffectProcess& process, const CEffectProcess::ChunkEntry& entry,
                SFicPlugInChunk* header) {
    std::memset(header, 0, sizeof *header);
    header->fSize = kChunkHeaderBytes;
    header->fVersion = 1;
    if (const CEffectGroup* group = CEffectGroup::ModuleGroup())
        header->fManufacturerID = group->GetManufacturerCode();
    if (const CEffectType* type = process.GetType()) {
        header->fProductID = type->GetProductCode();
        header->fTypeID = type->GetTypeCode();
    }
    header->fChunkID = entry.id;
    CopyField(header->fName, sizeof header->fName, entry.name.c_str());
}

std::int32_t GetChunk(PtProcess* handle, std::uint32_t id, void* record, std::uint32_t capacity) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr || record == nullptr) return kErrBadArgument;
    const CEffectProcess::ChunkEntry* entry = process->FindChunk(id);
    if (entry == nullptr) return kErrUnknownChunk;
    const std::uint32_t needed = kChunkHeaderBytes + entry->dataBytes;
    if (capacity < needed) return kErrChunkTooSmall;
    return Guarded([&]() -> std::int32_t {
        // Work on an aligned copy of the registered size; the host's record may be unaligned.
        std::vector<std::uint64_t> buffer((needed + 7) / 8);
        auto* chunk = reinterpret_cast<SFicPlugInChunk*>(buffer.data());
        FillHeader(*process, *entry, chunk);
        std::int32_t status = process->GetChunk(id, chunk);
        if (status != kNoErr) return status;
        if (chunk->fSize < kChunkHeaderBytes || static_cast<std::uint32_t>(chunk->fSize) > needed)
            return kErrChunkMismatch;
        std::memcpy(record, chunk, static_cast<std::size_t>(chunk->fSize));
        return kNoErr;
    });
}

std::int32_t SetChunk(PtProcess* handle, std::uint32_t id, const void* record,
                      std::uint32_t bytes) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr || record == nullptr) return kErrBadArgument;
    if (process->FindChunk(id) == nullptr) return kErrUnknownChunk;
    if (bytes < static_cast<std::uint32_t>(kChunkHeaderBytes)) return kErrChunkTooSmall;
    SFicPlugInChunk header;
    std::memcpy(&header, record, sizeof header);
    if (header.fSize < kChunkHeaderBytes || static_cast<std::uint32_t>(header.fSize) > bytes)
        return kErrChunkTooSmall;
    if (header.fChunkID != id) return kErrChunkMismatch;
    return Guarded([&]() -> std::int32_t {
        std::vector<std::uint64_t> buffer((static_cast<std::size_t>(header.fSize) + 7) / 8);
        std::memcpy(buffer.data(), record, static_cast<std::size_t>(header.fSize));
        return process->SetChunk(id, reinterpret_cast<const SFicPlugInChunk*>(buffer.data()));
    });
}

std::int32_t ResetAlgorithm(PtProcess* handle) {
    CEffectProcess* process = Find(handle);
    auto* rtas = dynamic_cast<CEffectProcessRTAS*>(process);
    if (rtas == nullptr) return kErrBadArgument;
    return Guarded([&]() -> std::int32_t {
        rtas->ResetAlgorithm();
        return kNoErr;
    });
}

// A window-system failure travels as a positive system error number; the host gets it
// negated, like every other failure.
std::int32_t AsStatus(std::int32_t code) {
    return code > 0 ? -code : code;
}

template <typename Body> std::int32_t GuardedView(Body body) {
    return AsStatus(Guarded(body));
}

std::int32_t GetViewRect(PtProcess* handle, PtViewRect* out) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr || out == nullptr) return kErrBadArgument;
    return GuardedView([&]() -> std::int32_t {
        process->GetViewRect(out);
        return out->right > out->left && out->bottom > out->top ? kNoErr : kErrNoView;
    });
}

std::int32_t CreateView(PtProcess* handle, PtViewRect* out) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr) return kErrBadArgument;
    return GuardedView([&]() -> std::int32_t {
        if (!process->CreateView()) return kErrNoView;
        if (out != nullptr) {
            const ViewRect& r = process->GetCurrentView()->GetRect();
            *out =
                PtViewRect{static_cast<std::int16_t>(r.top), static_cast<std::int16_t>(r.left),
                           static_cast<std::int16_t>(r.bottom), static_cast<std::int16_t>(r.right)};
        }
        return kNoErr;
    });
}

std::int32_t SetViewPort(PtProcess* handle, void* port) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr) return kErrBadArgument;
    if (port != nullptr && process->GetCurrentView() == nullptr) return kErrNoView;
    const std::int32_t status = GuardedView([&]() -> std::int32_t {
        process->SetViewPort(port);
        return kNoErr;
    });
    // A port the plug-in could not show in is not kept.
    if (status != kNoErr) process->CEffectProcess::SetViewPort(nullptr);
    return status;
}

std::int32_t DrawView(PtProcess* handle, const PtViewRect* area) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr || area == nullptr) return kErrBadArgument;
    if (process->GetCurrentView() == nullptr) return kErrNoView;
    return GuardedView([&]() -> std::int32_t {
        process->DrawView(ViewRect{area->left, area->top, area->right, area->bottom});
        return kNoErr;
    });
}

std::int32_t IdleView(PtProcess* handle) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr) return kErrBadArgument;
    return GuardedView([&]() -> std::int32_t {
        process->DoIdle();
        return kNoErr;
    });
}

std::int32_t DisposeView(PtProcess* handle) {
    CEffectProcess* process = Find(handle);
    if (process == nullptr) return kErrBadArgument;
    return GuardedView([&]() -> std::int32_t {
        process->DisposeView();
        return kNoErr;
    });
}

constexpr PtRoutineTable kTable = {
    PT_INTERFACE_VERSION,
    GetGroupInfo,
    GetTypeInfo,
    NewProcess,
    DeleteProcess,
    SetSampleRate,
    GetSampleRate,
    SetChannelCounts,
    Render,
    GetMeters,
    GetClipIndicator,
    ClearClipIndicator,
    GetControlCount,
    GetControlInfo,
    GetControlValue,
    SetControlValue,
    GetControlText,
    GetMasterBypassIndex,
    SetBypass,
    GetBypass,
    GetChunkCount,
    GetChunkInfo,
    GetChunk,
    SetChunk,
    ResetAlgorithm,
    GetViewRect,
    CreateView,
    SetViewPort,
    DrawView,
    IdleView,
    DisposeView,
};

} // namespace

const PtRoutineTable* GetRoutineDescriptor(std::int32_t interfaceVersion) {
    return interfaceVersion == PT_INTERFACE_VERSION ? &kTable : nullptr;
}

} // namespace ptfw
