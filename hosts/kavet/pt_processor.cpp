#include "pt_processor.h"

#include "hosts/common/host_error.h"

#include <cmath>
#include <cstring>
#include <strings.h>

namespace kavet::cli {

using host::HostError;

namespace {

// The only effect type a Kavet host-format module registers.
constexpr int kTypeIndex = 0;
// The effect's state chunk in the host's chunk list, and where its data starts.
constexpr std::uint32_t kStateChunk = ptfw::FourCC("vlmr");
constexpr std::size_t kChunkHeader = ptfw::kChunkHeaderBytes;

// The host control of each effect parameter (control index = parameter index + 1), by the
// name the command line uses (param_values.h).
struct ControlName {
    const char* parameter;
    const char* control;
};
constexpr ControlName kControlNames[] = {{"Gain", "I/P Gain"},        {"Trim", "Trim"},
                                         {"Phase", "Phase Invert"},   {"Mute", "Mute"},
                                         {"Bypass", "Master Bypass"}, {"Pan", "Pan"}};

const char* controlNameOf(const char* parameter) {
    for (const ControlName& name : kControlNames)
        if (strcasecmp(name.parameter, parameter) == 0) return name.control;
    return nullptr;
}

// A chunk word: 32-bit little-endian, whatever the machine.
void storeWord(unsigned char* at, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(bits >> (8 * i));
}

} // namespace

std::string firstName(const char* names) {
    const char* end = std::strchr(names, '\n');
    return end ? std::string(names, end) : std::string(names);
}

PtProcessorModule::PtProcessorModule(const std::string& path) : module_(path) {
    if (const std::int16_t status = module_.open(ptsim::kHostVersion))
        throw HostError("module '" + path + "' refused to open (status " + std::to_string(status) +
                        ")");
    opened_ = true;
    group_ = module_.groupInfo();
    if (group_.typeCount < 1) throw HostError("module '" + path + "' registers no effect type");
    type_ = module_.typeInfo(kTypeIndex);
}

PtProcessorModule::~PtProcessorModule() {
    if (opened_) module_.close();
}

std::unique_ptr<Processor> PtProcessorModule::newProcessor() {
    return std::make_unique<PtProcessor>(*this);
}

// Inserted at once so that its controls can be checked; start() inserts it again at the
// file's rate, which the framework hands the effect only when it creates it.
PtProcessor::PtProcessor(const PtProcessorModule& module)
    : module_(module),
      instance_(std::make_unique<ptsim::PtInstance>(module.module(), kTypeIndex, 48000)),
      inputs_(ptfw::ChannelsOfStem(module.type().inputStem)),
      outputs_(ptfw::ChannelsOfStem(module.type().outputStem)) {}

bool PtProcessor::hasParameter(int index, const char* name) {
    const char* control = controlNameOf(name);
    if (control == nullptr || index < 0 || index >= instance_->controlCount()) return false;
    return strcasecmp(instance_->controlInfo(index + 1).name, control) == 0;
}

std::string PtProcessor::productName() {
    return firstName(module_.group().productNames);
}

void PtProcessor::start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
                        bool) {
    instance_.reset();
    instance_ = std::make_unique<ptsim::PtInstance>(
        module_.module(), kTypeIndex, static_cast<std::int32_t>(std::lround(sampleRate)));
    applySettings(settings);
    // The process resumed its effect when it was created, before the settings: without
    // this, the gains would glide from the defaults over the first few hundred samples.
    instance_->resetAlgorithm();
    scratchIn_.assign(static_cast<std::size_t>(inputs_),
                      std::vector<float>(static_cast<std::size_t>(blockSize)));
    scratchOut_.assign(static_cast<std::size_t>(outputs_),
                       std::vector<float>(static_cast<std::size_t>(blockSize)));
}

// The settings reach the effect in its restored state chunk: the exact normalised values
// the VST path sets, where a host control would round them to its integer scale. The host
// controls are not read back during an offline run.
void PtProcessor::applySettings(const std::vector<ParamSetting>& settings) {
    if (settings.empty()) return;
    ptsim::SavedChunk state = instance_->saveChunk(kStateChunk);
    for (const ParamSetting& setting : settings) {
        const std::size_t at = kChunkHeader + 4 * static_cast<std::size_t>(setting.index);
        if (setting.index < 0 || at + 4 > state.record.size())
            throw HostError("module '" + module_.path() + "': no parameter " +
                            std::to_string(setting.index) + " in its state chunk");
        storeWord(state.record.data() + at, setting.normalised);
    }
    if (const std::int32_t status = instance_->restoreChunk(state))
        throw HostError("module '" + module_.path() + "' refused its state chunk (status " +
                        std::to_string(status) + ")");
}

void PtProcessor::process(float** inputs, float** outputs, int frames) {
    instance_->render(inputs, outputs, frames);
}

void PtProcessor::process(double** inputs, double** outputs, int frames) {
    const auto count = static_cast<std::size_t>(frames);
    std::vector<float*> in(scratchIn_.size()), out(scratchOut_.size());
    for (std::size_t c = 0; c < in.size(); ++c) {
        in[c] = scratchIn_[c].data();
        for (std::size_t i = 0; i < count; ++i)
            in[c][i] = static_cast<float>(inputs[c][i]);
    }
    for (std::size_t c = 0; c < out.size(); ++c)
        out[c] = scratchOut_[c].data();
    instance_->render(in.data(), out.data(), frames);
    for (std::size_t c = 0; c < out.size(); ++c)
        for (std::size_t i = 0; i < count; ++i)
            outputs[c][i] = out[c][i];
}

} // namespace kavet::cli
