#include "effect_rack.h"

#include "host_error.h"
#include "param_values.h"

#include <strings.h>

namespace kavet::cli {

using host::HostError;

namespace {

std::string describeChannels(const host::VstPlugin& plugin) {
    return std::to_string(plugin.numInputs()) + " input(s) and " +
           std::to_string(plugin.numOutputs()) + " output(s)";
}

} // namespace

EffectRack::EffectRack(const std::shared_ptr<const host::VstModule>& module, int channels) {
    instances_.push_back(std::make_unique<host::VstPlugin>(module));
    const host::VstPlugin& probe = *instances_.front();
    if (probe.numInputs() == channels && probe.numOutputs() == channels) {
        width_ = channels;
        return;
    }
    if (probe.numInputs() != 1 || probe.numOutputs() != 1)
        throw HostError("module '" + module->path() + "' has " + describeChannels(probe) +
                        ", which does not fit a file of " + std::to_string(channels) +
                        " channel(s)");
    width_ = 1;
    while (instances_.size() < static_cast<std::size_t>(channels))
        instances_.push_back(std::make_unique<host::VstPlugin>(module));
}

void EffectRack::checkSettings(const std::vector<ParamSetting>& settings, bool useDouble) {
    host::VstPlugin& plugin = first();
    const std::string& path = plugin.module().path();
    for (const ParamSetting& setting : settings) {
        const char* wanted = paramName(setting.index);
        if (setting.index >= plugin.numParams() ||
            strcasecmp(plugin.parameterName(setting.index).c_str(), wanted) != 0)
            throw HostError("module '" + path + "' has no " + wanted + " parameter");
    }
    if (useDouble && !plugin.canProcessDouble())
        throw HostError("module '" + path + "' cannot process 64-bit samples (--double)");
}

void EffectRack::start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
                       bool useDouble) {
    checkSettings(settings, useDouble);
    for (auto& plugin : instances_) {
        plugin->setSampleRate(sampleRate);
        plugin->setBlockSize(blockSize);
        for (const ParamSetting& setting : settings)
            plugin->setParameter(setting.index, setting.normalised);
        plugin->resume();
    }
}

template <typename Sample>
void EffectRack::run(std::vector<std::vector<Sample>>& in, std::vector<std::vector<Sample>>& out,
                     std::size_t offset, int frames) {
    std::vector<Sample*> inputs(static_cast<std::size_t>(width_));
    std::vector<Sample*> outputs(static_cast<std::size_t>(width_));
    std::size_t channel = 0;
    for (auto& plugin : instances_) {
        for (std::size_t k = 0; k < inputs.size(); ++k, ++channel) {
            inputs[k] = in[channel].data() + offset;
            outputs[k] = out[channel].data() + offset;
        }
        if constexpr (std::is_same_v<Sample, double>)
            plugin->process(inputs.data(), outputs.data(), frames);
        else
            plugin->process(inputs.data(), outputs.data(), frames, width_);
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
