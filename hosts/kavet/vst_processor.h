// Processors of a VST 2.4 module: set up while suspended (rate, block size, parameters),
// then resumed, which puts the gains at their targets before the first sample.
#pragma once

#include "hosts/common/vst_plugin.h"
#include "processor.h"

namespace kavet::cli {

class VstProcessor : public Processor {
public:
    explicit VstProcessor(const std::shared_ptr<const host::VstModule>& module);

    int numInputs() const override { return plugin_.numInputs(); }
    int numOutputs() const override { return plugin_.numOutputs(); }
    bool hasParameter(int index, const char* name) override;
    bool canProcessDouble() override { return plugin_.canProcessDouble(); }
    std::string productName() override { return plugin_.productString(); }
    void start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
               bool useDouble) override;
    void process(float** inputs, float** outputs, int frames) override;
    void process(double** inputs, double** outputs, int frames) override;

private:
    host::VstPlugin plugin_;
};

class VstProcessorModule : public ProcessorModule {
public:
    explicit VstProcessorModule(const std::string& path);
    const std::string& path() const override { return module_->path(); }
    std::unique_ptr<Processor> newProcessor() override;

private:
    std::shared_ptr<const host::VstModule> module_;
};

} // namespace kavet::cli
