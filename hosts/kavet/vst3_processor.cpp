#include "vst3_processor.h"

#include "hosts/common/host_error.h"
#include "vst3_bundle.h"
#include "vst3_text.h"

#include <algorithm>
#include <cmath>
#include <strings.h>

namespace kavet::cli {

using host::HostError;

namespace {

struct Candidate {
    host::Vst3ClassInfo info;
    int inputs, outputs;
};

// Every audio effect class with its main buses' channels, read from an effect of each.
std::vector<Candidate> audioEffects(const std::shared_ptr<const host::Vst3Module>& module) {
    std::vector<Candidate> list;
    for (const host::Vst3ClassInfo& info : module->classes()) {
        if (info.category != vst3::kAudioEffectClass) continue;
        const host::Vst3Plugin probe(module, info.cid);
        list.push_back({info, probe.inputChannels(), probe.outputChannels()});
    }
    return list;
}

host::Vst3ClassInfo pick(const std::string& path,
                         const std::shared_ptr<const host::Vst3Module>& module, int channels) {
    const std::vector<Candidate> candidates = audioEffects(module);
    if (candidates.empty())
        throw HostError("module '" + path + "' lists no audio effect class (category \"" +
                        vst3::kAudioEffectClass + "\")");
    return fittingEffect(candidates, channels,
                         [](const Candidate& c, int width) {
                             return c.inputs == width && c.outputs == width;
                         })
        .info;
}

// A block of no samples with the settings at its first sample: the effect takes them before
// its first sample of audio.
template <class Sample>
bool sendSettings(host::Vst3Plugin& plugin, const std::vector<host::ParamChange>& changes) {
    const std::vector<Sample*> in(static_cast<std::size_t>(plugin.inputChannels()));
    const std::vector<Sample*> out(static_cast<std::size_t>(plugin.outputChannels()));
    return plugin.process(in.data(), out.data(), 0, changes).ok;
}

} // namespace

std::optional<vst3::ParameterInfo> parameterInfo(vst3::IEditController& controller,
                                                 vst3::ParamID id) {
    const vst3::int32 count = controller.getParameterCount();
    for (vst3::int32 i = 0; i < count; ++i) {
        vst3::ParameterInfo info{};
        if (controller.getParameterInfo(i, info) == vst3::kResultOk && info.id == id) return info;
    }
    return std::nullopt;
}

Vst3ProcessorModule::Vst3ProcessorModule(const std::string& path, int channels)
    : path_(path), module_(loadVst3Module(path)), class_(pick(path, module_, channels)) {}

std::unique_ptr<Processor> Vst3ProcessorModule::newProcessor() {
    return std::make_unique<Vst3Processor>(module_, class_);
}

Vst3Processor::Vst3Processor(std::shared_ptr<const host::Vst3Module> module,
                             const host::Vst3ClassInfo& info)
    : name_(info.name), plugin_(std::move(module), info.cid) {}

bool Vst3Processor::hasParameter(int index, const char* name) {
    if (index < 0) return false;
    const auto info = parameterInfo(*plugin_.controller(), static_cast<vst3::ParamID>(index));
    return info &&
           strcasecmp(utf8FromUtf16(info->title, std::size(info->title)).c_str(), name) == 0;
}

bool Vst3Processor::canProcessDouble() {
    return plugin_.processor()->canProcessSampleSize(vst3::kSample64) == vst3::kResultTrue;
}

void Vst3Processor::start(float sampleRate, int blockSize,
                          const std::vector<ParamSetting>& settings, bool useDouble) {
    plugin_.deactivate();
    refusedBlocks_ = 0;
    if (!plugin_.setup(sampleRate, blockSize, useDouble ? vst3::kSample64 : vst3::kSample32))
        throw HostError("VST 3 effect '" + name_ + "' refused to process " +
                        (useDouble ? "64" : "32") + "-bit samples in blocks of " +
                        std::to_string(blockSize) + " at " +
                        std::to_string(std::lround(sampleRate)) + " Hz");
    if (!plugin_.activate()) throw HostError("VST 3 effect '" + name_ + "' refused to start");
    std::vector<host::ParamChange> changes;
    for (const ParamSetting& setting : settings)
        changes.push_back(
            {static_cast<vst3::ParamID>(setting.index), 0, double{setting.normalised}});
    const bool ok =
        useDouble ? sendSettings<double>(plugin_, changes) : sendSettings<float>(plugin_, changes);
    if (!ok) throw HostError("VST 3 effect '" + name_ + "' refused its settings");
}

template <class Sample> void Vst3Processor::refused(Sample** outputs, int frames) {
    for (int c = 0; c < numOutputs(); ++c)
        std::fill(outputs[c], outputs[c] + frames, Sample(0));
    ++refusedBlocks_;
}

void Vst3Processor::process(float** inputs, float** outputs, int frames) {
    if (!plugin_.process(inputs, outputs, frames).ok) refused(outputs, frames);
}

void Vst3Processor::process(double** inputs, double** outputs, int frames) {
    if (!plugin_.process(inputs, outputs, frames).ok) refused(outputs, frames);
}

std::string Vst3Processor::fault() const {
    if (refusedBlocks_ == 0) return {};
    return "VST 3 effect '" + name_ + "' refused " + std::to_string(refusedBlocks_) +
           " block(s), which came out silent";
}

} // namespace kavet::cli
