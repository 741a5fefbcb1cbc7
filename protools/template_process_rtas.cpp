#include "template_process_rtas.h"

#include "core/plug.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

CTemplateNoUIProcessRTAS::CTemplateNoUIProcessRTAS() {
    std::fill(std::begin(freshPeak_), std::end(freshPeak_), 0.0f);
    std::fill(std::begin(heldPeak_), std::end(heldPeak_), 0.0f);
    effect_ = new (std::nothrow) kavet::Plug(&AdaptorHostCallback);
    if (effect_ == nullptr) return; // the process exists but stays silent
    effect_->setHostLink(&editorLink_);
    if (effect_->getAeffect()->flags & effFlagsProgramChunks) {
        void* data = nullptr;
        const VstInt32 size = effect_->getChunk(&data, false);
        AddChunk(kEffectChunkID, kEffectChunkName, static_cast<std::uint32_t>(size));
    }
    effect_->setSampleRate(static_cast<float>(GetSampleRate()));
    effect_->resume();
}

CTemplateNoUIProcessRTAS::~CTemplateNoUIProcessRTAS() {
    DeleteCustomUI();
    delete effect_;
    effect_ = nullptr;
}

CEffectProcess* NewNoUIProcessRTAS() {
    return new (std::nothrow) CTemplateNoUIProcessRTAS;
}

// ---------------------------------------------------------------------------------------
// Render and meters (audio thread: no allocation, no lock)

void CTemplateNoUIProcessRTAS::Silence(float* const* outputs, int first, int channels,
                                       long frames) {
    for (int c = first; c < channels; ++c)
        if (outputs[c] != nullptr)
            std::memset(outputs[c], 0, static_cast<std::size_t>(frames) * sizeof(float));
}

void CTemplateNoUIProcessRTAS::RecordFreshPeaks(float* const* outputs, int channels, long frames) {
    const int metered = std::min(channels, kMeterChannels);
    for (int c = 0; c < metered; ++c) {
        const float* samples = outputs[c];
        if (samples == nullptr) continue;
        float peak = freshPeak_[c];
        for (long n = 0; n < frames; ++n)
            peak = std::max(peak, std::fabs(samples[n])); // a NaN never wins
        freshPeak_[c] = peak;
    }
}

void CTemplateNoUIProcessRTAS::RenderAudio(float** inputs, float** outputs, long frames) {
    const int in = GetNumInputs();
    const int out = GetNumOutputs();
    if (effect_ == nullptr || out == 0 || outputs == nullptr || frames <= 0) return;
    const int width = effect_->getAeffect()->numOutputs;
    // A host that connects no input, or fewer outputs than the effect writes, hears silence
    // rather than the effect reading or writing channels that are not there.
    if (in == 0 || inputs == nullptr || inputs[0] == nullptr || out < width) {
        Silence(outputs, 0, out, frames);
        return;
    }
    const auto count = static_cast<VstInt32>(frames);
    if (in == out) {
        effect_->processReplacing(inputs, outputs, count);
    } else {
        float* pair[2] = {inputs[0], inputs[0]};
        effect_->processReplacing(pair, outputs, count);
    }
    Silence(outputs, width, out, frames); // outputs beyond the effect's own are silent
    RecordFreshPeaks(outputs, out, frames);
}

void CTemplateNoUIProcessRTAS::ResetAlgorithm() {
    if (effect_ != nullptr) effect_->resume();
}

long CTemplateNoUIProcessRTAS::GetMeters(std::int32_t* values, char* clips) {
    const int metered = std::min(GetNumOutputs(), kMeterChannels);
    for (int c = 0; c < metered; ++c) {
        const float b = std::max(freshPeak_[c], heldPeak_[c]);
        heldPeak_[c] = static_cast<float>(b * 0.7);
        if (std::fabs(b) > 1.0f) {
            clips[c] = 1;
            SetClipIndicator();
            values[c] = -1;
        } else {
            clips[c] = 0;
            // Full scale is 2^31: 1.0 reports the bit pattern 0x80000000.
            const auto scaled = static_cast<std::int64_t>(b * 2147483648.0);
            values[c] = static_cast<std::int32_t>(static_cast<std::uint32_t>(scaled));
        }
        freshPeak_[c] = 0.0f;
    }
    return metered;
}
