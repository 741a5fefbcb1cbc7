// CTemplateNoUIProcessRTAS: one inserted instance, rendered in real time. It owns one
// effect (Plug) made with the adaptor's host callback, mirrors the effect's parameters in
// host controls (control index = parameter index + 1), renders through the effect's
// processReplacing, reports output peaks to the host's meters and carries the effect's
// state in the `vlmr` chunk.
#pragma once

#include "protools/framework/effect_process_rtas.h"
#include "template_process.h"

#include "vst/aeffect.h"

#include <cstdint>

namespace kavet {
class Plug;
}

inline constexpr ptfw::OSType kEffectChunkID = ptfw::FourCC("vlmr");
inline constexpr const char* kEffectChunkName = "Plugin chunk";

class CTemplateNoUIProcessRTAS : public CTemplateNoUIProcess, public CEffectProcessRTAS {
public:
    static constexpr int kMeterChannels = 48; // capacity of the peak arrays

    CTemplateNoUIProcessRTAS();
    ~CTemplateNoUIProcessRTAS() override;

    kavet::Plug* GetEffect() override { return effect_; }

    // [audio thread]
    void RenderAudio(float** inputs, float** outputs, long frames) override;
    long GetMeters(std::int32_t* values, char* clips) override;
    // The effect's resume: its gains jump to their targets and its meters clear. [UI thread],
    // never while rendering.
    void ResetAlgorithm() override;

    // [UI thread]
    [[nodiscard]] std::int32_t GetChunk(ptfw::OSType id, ptfw::SFicPlugInChunk* chunk) override;
    [[nodiscard]] std::int32_t SetChunk(ptfw::OSType id,
                                        const ptfw::SFicPlugInChunk* chunk) override;

    // Continuous by index: 1 and 2, and 6 (Pan) in the stereo build.
    static bool IsContinuousControl(long index);
    // The effect reported a change of parameter `param` (opcode 0): set host control
    // param + 1 from the effect's plain value. [UI thread] (editor gestures).
    void EffectParameterChanged(long param);

protected:
    void EffectInit() override; // [UI thread] (the loading thread included)
    // A host control changed: the effect takes its plain value. [any thread]
    void UpdateControlValueInAlgorithm(long index) override;

private:
    void RecordFreshPeaks(float* const* outputs, int channels, long frames);
    void Silence(float* const* outputs, int first, int channels, long frames);

    kavet::Plug* effect_ = nullptr;
    AEffect* record_ = nullptr; // the effect's record, the registry's key
    float freshPeak_[kMeterChannels];
    float heldPeak_[kMeterChannels];
};

// The process factory of the effect type: null when allocation fails.
CEffectProcess* NewNoUIProcessRTAS();

// The host callback each effect is constructed with (opcodes 0, 43 and 44; others answer 0).
// [UI thread] (editor gestures; see process_registry.cpp).
VstIntPtr VSTCALLBACK AdaptorHostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);
