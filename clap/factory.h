// The module's one exported symbol, `clap_entry`, and the plug-in factory it hands out: what
// a host reads first (the descriptors) and the call that creates a plug-in.
#pragma once

#include "plugin.h"

namespace kavet::clap {

// The exported symbol's name and the factory's id for get_factory.
inline constexpr const char* kEntrySymbol = "clap_entry";
inline constexpr const char* kPluginFactoryId = "clap.plugin-factory";

struct PluginEntry {
    Version clap_version;
    // First, before anything else of the module; `plugin_path` is the module's file. A second
    // init before deinit answers true and does nothing. Never at the same time as another
    // entry call. [any thread]
    bool(KAVET_CLAP_CALL* init)(const char* plugin_path);
    // Undoes init: afterwards only init may be called. [any thread]
    void(KAVET_CLAP_CALL* deinit)();
    // The factory of that id, owned by the module, or null. [any thread]
    const void*(KAVET_CLAP_CALL* get_factory)(const char* factory_id);
};

// [any thread], every call.
struct PluginFactory {
    uint32(KAVET_CLAP_CALL* get_plugin_count)(const PluginFactory* factory);
    // Null for an index out of range.
    const PluginDescriptor*(KAVET_CLAP_CALL* get_plugin_descriptor)(const PluginFactory* factory,
                                                                    uint32 index);
    // A new plug-in (freed by its destroy), or null for an unknown id. The plug-in may not call
    // the host before its init.
    const Plugin*(KAVET_CLAP_CALL* create_plugin)(const PluginFactory* factory, const Host* host,
                                                  const char* plugin_id);
};

static_assert(offsetof(PluginEntry, init) == (sizeof(void*) == 8 ? 16 : 12));
static_assert(sizeof(PluginEntry) == (sizeof(void*) == 8 ? 40 : 24));
static_assert(sizeof(PluginFactory) == 3 * sizeof(void*));

} // namespace kavet::clap
