#include "effect_process.h"

#include "chunk_data_parser.h"
#include "control_continuous.h"
#include "creation_context.h"
#include "custom_view.h"
#include "dae_error.h"
#include "effect_type.h"
#include "plugin_control.h"

#include <cstring>

namespace ptfw {

namespace {

thread_local const CreationContext* pending = nullptr;
std::atomic<std::int32_t> plugInResourceFile{0};
std::atomic<std::int32_t> currentResourceFile{0};

} // namespace

CreationScope::CreationScope(const CreationContext& context) : previous_(pending) {
    pending = &context;
}

CreationScope::~CreationScope() {
    pending = previous_;
}

const CreationContext* PendingCreation() {
    return pending;
}

void SetPlugInResourceFile(std::int32_t registration) {
    plugInResourceFile.store(registration);
}

std::int32_t GetCurrentResourceFile() {
    return currentResourceFile.load();
}

} // namespace ptfw

// ---------------------------------------------------------------------------------------
// CProcess

namespace {

constexpr int kMaxChannels = 256;

int ClampChannels(int n) {
    return n < 0 ? 0 : n > kMaxChannels ? kMaxChannels : n;
}

} // namespace

CProcess::CProcess() {
    const ptfw::CreationContext* context = ptfw::PendingCreation();
    if (context == nullptr) return;
    type_ = context->type;
    if (context->setup.sampleRate > 0) sampleRate_.store(context->setup.sampleRate);
    int in = context->setup.inputs, out = context->setup.outputs;
    if (type_ != nullptr) {
        if (in < 0) in = ptfw::ChannelsOfStem(type_->GetInputStem());
        if (out < 0) out = ptfw::ChannelsOfStem(type_->GetOutputStem());
    }
    SetChannelCounts(in < 0 ? 1 : in, out < 0 ? 1 : out);
    callbacks_ = context->callbacks;
}

void CProcess::SetChannelCounts(int inputs, int outputs) {
    inputs_.store(ClampChannels(inputs), std::memory_order_relaxed);
    outputs_.store(ClampChannels(outputs), std::memory_order_relaxed);
}

std::int32_t CProcess::GetFrameworkValue(long selector) const {
    return selector == 0 ? GetSampleRate() : 0;
}

// ---------------------------------------------------------------------------------------
// CEffectProcess: controls

CEffectProcess::CEffectProcess() = default;
// The plug-in's part is gone by now: the root goes without the port being detached.
CEffectProcess::~CEffectProcess() = default;

void CEffectProcess::DoEffectInit() {
    EffectInit();
    AddChunk(kControlsStateChunkID, kControlsStateChunkName,
             static_cast<std::uint32_t>(8 + 8 * controls_.size()));
}

void CEffectProcess::AddControl(CPluginControl* control) {
    if (control == nullptr) throw CDAEError(ptfw::kErrBadArgument);
    controls_.emplace_back(control);
    touched_.push_back(false);
}

CPluginControl* CEffectProcess::GetControl(long index) const {
    if (index < 1 || index > GetNumControls()) return nullptr;
    return controls_[static_cast<std::size_t>(index - 1)].get();
}

void CEffectProcess::DefineMasterBypassControlIndex(long index) {
    if (GetControl(index) == nullptr) throw CDAEError(ptfw::kErrBadIndex);
    bypassIndex_ = index;
}

bool CEffectProcess::IsBypassed() const {
    const CPluginControl* control = GetControl(bypassIndex_);
    return control != nullptr && control->GetValue() != 0;
}

std::int32_t CEffectProcess::StoreAndUpdate(long index, std::int32_t value, bool tellHost) {
    CPluginControl* control = GetControl(index);
    if (control == nullptr) return ptfw::kErrBadIndex;
    control->SetValue(value);
    const PtHostCallbacks& host = HostCallbacks();
    if (tellHost && host.controlChanged)
        host.controlChanged(host.context, GetHandle(), static_cast<std::int32_t>(index),
                            control->GetValue());
    UpdateControlValueInAlgorithm(index);
    return ptfw::kNoErr;
}

std::int32_t CEffectProcess::SetControlValue(long index, std::int32_t value) {
    return StoreAndUpdate(index, value, true);
}

std::int32_t CEffectProcess::ApplyHostControlValue(long index, std::int32_t value) {
    return StoreAndUpdate(index, value, false);
}

std::int32_t CEffectProcess::GetControlValue(long index, std::int32_t* value) const {
    const CPluginControl* control = GetControl(index);
    if (control == nullptr || value == nullptr) return ptfw::kErrBadIndex;
    *value = control->GetValue();
    return ptfw::kNoErr;
}

std::int32_t CEffectProcess::GetControlDefaultValue(long index, std::int32_t* value) const {
    const CPluginControl* control = GetControl(index);
    if (control == nullptr || value == nullptr) return ptfw::kErrBadIndex;
    *value = control->GetDefaultValue();
    return ptfw::kNoErr;
}

std::int32_t CEffectProcess::TouchControl(long index) {
    if (GetControl(index) == nullptr) return ptfw::kErrBadIndex;
    touched_[static_cast<std::size_t>(index - 1)] = true;
    const PtHostCallbacks& host = HostCallbacks();
    if (host.controlTouched)
        host.controlTouched(host.context, GetHandle(), static_cast<std::int32_t>(index));
    return ptfw::kNoErr;
}

std::int32_t CEffectProcess::ReleaseControl(long index) {
    if (GetControl(index) == nullptr) return ptfw::kErrBadIndex;
    touched_[static_cast<std::size_t>(index - 1)] = false;
    const PtHostCallbacks& host = HostCallbacks();
    if (host.controlReleased)
        host.controlReleased(host.context, GetHandle(), static_cast<std::int32_t>(index));
    return ptfw::kNoErr;
}

bool CEffectProcess::IsControlTouched(long index) const {
    return GetControl(index) != nullptr && touched_[static_cast<std::size_t>(index - 1)];
}

// ---------------------------------------------------------------------------------------
// CEffectProcess: chunks

void CEffectProcess::AddChunk(ptfw::OSType id, const char* name, std::uint32_t dataBytes) {
    ChunkEntry entry{id, name ? name : "", dataBytes};
    for (ChunkEntry& existing : chunks_)
        if (existing.id == id) {
            existing = entry;
            return;
        }
    chunks_.push_back(entry);
}

const CEffectProcess::ChunkEntry* CEffectProcess::FindChunk(ptfw::OSType id) const {
    for (const ChunkEntry& entry : chunks_)
        if (entry.id == id) return &entry;
    return nullptr;
}

std::int32_t CEffectProcess::GetChunk(ptfw::OSType id, ptfw::SFicPlugInChunk* chunk) {
    if (id != kControlsStateChunkID) return ptfw::kErrUnknownChunk;
    ptfw::ChunkDataParser parser;
    for (const auto& control : controls_)
        parser.AddLong(control->GetID(), control->GetValue());
    const std::vector<unsigned char> bytes = parser.GetBytes();
    std::memcpy(ptfw::ChunkData(chunk), bytes.data(), bytes.size());
    chunk->fSize = static_cast<std::int32_t>(ptfw::kChunkHeaderBytes + bytes.size());
    return ptfw::kNoErr;
}

std::int32_t CEffectProcess::SetChunk(ptfw::OSType id, const ptfw::SFicPlugInChunk* chunk) {
    if (id != kControlsStateChunkID) return ptfw::kErrUnknownChunk;
    const ptfw::ChunkDataParser parser(
        ptfw::ChunkData(chunk), static_cast<std::size_t>(chunk->fSize) - ptfw::kChunkHeaderBytes);
    if (!parser.IsValid()) return ptfw::kErrChunkMismatch;
    // Controls the record does not name keep their values.
    for (long index = 1; index <= GetNumControls(); ++index) {
        std::int32_t value;
        if (parser.FindLong(GetControl(index)->GetID(), &value))
            ApplyHostControlValue(index, value);
    }
    return ptfw::kNoErr;
}

// ---------------------------------------------------------------------------------------
// CEffectProcess: view and resources

void CEffectProcess::ActivateView(bool active) {
    if (view_ != nullptr && view_->IsActive() != active) view_->SetActive(active);
}

void CEffectProcess::GetViewRect(PtViewRect* rect) {
    if (rect != nullptr) *rect = PtViewRect{0, 0, 0, 0};
}

bool CEffectProcess::CreateView() {
    if (root_) DisposeView();
    root_.reset(CreateCustomPlugInView());
    SetCurrentView(root_.get());
    return root_ != nullptr;
}

void CEffectProcess::DisposeView() {
    if (port_ != nullptr) SetViewPort(nullptr);
    if (view_ == root_.get()) SetCurrentView(nullptr);
    root_.reset();
}

void CEffectProcess::DrawView(const ptfw::ViewRect& area) {
    if (view_ != nullptr) view_->DrawTree(area);
}

std::int32_t CEffectProcess::EnterResourceContext() {
    return ptfw::currentResourceFile.exchange(ptfw::plugInResourceFile.load());
}

void CEffectProcess::LeaveResourceContext(std::int32_t previous) {
    ptfw::currentResourceFile.store(previous);
}
