// Processors of a CLAP module, driven through the project's CLAP host (hosts/common): the
// plug-in made and initialised, activated at the file's rate for blocks of up to the block
// size, given the strip settings as parameter values through params.flush before its
// processing starts (which the effect takes before its first sample, as the VST 2.4 effect
// takes the values set before it is resumed), then started, its blocks of 32- or 64-bit
// samples processed on the host's audio thread. A parameter's id is its VST 2.4 index; a
// setting's normalised value goes to the parameter's range.
#pragma once

#include "module_kind.h"
#include "processor.h"

#include "hosts/common/clap_plugin.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace kavet::cli {

// Whether --plugin `path`, of exports `kind`, is loaded as a CLAP module: it exports
// clap_entry, or it is named *.clap and exports no other format's entry (so that a file that
// is not a CLAP module is refused as one).
bool takenAsClap(const std::string& path, ModuleKind kind);

// Loads the CLAP module at `path`. Throws HostError, one line each: no such file, a folder,
// a file that does not load, exports no clap_entry, speaks another interface version, refuses
// init or has no plug-in factory.
std::shared_ptr<const host::ClapModule> loadClapModule(const std::string& path);

// The parameter `id` as the plug-in describes it, or none.
std::optional<clap::ParamInfo> clapParamInfo(const host::ClapPlugin& plugin, clap::Id id);

// The plug-in of a module that fits a file of `channels` channels: the one whose main ports
// have that many channels, else one of one channel (an instance per file channel), else the
// first. For Kavet.clap that is the rule of the default modules: Kavet Stereo for stereo
// files, Kavet Mono for the others.
class ClapProcessorModule : public ProcessorModule {
public:
    // Throws HostError when the module cannot be loaded, lists no plug-in, or a plug-in
    // cannot be made.
    ClapProcessorModule(const std::string& path, int channels);
    const std::string& path() const override { return path_; }
    std::unique_ptr<Processor> newProcessor() override;

private:
    std::string path_;
    std::shared_ptr<const host::ClapModule> module_;
    host::ClapDescriptor descriptor_;
};

class ClapProcessor : public Processor {
public:
    // Throws HostError when the plug-in cannot be made.
    ClapProcessor(std::shared_ptr<const host::ClapModule> module,
                  const host::ClapDescriptor& descriptor);

    int numInputs() const override { return static_cast<int>(plugin_.inputChannels()); }
    int numOutputs() const override { return static_cast<int>(plugin_.outputChannels()); }
    // The plug-in has parameter id `index` under the name `name` (any case).
    bool hasParameter(int index, const char* name) override;
    bool canProcessDouble() override { return plugin_.takes64Bits(); }
    std::string productName() override { return name_; }
    void start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
               bool useDouble) override;
    // A refused block (not processed, or answered with an error) comes out silent and is
    // counted (fault()).
    void process(float** inputs, float** outputs, int frames) override;
    void process(double** inputs, double** outputs, int frames) override;
    std::string fault() const override;

private:
    template <class Sample> void run(Sample** inputs, Sample** outputs, int frames);

    std::string name_; // the descriptor's
    host::ClapPlugin plugin_;
    host::EventList noEvents_{1, 64};
    std::size_t refusedBlocks_ = 0;
};

} // namespace kavet::cli
