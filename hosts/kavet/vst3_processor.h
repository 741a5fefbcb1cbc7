// Processors of a VST 3 module, driven through the project's VST 3 host (hosts/common): the
// class's processor and controller made and connected, set up with the file's rate, block
// size and sample size, activated, and given the strip settings as parameter changes at the
// first sample of a block of no samples before any audio, which the effect takes before it
// starts its gains, as the VST 2.4 effect takes the values set before it is resumed. A
// parameter's id is its VST 2.4 index.
#pragma once

#include "processor.h"

#include "hosts/common/vst3_plugin.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace kavet::cli {

// The parameter `id` as the controller describes it, or none.
std::optional<vst3::ParameterInfo> parameterInfo(vst3::IEditController& controller,
                                                 vst3::ParamID id);

// The audio effect class (category "Audio Module Class") of a module that fits a file of
// `channels` channels: the one whose main buses have that many channels, else one of one
// channel (an instance per file channel), else the first. For Kavet.vst3 that is the rule
// of the default modules: Kavet Stereo for stereo files, Kavet Mono for the others.
class Vst3ProcessorModule : public ProcessorModule {
public:
    // Throws HostError when the module cannot be loaded (vst3_bundle.h), lists no audio
    // effect class, or an effect cannot be made.
    Vst3ProcessorModule(const std::string& path, int channels);
    const std::string& path() const override { return path_; }
    std::unique_ptr<Processor> newProcessor() override;

private:
    std::string path_;
    std::shared_ptr<const host::Vst3Module> module_;
    host::Vst3ClassInfo class_;
};

class Vst3Processor : public Processor {
public:
    // Throws HostError when the effect cannot be made.
    Vst3Processor(std::shared_ptr<const host::Vst3Module> module, const host::Vst3ClassInfo& info);

    int numInputs() const override { return plugin_.inputChannels(); }
    int numOutputs() const override { return plugin_.outputChannels(); }
    // The controller has parameter id `index` under the title `name` (any case).
    bool hasParameter(int index, const char* name) override;
    bool canProcessDouble() override;
    std::string productName() override { return name_; }
    void start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
               bool useDouble) override;
    // [audio thread] A refused block comes out silent and is counted (fault()).
    void process(float** inputs, float** outputs, int frames) override;
    void process(double** inputs, double** outputs, int frames) override;
    std::string fault() const override;

private:
    template <class Sample> void refused(Sample** outputs, int frames);

    std::string name_; // the class's
    host::Vst3Plugin plugin_;
    std::size_t refusedBlocks_ = 0;
};

} // namespace kavet::cli
