// Processors of an LV2 plug-in, loaded through lilv as an LV2 host loads it. Every port is
// connected: the audio ports to the rack's buffers at each block, the control inputs to
// values that start at their defaults (the host's enable switch at 1, the strip settings as
// port values, lv2_port_values.h), the control outputs (meters) to scratch values. The
// ports are set before the instance is activated; the plug-in takes them all at its first
// run and starts its gains there, so that the settings apply from the first sample.
#pragma once

#include "lv2_world.h"
#include "processor.h"

#include <cstdint>
#include <optional>

namespace kavet::cli {

// The plug-in named by a bundle folder or a URI (lv2_world.h). A bundle describing several
// plug-ins gives the one whose audio inputs and outputs equal the file's channel count;
// else one of one input and one output (an instance per channel); else the first by URI.
// For Kavet.lv2 that is the rule of the default modules: Kavet Stereo for stereo files,
// Kavet Mono for the others.
class Lv2ProcessorModule : public ProcessorModule {
public:
    // Throws HostError when nothing is found, or the plug-in is incomplete, needs a feature
    // kavet does not provide or has a port that is neither audio nor control.
    Lv2ProcessorModule(const std::string& reference, int channels);
    const std::string& path() const override { return world_.reference(); }
    std::unique_ptr<Processor> newProcessor() override;

private:
    Lv2World world_;
    const LilvPlugin* plugin_;
};

class Lv2Processor : public Processor {
public:
    Lv2Processor(const Lv2World& world, const LilvPlugin* plugin);
    ~Lv2Processor() override;
    Lv2Processor(const Lv2Processor&) = delete;
    Lv2Processor& operator=(const Lv2Processor&) = delete;

    int numInputs() const override { return static_cast<int>(audioIn_.size()); }
    int numOutputs() const override { return static_cast<int>(audioOut_.size()); }
    // A control input whose symbol is the parameter's (lv2/ports.h: paramSymbol).
    bool hasParameter(int index, const char* name) override;
    bool canProcessDouble() override { return false; } // LV2 audio ports carry floats
    std::string productName() override;
    void start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
               bool useDouble) override;
    void process(float** inputs, float** outputs, int frames) override;
    // Through 32-bit buffers; the rack never asks, since canProcessDouble() is false.
    void process(double** inputs, double** outputs, int frames) override;

private:
    std::optional<std::uint32_t> controlInput(const std::string& symbol) const;
    void setControls(const std::vector<ParamSetting>& settings);
    std::string uri() const;

    const Lv2World& world_;
    const LilvPlugin* plugin_;
    std::vector<std::uint32_t> audioIn_, audioOut_, controlPorts_; // port indices
    // One value per port, connected to each control port (inputs and outputs alike); its
    // size is fixed at construction, so the connections stay valid.
    std::vector<float> controls_;
    std::vector<float> defaults_;
    LilvInstance* instance_ = nullptr;
    bool active_ = false;
    // 64-bit processing only: blocks of at most the block size, and their pointers.
    std::vector<std::vector<float>> scratchIn_, scratchOut_;
    std::vector<float*> scratchInPtrs_, scratchOutPtrs_;
};

} // namespace kavet::cli
