// The state extension: the plug-in's whole state (parameters included) saved into and loaded
// from a host's stream.
#pragma once

#include "plugin.h"
#include "stream.h"

namespace kavet::clap {

inline constexpr const char* kExtState = "clap.state";

struct PluginState {
    // [main thread]
    bool(KAVET_CLAP_CALL* save)(const Plugin* plugin, const OutputStream* stream);
    // [main thread]
    bool(KAVET_CLAP_CALL* load)(const Plugin* plugin, const InputStream* stream);
};

struct HostState {
    // The state changed other than by a parameter's value. [main thread]
    void(KAVET_CLAP_CALL* mark_dirty)(const Host* host);
};

} // namespace kavet::clap
