// CEffectProcessRTAS: a process rendered in real time on the host's processor. The host's
// audio thread calls RenderAudio with arrays of GetNumInputs() input and GetNumOutputs()
// output channel pointers, and asks for the output meters with GetMeters.
#pragma once

#include "effect_process.h"

#include <atomic>
#include <cstdint>

class CEffectProcessRTAS : public virtual CEffectProcess {
public:
    // [audio thread]
    virtual void RenderAudio(float** inputs, float** outputs, long frames) = 0;
    // Writes one value per metered output channel (full scale is 2^31, read as unsigned;
    // -1 marks a clip) and one clip byte; answers the number written, at most
    // PT_METER_CHANNELS. None by default.
    virtual long GetMeters(std::int32_t* values, char* clips);
    // The host starts rendering from a stop: take the current settings at once. [UI
    // thread], never while rendering. Nothing by default.
    virtual void ResetAlgorithm() {}

    // Set by the plug-in on the [audio thread]; cleared by the host.
    void SetClipIndicator() { clip_.store(true, std::memory_order_relaxed); }
    void ClearClipIndicator() { clip_.store(false, std::memory_order_relaxed); }
    bool GetClipIndicator() const { return clip_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> clip_{false};
};
