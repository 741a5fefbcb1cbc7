#include "lv2_processor.h"

#include "hosts/common/host_error.h"
#include "lv2/ports.h"
#include "lv2_port_values.h"
#include "plugin_prefs.h"

#include <cmath>
#include <strings.h>

namespace kavet::cli {

using host::HostError;

namespace {

std::string uriOf(const LilvPlugin* plugin) {
    return lilv_node_as_uri(lilv_plugin_get_uri(plugin));
}

int audioPorts(const Lv2World& world, const LilvPlugin* plugin, bool inputs) {
    int count = 0;
    for (std::uint32_t i = 0; i < lilv_plugin_get_num_ports(plugin); ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        if (world.isAudio(plugin, port) && world.isInput(plugin, port) == inputs) ++count;
    }
    return count;
}

bool fits(const Lv2World& world, const LilvPlugin* plugin, int channels) {
    return audioPorts(world, plugin, true) == channels &&
           audioPorts(world, plugin, false) == channels;
}

const LilvPlugin* pick(const Lv2World& world, int channels) {
    return fittingEffect(world.plugins(), channels, [&world](const LilvPlugin* p, int width) {
        return fits(world, p, width);
    });
}

void checkPlugin(const LilvPlugin* plugin) {
    if (!lilv_plugin_verify(plugin))
        throw HostError("LV2 plug-in <" + uriOf(plugin) +
                        ">: its description lacks a name, a binary or a port's index, symbol "
                        "or name");
    LilvNodes* required = lilv_plugin_get_required_features(plugin);
    std::string missing;
    LILV_FOREACH(nodes, i, required) {
        missing += std::string(missing.empty() ? "" : ", ") +
                   lilv_node_as_uri(lilv_nodes_get(required, i));
    }
    lilv_nodes_free(required);
    if (!missing.empty())
        throw HostError("LV2 plug-in <" + uriOf(plugin) + "> needs " + missing +
                        ", which kavet does not provide");
}

} // namespace

Lv2ProcessorModule::Lv2ProcessorModule(const std::string& reference, int channels)
    : world_(reference), plugin_(pick(world_, channels)) {
    checkPlugin(plugin_);
}

std::unique_ptr<Processor> Lv2ProcessorModule::newProcessor() {
    return std::make_unique<Lv2Processor>(world_, plugin_);
}

Lv2Processor::Lv2Processor(const Lv2World& world, const LilvPlugin* plugin)
    : world_(world), plugin_(plugin) {
    const std::uint32_t ports = lilv_plugin_get_num_ports(plugin);
    controls_.assign(ports, 0.0f);
    defaults_.assign(ports, 0.0f);
    std::vector<float> minimum(ports), defaults(ports);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), nullptr, defaults.data());
    for (std::uint32_t i = 0; i < ports; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        const bool input = world.isInput(plugin, port);
        if (world.isAudio(plugin, port)) {
            (input ? audioIn_ : audioOut_).push_back(i);
            continue;
        }
        if (!world.isControl(plugin, port))
            throw HostError("LV2 plug-in <" + uri() + ">: port " + std::to_string(i) +
                            " is neither an audio nor a control port, which kavet cannot "
                            "connect");
        controlPorts_.push_back(i);
        // A control input without a default starts at its minimum, or at 0 without one.
        if (input)
            defaults_[i] = !std::isnan(defaults[i])  ? defaults[i]
                           : !std::isnan(minimum[i]) ? minimum[i]
                                                     : 0.0f;
    }
}

Lv2Processor::~Lv2Processor() {
    if (active_) lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
}

std::string Lv2Processor::uri() const {
    return uriOf(plugin_);
}

std::optional<std::uint32_t> Lv2Processor::controlInput(const std::string& symbol) const {
    const LilvPort* port = world_.portBySymbol(plugin_, symbol);
    if (port == nullptr || !world_.isControl(plugin_, port) || !world_.isInput(plugin_, port))
        return std::nullopt;
    return lilv_port_get_index(plugin_, port);
}

bool Lv2Processor::hasParameter(int index, const char* name) {
    return isValidParam(index) && strcasecmp(kParamInfo[index].name, name) == 0 &&
           controlInput(lv2::paramSymbol(index)).has_value();
}

std::string Lv2Processor::productName() {
    LilvNode* name = lilv_plugin_get_name(plugin_);
    std::string text = name != nullptr ? lilv_node_as_string(name) : uri();
    lilv_node_free(name);
    return text;
}

void Lv2Processor::start(float sampleRate, int blockSize, const std::vector<ParamSetting>& settings,
                         bool) {
    if (active_) lilv_instance_deactivate(instance_);
    active_ = false;
    lilv_instance_free(instance_);
    instance_ = lilv_plugin_instantiate(plugin_, sampleRate, nullptr);
    if (instance_ == nullptr)
        throw HostError("LV2 plug-in <" + uri() + "> refused an instance at " +
                        std::to_string(std::lround(sampleRate)) + " Hz");
    setControls(settings);
    for (const std::uint32_t port : controlPorts_)
        lilv_instance_connect_port(instance_, port, &controls_[port]);
    // The plug-in takes every control port at its first run after this and starts its gains
    // at those values: no glide from the defaults.
    lilv_instance_activate(instance_);
    active_ = true;
    const auto frames = static_cast<std::size_t>(blockSize);
    scratchIn_.assign(audioIn_.size(), std::vector<float>(frames));
    scratchOut_.assign(audioOut_.size(), std::vector<float>(frames));
    scratchInPtrs_.assign(audioIn_.size(), nullptr);
    scratchOutPtrs_.assign(audioOut_.size(), nullptr);
    for (std::size_t c = 0; c < scratchIn_.size(); ++c)
        scratchInPtrs_[c] = scratchIn_[c].data();
    for (std::size_t c = 0; c < scratchOut_.size(); ++c)
        scratchOutPtrs_[c] = scratchOut_[c].data();
}

// The defaults, the enable switch on, then each setting as the port value the plug-in takes
// back to the setting's normalised value, with the trim range the plug-in has (its stored
// preference, as the command line converted --trim with).
void Lv2Processor::setControls(const std::vector<ParamSetting>& settings) {
    controls_ = defaults_;
    if (const LilvPort* enable = world_.enablePort(plugin_))
        controls_[lilv_port_get_index(plugin_, enable)] = 1.0f;
    const double trimRangeDb = loadPluginPrefs().trimRangeDb;
    for (const ParamSetting& setting : settings) {
        const auto port = isValidParam(setting.index)
                              ? controlInput(lv2::paramSymbol(setting.index))
                              : std::nullopt;
        if (!port)
            throw HostError("LV2 plug-in <" + uri() + "> has no port for parameter " +
                            std::to_string(setting.index));
        controls_[*port] = portValueFor(setting.index, setting.normalised, trimRangeDb);
    }
}

// [audio thread] Connects and runs only: no allocation.
void Lv2Processor::process(float** inputs, float** outputs, int frames) {
    for (std::size_t c = 0; c < audioIn_.size(); ++c)
        lilv_instance_connect_port(instance_, audioIn_[c], inputs[c]);
    for (std::size_t c = 0; c < audioOut_.size(); ++c)
        lilv_instance_connect_port(instance_, audioOut_[c], outputs[c]);
    lilv_instance_run(instance_, static_cast<std::uint32_t>(frames));
}

void Lv2Processor::process(double** inputs, double** outputs, int frames) {
    const auto count = static_cast<std::size_t>(frames);
    for (std::size_t c = 0; c < scratchIn_.size(); ++c)
        for (std::size_t i = 0; i < count; ++i)
            scratchIn_[c][i] = static_cast<float>(inputs[c][i]);
    process(scratchInPtrs_.data(), scratchOutPtrs_.data(), frames);
    for (std::size_t c = 0; c < scratchOut_.size(); ++c)
        for (std::size_t i = 0; i < count; ++i)
            outputs[c][i] = scratchOut_[c][i];
}

} // namespace kavet::cli
