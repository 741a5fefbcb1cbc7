// CTemplateNoUIProcessRTAS: one inserted instance, rendered in real time. It owns one
// effect (Plug) made with the adaptor's host callback, mirrors the effect's parameters in
// host controls (control index = parameter index + 1), renders through the effect's
// processReplacing, reports output peaks to the host's meters and carries the effect's
// state in the `vlmr` chunk.
#pragma once

#include "protools/framework/effect_process_rtas.h"
#include "template_process.h"

#include "core/host_link.h"
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
    // The user changed parameter `param` in the editor: set host control param + 1 from the
    // effect's plain value. [UI thread] (editor gestures).
    void EffectParameterChanged(long param);

protected:
    void EffectInit() override; // [UI thread] (the loading thread included)
    // A host control changed: the effect takes its plain value. [any thread]
    void UpdateControlValueInAlgorithm(long index) override;

private:
    // The effect's link to this process: the editor's changes and gestures become the host
    // controls' values, touches and releases. [UI thread]
    class EditorLink final : public kavet::HostLink {
    public:
        explicit EditorLink(CTemplateNoUIProcessRTAS& process) : process_(process) {}
        void changedByUser(int index, float value) override;
        void beginGesture(int index) override;
        void endGesture(int index) override;

    private:
        bool IsParameter(int index) const;
        CTemplateNoUIProcessRTAS& process_;
    };

    void RecordFreshPeaks(float* const* outputs, int channels, long frames);
    void Silence(float* const* outputs, int first, int channels, long frames);

    kavet::Plug* effect_ = nullptr;
    EditorLink editorLink_{*this};
    float freshPeak_[kMeterChannels];
    float heldPeak_[kMeterChannels];
};

// The process factory of the effect type: null when allocation fails.
CEffectProcess* NewNoUIProcessRTAS();

// The host callback each effect is constructed with: the effect's changes and gestures go
// through the process's link instead, so every opcode answers 0. [any thread]
VstIntPtr VSTCALLBACK AdaptorHostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                          VstIntPtr value, void* ptr, float opt);
