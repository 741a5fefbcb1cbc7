// One effect instance as the command line drives it, whatever the module's format: set up
// with the file's rate and the strip settings, then processed block by block. Each module
// format has its own implementation (VST 2.4 modules in vst_processor.h, host-format
// modules in pt_processor.h, LV2 plug-ins in lv2_processor.h, VST 3 modules in
// vst3_processor.h, CLAP modules in clap_processor.h); the rack and the job see only this
// interface.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace kavet::cli {

struct ParamSetting {
    int index;        // the parameter table's index (core/params.h)
    float normalised; // the value setParameter takes, 0..1
};

class Processor {
public:
    virtual ~Processor() = default;

    virtual int numInputs() const = 0;
    virtual int numOutputs() const = 0;
    // The effect has parameter `index` under the name the command line knows it by.
    virtual bool hasParameter(int index, const char* name) = 0;
    virtual bool canProcessDouble() = 0;
    virtual std::string productName() = 0;

    // Sets the instance up and starts it: every setting applies from the first sample, with
    // no glide from the defaults; the blocks that follow are of 64-bit samples when
    // `useDouble` is set (only after canProcessDouble() answered true). Throws HostError.
    virtual void start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
                       bool useDouble) = 0;

    // Replacing processing of numInputs() inputs into numOutputs() outputs.
    virtual void process(float** inputs, float** outputs, int frames) = 0;
    virtual void process(double** inputs, double** outputs, int frames) = 0;

    // After processing: empty, or the one-line reason the output is not the effect's (it
    // refused blocks, which came out silent).
    virtual std::string fault() const { return {}; }
};

// Of the effects of a module, the one for a file of `channels` channels: the first that
// `fits` (item, width) at that width, else the first of one channel (an instance per file
// channel), else the first. `items` is not empty.
template <class Item, class Fits>
const Item& fittingEffect(const std::vector<Item>& items, int channels, Fits fits) {
    for (const int width : {channels, 1})
        for (const Item& item : items)
            if (fits(item, width)) return item;
    return items.front();
}

// A loaded module that makes processors.
class ProcessorModule {
public:
    virtual ~ProcessorModule() = default;
    virtual const std::string& path() const = 0;
    // Throws HostError when the module refuses an instance.
    virtual std::unique_ptr<Processor> newProcessor() = 0;
};

// Loads the module at `path`, a VST 2.4, VST 3, CLAP or host-format one as its exports say
// (a file named *.clap as a CLAP module); or the VST 3 module of a bundle folder named
// *.vst3; or the LV2 plug-in that another folder or a plug-in URI names. A module of several
// effects gives the one that fits a file of `channels` channels (lv2_processor.h,
// vst3_processor.h, clap_processor.h). Throws HostError when it cannot
// be loaded or is none of these.
std::unique_ptr<ProcessorModule> openProcessorModule(const std::string& path, int channels);

} // namespace kavet::cli
