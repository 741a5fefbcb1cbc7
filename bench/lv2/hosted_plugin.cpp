#include "hosted_plugin.h"

namespace kavet::bench {

namespace {

// The port's class among the few this host connects.
enum class PortKind { AudioIn, AudioOut, ControlIn, ControlOut, AtomIn, AtomOut, Cv, Other };

PortKind kindOf(LilvWorld* world, const LilvPlugin* plugin, const LilvPort* port) {
    auto is = [&](const char* uri) {
        LilvNode* node = lilv_new_uri(world, uri);
        const bool yes = lilv_port_is_a(plugin, port, node);
        lilv_node_free(node);
        return yes;
    };
    const bool input = is(LV2_CORE__InputPort);
    if (is(LV2_CORE__AudioPort)) return input ? PortKind::AudioIn : PortKind::AudioOut;
    if (is(LV2_CORE__ControlPort)) return input ? PortKind::ControlIn : PortKind::ControlOut;
    if (is(LV2_ATOM__AtomPort)) return input ? PortKind::AtomIn : PortKind::AtomOut;
    if (is(LV2_CORE__CVPort)) return PortKind::Cv;
    return PortKind::Other;
}

} // namespace

HostedPlugin::HostedPlugin(LilvHost& host, const LilvPlugin* plugin,
                           const std::vector<const float*>& signal) {
    const std::uint32_t ports = lilv_plugin_get_num_ports(plugin);
    controls_ = std::make_unique<float[]>(ports);
    // Reserved whole, so that no buffer moves after its port is connected.
    buffers_.reserve(ports);
    atoms_.reserve(ports);
    chunkType_ = host.map(LV2_ATOM__Chunk);
    instance_ = lilv_plugin_instantiate(plugin, host.sampleRate(), host.features());
    if (instance_ == nullptr) throw std::runtime_error("instantiation failed");
    try {
        for (std::uint32_t p = 0; p < ports; ++p)
            connect(host, plugin, p, signal);
    } catch (...) {
        lilv_instance_free(instance_);
        throw;
    }
    lilv_instance_activate(instance_);
}

HostedPlugin::~HostedPlugin() {
    lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
}

void HostedPlugin::connect(LilvHost& host, const LilvPlugin* plugin, std::uint32_t index,
                           const std::vector<const float*>& signal) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, index);
    const auto frames = static_cast<std::size_t>(host.maxFrames());
    const PortKind kind = kindOf(host.world(), plugin, port);
    void* data = nullptr;
    switch (kind) {
    case PortKind::AudioIn: {
        const std::size_t channel = static_cast<std::size_t>(audioInputsSeen_++) % signal.size();
        data = const_cast<float*>(signal[channel]); // a plug-in only reads its inputs
        break;
    }
    case PortKind::AudioOut:
    case PortKind::Cv:
        buffers_.emplace_back(frames, 0.0f);
        data = buffers_.back().data();
        if (kind == PortKind::AudioOut) audioOut_.push_back(buffers_.back().data());
        break;
    case PortKind::ControlIn: {
        LilvNode* def = nullptr;
        lilv_port_get_range(plugin, port, &def, nullptr, nullptr);
        controls_[index] = def != nullptr ? lilv_node_as_float(def) : 0.0f;
        lilv_node_free(def);
        data = &controls_[index];
        break;
    }
    case PortKind::ControlOut:
        data = &controls_[index];
        break;
    case PortKind::AtomIn:
    case PortKind::AtomOut: {
        atoms_.push_back({std::vector<std::uint64_t>(kAtomCapacity / 8, 0)});
        LV2_Atom* atom = atoms_.back().atom();
        if (kind == PortKind::AtomIn) {
            // An empty sequence: no events in any block.
            atom->type = host.map(LV2_ATOM__Sequence);
            atom->size = sizeof(LV2_Atom_Sequence_Body);
        } else {
            atomOutputs_.push_back(atom);
        }
        data = atom;
        break;
    }
    case PortKind::Other:
        throw std::runtime_error(std::string("port ") +
                                 lilv_node_as_string(lilv_port_get_symbol(plugin, port)) +
                                 " is of a kind this host does not connect");
    }
    lilv_instance_connect_port(instance_, index, data);
}

void HostedPlugin::run(int frames) {
    // An output sequence's size is its capacity when the block starts.
    for (LV2_Atom* atom : atomOutputs_) {
        atom->type = chunkType_;
        atom->size = kAtomCapacity - sizeof(LV2_Atom);
    }
    lilv_instance_run(instance_, static_cast<std::uint32_t>(frames));
}

} // namespace kavet::bench
