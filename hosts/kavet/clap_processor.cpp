#include "clap_processor.h"

#include "hosts/common/host_error.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <strings.h>

namespace kavet::cli {

using host::HostError;

namespace {

struct Candidate {
    host::ClapDescriptor descriptor;
    clap::uint32 inputs, outputs;
};

// Every plug-in of the module with its main ports' channels, read from an instance of each.
std::vector<Candidate> plugins(const std::shared_ptr<const host::ClapModule>& module) {
    std::vector<Candidate> list;
    for (host::ClapDescriptor& d : module->descriptors()) {
        const host::ClapPlugin probe(module, d.id);
        list.push_back({std::move(d), probe.inputChannels(), probe.outputChannels()});
    }
    return list;
}

host::ClapDescriptor pick(const std::string& path,
                          const std::shared_ptr<const host::ClapModule>& module, int channels) {
    const std::vector<Candidate> candidates = plugins(module);
    if (candidates.empty()) throw HostError("module '" + path + "' lists no plug-in");
    return fittingEffect(candidates, channels,
                         [](const Candidate& c, int width) {
                             const auto w = static_cast<clap::uint32>(width);
                             return c.inputs == w && c.outputs == w;
                         })
        .descriptor;
}

} // namespace

bool takenAsClap(const std::string& path, ModuleKind kind) {
    constexpr std::string_view suffix = ".clap";
    const bool named = path.size() > suffix.size() &&
                       path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    return kind == ModuleKind::Clap ||
           (named && (kind == ModuleKind::Neither || kind == ModuleKind::Unreadable));
}

std::shared_ptr<const host::ClapModule> loadClapModule(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) throw HostError("module '" + path + "': no such file");
    if (std::filesystem::is_directory(status))
        throw HostError("module '" + path + "': is a folder, not a CLAP module");
    return std::make_shared<const host::ClapModule>(path);
}

std::optional<clap::ParamInfo> clapParamInfo(const host::ClapPlugin& plugin, clap::Id id) {
    for (const clap::ParamInfo& info : plugin.paramInfos())
        if (info.id == id) return info;
    return std::nullopt;
}

ClapProcessorModule::ClapProcessorModule(const std::string& path, int channels)
    : path_(path), module_(loadClapModule(path)), descriptor_(pick(path, module_, channels)) {}

std::unique_ptr<Processor> ClapProcessorModule::newProcessor() {
    return std::make_unique<ClapProcessor>(module_, descriptor_);
}

ClapProcessor::ClapProcessor(std::shared_ptr<const host::ClapModule> module,
                             const host::ClapDescriptor& descriptor)
    : name_(descriptor.name), plugin_(std::move(module), descriptor.id) {}

bool ClapProcessor::hasParameter(int index, const char* name) {
    if (index < 0) return false;
    const auto info = clapParamInfo(plugin_, static_cast<clap::Id>(index));
    return info && strncasecmp(info->name, name, sizeof info->name) == 0 &&
           std::strlen(name) < sizeof info->name;
}

void ClapProcessor::start(float sampleRate, int blockSize,
                          const std::vector<ParamSetting>& settings, bool useDouble) {
    plugin_.deactivate();
    refusedBlocks_ = 0;
    if (useDouble && !plugin_.takes64Bits())
        throw HostError("CLAP plug-in '" + name_ + "' cannot process 64-bit samples");
    if (!plugin_.activate(sampleRate, 1, static_cast<clap::uint32>(blockSize)))
        throw HostError("CLAP plug-in '" + name_ + "' refused to process blocks of " +
                        std::to_string(blockSize) + " at " +
                        std::to_string(std::lround(sampleRate)) + " Hz");
    if (!settings.empty()) {
        host::EventList events(settings.size(), settings.size() * sizeof(clap::ParamValueEvent));
        for (const ParamSetting& setting : settings) {
            const auto id = static_cast<clap::Id>(setting.index);
            const auto info = clapParamInfo(plugin_, id);
            if (!info)
                throw HostError("CLAP plug-in '" + name_ + "' has no parameter " +
                                std::to_string(setting.index));
            const double value =
                info->min_value + double{setting.normalised} * (info->max_value - info->min_value);
            const clap::ParamValueEvent event = host::paramValueEvent(0, id, value, info->cookie);
            if (!events.push(&event.header)) throw HostError("too many settings");
        }
        if (!plugin_.flush(events))
            throw HostError("CLAP plug-in '" + name_ + "' refused its settings");
    }
    if (!plugin_.startProcessing())
        throw HostError("CLAP plug-in '" + name_ + "' refused to start");
}

template <class Sample> void ClapProcessor::run(Sample** inputs, Sample** outputs, int frames) {
    const host::ClapProcessResult result =
        plugin_.process(inputs, outputs, static_cast<clap::uint32>(frames), noEvents_);
    if (result.called && result.status != clap::kProcessError) return;
    for (int c = 0; c < numOutputs(); ++c)
        std::fill(outputs[c], outputs[c] + frames, Sample(0));
    ++refusedBlocks_;
}

void ClapProcessor::process(float** inputs, float** outputs, int frames) {
    run(inputs, outputs, frames);
}

void ClapProcessor::process(double** inputs, double** outputs, int frames) {
    run(inputs, outputs, frames);
}

std::string ClapProcessor::fault() const {
    if (refusedBlocks_ == 0) return {};
    return "CLAP plug-in '" + name_ + "' refused " + std::to_string(refusedBlocks_) +
           " block(s), which came out silent";
}

} // namespace kavet::cli
