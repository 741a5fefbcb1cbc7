// Processors of a host-format module, inserted through the simulated host (kavet_ptsim) as
// the host inserts them: one instance of the module's single effect type at the file's
// rate, rendered in 32-bit blocks.
#pragma once

#include "hosts/ptsim/pt_instance.h"
#include "hosts/ptsim/pt_module.h"
#include "processor.h"

namespace kavet::cli {

// The module opened by the host (version 73) and closed again when this goes.
class PtProcessorModule : public ProcessorModule {
public:
    explicit PtProcessorModule(const std::string& path);
    ~PtProcessorModule() override;
    const std::string& path() const override { return module_.path(); }
    std::unique_ptr<Processor> newProcessor() override;

    const ptsim::PtModule& module() const { return module_; }
    const PtGroupInfo& group() const { return group_; }
    const PtTypeInfo& type() const { return type_; }

private:
    ptsim::PtModule module_;
    bool opened_ = false;
    PtGroupInfo group_{};
    PtTypeInfo type_{};
};

class PtProcessor : public Processor {
public:
    explicit PtProcessor(const PtProcessorModule& module);

    int numInputs() const override { return inputs_; }
    int numOutputs() const override { return outputs_; }
    bool hasParameter(int index, const char* name) override;
    bool canProcessDouble() override { return false; } // the render call is 32-bit
    std::string productName() override;
    void start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
               bool useDouble) override;
    void process(float** inputs, float** outputs, int frames) override;
    // Through 32-bit buffers; the rack never asks, since canProcessDouble() is false.
    void process(double** inputs, double** outputs, int frames) override;

private:
    void applySettings(const std::vector<ParamSetting>& settings);

    const PtProcessorModule& module_;
    std::unique_ptr<ptsim::PtInstance> instance_;
    int inputs_;
    int outputs_;
    std::vector<std::vector<float>> scratchIn_, scratchOut_; // 64-bit processing only
};

// The first name of a host name list (longest first, "\n" between names).
std::string firstName(const char* names);

} // namespace kavet::cli
