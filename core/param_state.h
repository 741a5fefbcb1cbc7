// The parameters' normalised values, shared by every thread without a lock. Host calls,
// chunk loads and adaptors write them [any thread]; the audio thread derives its targets
// from them when it sees a change; the editor takes the changes at its idle [UI thread].
// Each value is one atomic 32-bit store, and each reader has its own record of what changed.
#pragma once

#include "config.h"
#include "params.h"

#include <atomic>
#include <cstdint>

namespace kavet {

class ParamState {
public:
    ParamState() {
        for (int i = 0; i < kNumParams; ++i)
            values_[i].store(kParamInfo[i].defaultValue, std::memory_order_relaxed);
    }

    // [any thread] Stores `value` clamped to 0..1 and marks it changed for both readers.
    // A bad index or a NaN is refused (false) and changes nothing.
    bool set(int index, float value) {
        float stored;
        if (!isValidParam(index) || !clampNormalised(value, stored)) return false;
        values_[index].store(stored, std::memory_order_relaxed);
        editorChanges_.fetch_or(1u << index, std::memory_order_release);
        audioChange_.store(true, std::memory_order_release);
        return true;
    }

    // [any thread] The value last set; 0 for a bad index.
    float get(int index) const {
        return isValidParam(index) ? values_[index].load(std::memory_order_relaxed) : 0.0f;
    }

    // [UI thread] One bit (1 << index) for each parameter set since the last call.
    std::uint32_t takeEditorChanges() {
        if (editorChanges_.load(std::memory_order_relaxed) == 0) return 0;
        return editorChanges_.exchange(0, std::memory_order_acquire);
    }

    // [audio thread] Whether any parameter was set since the last call; one plain load
    // while nothing changes.
    bool takeAudioChange() {
        if (!audioChange_.load(std::memory_order_relaxed)) return false;
        return audioChange_.exchange(false, std::memory_order_acquire);
    }

    // [any thread] Marks a change for the audio thread without a new value: the values'
    // meaning changed (a new trim range in force).
    void markAudioChange() { audioChange_.store(true, std::memory_order_release); }

private:
    std::atomic<float> values_[kNumParams];
    std::atomic<std::uint32_t> editorChanges_{0};
    std::atomic<bool> audioChange_{true};
};

} // namespace kavet
