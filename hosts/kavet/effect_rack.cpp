#include "effect_rack.h"

#include "hosts/common/host_error.h"
#include "param_values.h"

namespace kavet::cli {

using host::HostError;

namespace {

std::string describeChannels(const Processor& processor) {
    return std::to_string(processor.numInputs()) + " input(s) and " +
           std::to_string(processor.numOutputs()) + " output(s)";
}

} // namespace

EffectRack::EffectRack(ProcessorModule& module, int channels) : path_(module.path()) {
    instances_.push_back(module.newProcessor());
    const Processor& probe = *instances_.front();
    if (probe.numInputs() == channels && probe.numOutputs() == channels) {
        width_ = channels;
        return;
    }
    if (probe.numInputs() != 1 || probe.numOutputs() != 1)
        throw HostError("module '" + path_ + "' has " + describeChannels(probe) +
                        ", which does not fit a file of " + std::to_string(channels) +
                        " channel(s)");
    width_ = 1;
    while (instances_.size() < static_cast<std::size_t>(channels))
        instances_.push_back(module.newProcessor());
}

void EffectRack::checkSettings(const std::vector<ParamSetting>& settings, bool useDouble) {
    Processor& processor = first();
    for (const ParamSetting& setting : settings) {
        const char* wanted = paramName(setting.index);
        if (!processor.hasParameter(setting.index, wanted))
            throw HostError("module '" + path_ + "' has no " + wanted + " parameter");
    }
    if (useDouble && !processor.canProcessDouble())
        throw HostError("module '" + path_ + "' cannot process 64-bit samples (--double)");
}

void EffectRack::start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
                       bool useDouble) {
    checkSettings(settings, useDouble);
    for (auto& processor : instances_)
        processor->start(sampleRate, blockSize, settings, useDouble);
}

void EffectRack::checkFaults() const {
    for (const auto& processor : instances_)
        if (std::string fault = processor->fault(); !fault.empty())
            throw HostError("module '" + path_ + "': " + fault);
}

template <typename Sample>
void EffectRack::run(std::vector<std::vector<Sample>>& in, std::vector<std::vector<Sample>>& out,
                     std::size_t offset, int frames) {
    std::vector<Sample*> inputs(static_cast<std::size_t>(width_));
    std::vector<Sample*> outputs(static_cast<std::size_t>(width_));
    std::size_t channel = 0;
    for (auto& processor : instances_) {
        for (std::size_t k = 0; k < inputs.size(); ++k, ++channel) {
            inputs[k] = in[channel].data() + offset;
            outputs[k] = out[channel].data() + offset;
        }
        processor->process(inputs.data(), outputs.data(), frames);
    }
}

void EffectRack::process(std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                         std::size_t offset, int frames) {
    run(in, out, offset, frames);
}

void EffectRack::process(std::vector<std::vector<double>>& in,
                         std::vector<std::vector<double>>& out, std::size_t offset, int frames) {
    run(in, out, offset, frames);
}

} // namespace kavet::cli
