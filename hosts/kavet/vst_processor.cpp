#include "vst_processor.h"

#include <strings.h>

namespace kavet::cli {

VstProcessor::VstProcessor(const std::shared_ptr<const host::VstModule>& module)
    : plugin_(module) {}

bool VstProcessor::hasParameter(int index, const char* name) {
    return index >= 0 && index < plugin_.numParams() &&
           strcasecmp(plugin_.parameterName(index).c_str(), name) == 0;
}

void VstProcessor::start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
                         bool) {
    plugin_.setSampleRate(sampleRate);
    plugin_.setBlockSize(blockSize);
    for (const ParamSetting& setting : settings)
        plugin_.setParameter(setting.index, setting.normalised);
    plugin_.resume();
}

void VstProcessor::process(float** inputs, float** outputs, int frames) {
    plugin_.process(inputs, outputs, frames, plugin_.numOutputs());
}

void VstProcessor::process(double** inputs, double** outputs, int frames) {
    plugin_.process(inputs, outputs, frames);
}

VstProcessorModule::VstProcessorModule(const std::string& path)
    : module_(std::make_shared<const host::VstModule>(path)) {}

std::unique_ptr<Processor> VstProcessorModule::newProcessor() {
    return std::make_unique<VstProcessor>(module_);
}

} // namespace kavet::cli
