// The latency extension: the plug-in's delay in samples, fixed while it is active.
#pragma once

#include "plugin.h"

namespace kavet::clap {

inline constexpr const char* kExtLatency = "clap.latency";

struct PluginLatency {
    // [main thread, active or in activate]
    uint32(KAVET_CLAP_CALL* get)(const Plugin* plugin);
};

struct HostLatency {
    // [main thread, in activate]
    void(KAVET_CLAP_CALL* changed)(const Host* host);
};

} // namespace kavet::clap
