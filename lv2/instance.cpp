#include "instance.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace kavet::lv2 {

namespace {

// The effect asks its host only what it speaks (audioMasterVersion); everything else is
// answered "no", as a host without that feature would.
VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

const LV2_URID_Map* findUridMap(const LV2_Feature* const* features) {
    for (const LV2_Feature* const* f = features; f != nullptr && *f != nullptr; ++f) {
        if (std::strcmp((*f)->URI, LV2_URID__map) == 0)
            return static_cast<const LV2_URID_Map*>((*f)->data);
    }
    return nullptr;
}

bool sameBits(float a, float b) {
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

// The chunk is 32-bit little-endian words (core/chunk.h) wherever it is stored.
void toStoredOrder(StateChunk& chunk) {
    if constexpr (std::endian::native == std::endian::big) byteSwapChunk(chunk);
}

// The effect counts frames in a signed 32-bit word: a larger block goes in parts.
constexpr std::uint32_t kMaxPart = 1u << 20;

} // namespace

Instance* Instance::create(double sampleRate, const LV2_Feature* const* features) {
    if (!(sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate)) return nullptr;
    const LV2_URID_Map* map = findUridMap(features);
    const bool mapped = map != nullptr && map->map != nullptr;
    auto* plug = static_cast<Plug*>(createEffectInstance(hostCallback));
    if (plug == nullptr) return nullptr;
    const auto rate = static_cast<float>(sampleRate);
    plug->setSampleRate(rate);
    auto* instance =
        new (std::nothrow) Instance(plug, rate, mapped ? map->map(map->handle, kStateKeyUri) : 0,
                                    mapped ? map->map(map->handle, kStateTypeUri) : 0);
    if (instance == nullptr) delete plug;
    return instance;
}

Instance::Instance(Plug* plug, float rate, LV2_URID key, LV2_URID type)
    : plug_(plug), rate_(rate), stateKey_(key), stateType_(type), uiLink_(*plug, resendAll_) {
    for (int i = 0; i < kNumParams; ++i)
        defaults_[i] = static_cast<float>(portDefault(i));
    for (int c = 0; c < kNumChannels; ++c) {
        peakDb_[c].store(static_cast<float>(kFloorDb), std::memory_order_relaxed);
        rmsDb_[c].store(static_cast<float>(kFloorDb), std::memory_order_relaxed);
    }
    meterPeriod_ = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(rate * 0.02f));
    // The effect's own editor words: those of an editor that never opened.
    void* data = nullptr;
    StateChunk chunk{};
    if (plug_->getChunk(&data, false) == kChunkBytes && data != nullptr)
        std::memcpy(&chunk, data, kChunkBytes);
    for (int w = 0; w < kEditorWords; ++w)
        editorWords_[w].store(chunk.editor[w], std::memory_order_relaxed);
}

Instance::~Instance() {
    closeEditor();
    delete plug_;
}

void Instance::connect(std::uint32_t port, void* data) {
    auto* buffer = static_cast<float*>(data);
    // Each group by its own bounds, so that no index reaches another group's array.
    auto within = [port](std::uint32_t first, int count) {
        return port >= first && port - first < static_cast<std::uint32_t>(count);
    };
    if (within(kFirstAudioIn, kNumChannels)) {
        audioIn_[port - kFirstAudioIn] = buffer;
    } else if (within(kFirstAudioOut, kNumChannels)) {
        audioOut_[port - kFirstAudioOut] = buffer;
    } else if (within(kFirstParamPort, kNumParams)) {
        params_[port - kFirstParamPort] = buffer;
    } else if (port == kEnabledPort) {
        enabled_ = buffer;
    } else if (within(kFirstPeakPort, kNumChannels)) {
        peak_[port - kFirstPeakPort] = buffer;
    } else if (within(kFirstRmsPort, kNumChannels)) {
        rms_[port - kFirstRmsPort] = buffer;
    }
}

void Instance::activate() {
    plug_->setSampleRate(rate_);
    plug_->resume();
    // The ports may be connected only after this call: the first run takes their values
    // and resumes once more, so that the gains start at those values, as they do for a VST
    // host that sets the parameters before it resumes.
    applyAll_ = true;
    resumeDue_ = true;
    metersDueIn_ = 0; // the first block's readings show at once
    active_.store(true, std::memory_order_release);
}

void Instance::deactivate() {
    active_.store(false, std::memory_order_release);
    plug_->suspend();
}

void Instance::applyControls() {
    if (resendAll_.load(std::memory_order_relaxed) &&
        resendAll_.exchange(false, std::memory_order_acquire))
        applyAll_ = true;
    // The range's word is compared first: converting it takes two divisions, needed only
    // when it changed.
    const std::int32_t word = plug_->getPrefs()->get(kPrefTrimRange);
    const bool wordChanged = word != appliedTrimWord_;
    const double range = wordChanged ? trimRangeDb(word) : appliedTrimRangeDb_;
    const bool rangeChanged = range != appliedTrimRangeDb_;
    const bool enabled = enabled_ == nullptr || *enabled_ > 0.0f; // 0 and below bypass
    for (int i = 0; i < kNumParams; ++i) {
        float plain = params_[i] != nullptr ? *params_[i] : defaults_[i];
        if (i == kBypass && !enabled) plain = 1.0f;
        const bool changed =
            applyAll_ || !sameBits(plain, applied_[i]) || (i == kTrim && rangeChanged);
        if (!changed) continue;
        applied_[i] = plain;
        // Only stores: the block below takes the change from its first sample.
        plug_->setParameter(i, normalisedFromPort(i, plain, range));
    }
    appliedTrimRangeDb_ = range;
    appliedTrimWord_ = word;
    applyAll_ = false;
}

void Instance::run(std::uint32_t frames) {
    applyControls();
    if (resumeDue_) {
        // No block runs beside this one: the effect may be resumed here as while stopped.
        plug_->resume();
        resumeDue_ = false;
    }
    bool connected = true;
    for (int c = 0; c < kNumChannels; ++c)
        connected = connected && audioIn_[c] != nullptr && audioOut_[c] != nullptr;
    if (connected && frames > 0) {
        float* in[kNumChannels];
        float* out[kNumChannels];
        for (std::uint32_t done = 0; done < frames;) {
            const std::uint32_t part = std::min(frames - done, kMaxPart);
            for (int c = 0; c < kNumChannels; ++c) {
                // The effect reads its inputs only; the pointer type is VST's.
                in[c] = const_cast<float*>(audioIn_[c]) + done;
                out[c] = audioOut_[c] + done;
            }
            plug_->processReplacing(in, out, static_cast<VstInt32>(part));
            done += part;
        }
        // Due it stays while the editor reads, so that its close brings a reading at once.
        metersDueIn_ -= std::min(frames, metersDueIn_);
        if (metersDueIn_ == 0 && !editorReads_.load(std::memory_order_acquire)) {
            readMeters();
            metersDueIn_ = meterPeriod_;
        }
    }
    // A block of no frames (or with an audio port missing) shows the last readings again.
    for (int c = 0; c < kNumChannels; ++c) {
        if (peak_[c] != nullptr) *peak_[c] = peakDb_[c].load(std::memory_order_relaxed);
        if (rms_[c] != nullptr) *rms_[c] = rmsDb_[c].load(std::memory_order_relaxed);
    }
}

void Instance::readMeters() {
    MeterSnapshot snapshot{};
    const bool rmsFresh = plug_->getMeterSnapshot(snapshot);
    showReadings(snapshot, rmsFresh);
}

void Instance::showReadings(const MeterSnapshot& snapshot, bool rmsFresh) {
    // As the editor's readouts: the output pair, or the input pair with Pre on.
    const bool pre = editorWords_[0].load(std::memory_order_relaxed) != 0.0f;
    const int first = pre ? kInLeft : kOutLeft;
    for (int c = 0; c < kNumChannels; ++c) {
        peakDb_[c].store(meterDb(snapshot.values[8 + first + c]), std::memory_order_relaxed);
        if (rmsFresh)
            rmsDb_[c].store(meterDb(snapshot.values[4 + first + c]), std::memory_order_relaxed);
    }
}

LV2_State_Status Instance::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (stateKey_ == 0 || stateType_ == 0) return LV2_STATE_ERR_NO_FEATURE; // no urid:map
    // Built from the effect's atomics rather than by getChunk, which writes the effect's own
    // chunk record and asks the editor: neither is for a call beside run().
    StateChunk chunk{};
    for (int i = 0; i < kNumParams; ++i)
        chunk.params[i] = plug_->getParameter(i);
    for (int w = 0; w < kEditorWords; ++w)
        chunk.editor[w] = editorWords_[w].load(std::memory_order_relaxed);
    const PrefValues prefs = plug_->getPrefs()->values();
    std::memcpy(chunk.prefs, prefs.words, sizeof chunk.prefs);
    toStoredOrder(chunk);
    const std::uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return store(handle, stateKey_, &chunk, kChunkBytes, stateType_, flags) == 0
               ? LV2_STATE_SUCCESS
               : LV2_STATE_ERR_UNKNOWN;
}

LV2_State_Status Instance::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    if (stateKey_ == 0 || stateType_ == 0) return LV2_STATE_ERR_NO_FEATURE; // no urid:map
    std::size_t size = 0;
    std::uint32_t type = 0;
    std::uint32_t flags = 0;
    const void* value = retrieve(handle, stateKey_, &size, &type, &flags);
    if (value == nullptr) return LV2_STATE_SUCCESS; // an empty state: keep what there is
    // A value of the chunk's type is exactly one chunk long; anything else is not ours.
    if (type != stateType_ || size != kChunkBytes) return LV2_STATE_ERR_BAD_TYPE;
    StateChunk chunk;
    std::memcpy(&chunk, value, kChunkBytes);
    toStoredOrder(chunk);
    // The host restores the ports; their values stand in for the parameter words. Being
    // values the effect stored, they never make setChunk take the chunk for byte-swapped.
    for (int i = 0; i < kNumParams; ++i)
        chunk.params[i] = plug_->getParameter(i);
    if (plug_->setChunk(&chunk, kChunkBytes, false) != kChunkBytes) return LV2_STATE_ERR_UNKNOWN;
    for (int w = 0; w < kEditorWords; ++w)
        editorWords_[w].store(chunk.editor[w], std::memory_order_relaxed);
    return LV2_STATE_SUCCESS;
}

} // namespace kavet::lv2
