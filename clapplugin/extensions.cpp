// The extensions' tables but the editor's: audio-ports, params, state and latency.
#include "instance.h"
#include "param_text.h"

#include "core/config.h"

#include <cstring>

namespace kavet::clapplugin {

using namespace clap;

namespace {

// audio-ports: one main input and one main output of the configuration's channels, 64-bit
// samples taken, the output able to share the input's buffers.
uint32 KAVET_CLAP_CALL portCount(const Plugin* plugin, bool) {
    if (const Instance* self = Instance::of(plugin))
        self->expect(Instance::Thread::main, "audio_ports.count");
    return 1;
}

bool KAVET_CLAP_CALL portInfo(const Plugin* plugin, uint32 index, bool isInput,
                              AudioPortInfo* info) {
    if (const Instance* self = Instance::of(plugin))
        self->expect(Instance::Thread::main, "audio_ports.get");
    if (index != 0 || info == nullptr) return false;
    std::memset(info, 0, sizeof *info);
    info->id = 0;
    std::strcpy(info->name, isInput ? "Input" : "Output");
    info->flags = kAudioPortIsMain | kAudioPortSupports64Bits;
    info->channel_count = kNumChannels;
    info->port_type = kStereo ? kPortStereo : kPortMono;
    info->in_place_pair = 0; // the other direction's port
    return true;
}

// params
uint32 KAVET_CLAP_CALL paramCount(const Plugin* plugin) {
    if (const Instance* self = Instance::of(plugin))
        self->expect(Instance::Thread::main, "params.count");
    return kNumParams;
}

bool KAVET_CLAP_CALL paramInfo(const Plugin* plugin, uint32 index, ParamInfo* info) {
    if (const Instance* self = Instance::of(plugin))
        self->expect(Instance::Thread::main, "params.get_info");
    return info != nullptr && describeParam(index, *info);
}

bool KAVET_CLAP_CALL paramValue(const Plugin* plugin, Id id, double* value) {
    Instance* self = Instance::of(plugin);
    return self != nullptr && value != nullptr && self->paramValue(id, *value);
}

bool KAVET_CLAP_CALL valueToText(const Plugin* plugin, Id id, double value, char* out,
                                 uint32 capacity) {
    Instance* self = Instance::of(plugin);
    if (self == nullptr) return false;
    self->expect(Instance::Thread::main, "params.value_to_text");
    return paramValueToText(id, value, self->trimRange(), out, capacity);
}

bool KAVET_CLAP_CALL textToValue(const Plugin* plugin, Id id, const char* text, double* value) {
    Instance* self = Instance::of(plugin);
    if (self == nullptr || value == nullptr) return false;
    self->expect(Instance::Thread::main, "params.text_to_value");
    return paramTextToValue(id, text, self->trimRange(), *value);
}

void KAVET_CLAP_CALL paramFlush(const Plugin* plugin, const InputEvents* in,
                                const OutputEvents* out) {
    if (Instance* self = Instance::of(plugin)) self->flush(in, out);
}

// state
bool KAVET_CLAP_CALL stateSave(const Plugin* plugin, const OutputStream* stream) {
    Instance* self = Instance::of(plugin);
    return self != nullptr && self->save(stream);
}

bool KAVET_CLAP_CALL stateLoad(const Plugin* plugin, const InputStream* stream) {
    Instance* self = Instance::of(plugin);
    return self != nullptr && self->load(stream);
}

// latency: none.
uint32 KAVET_CLAP_CALL latency(const Plugin* plugin) {
    if (const Instance* self = Instance::of(plugin))
        self->expect(Instance::Thread::main, "latency.get");
    return 0;
}

} // namespace

const PluginAudioPorts kAudioPortsExtension{portCount, portInfo};
const PluginParams kParamsExtension{paramCount,  paramInfo,   paramValue,
                                    valueToText, textToValue, paramFlush};
const PluginState kStateExtension{stateSave, stateLoad};
const PluginLatency kLatencyExtension{latency};

} // namespace kavet::clapplugin
