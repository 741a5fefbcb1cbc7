// A plug-in: its description, as a host lists it before creating one, and the instance
// itself with its life cycle: created, init, activate, start_processing, process, ...,
// stop_processing, deactivate, destroy.
#pragma once

#include "host.h"
#include "process.h"

namespace kavet::clap {

// Feature words a descriptor's list may hold (a host files the plug-in by them).
inline constexpr const char* kFeatureAudioEffect = "audio-effect";
inline constexpr const char* kFeatureUtility = "utility";
inline constexpr const char* kFeatureMono = "mono";
inline constexpr const char* kFeatureStereo = "stereo";

struct PluginDescriptor {
    Version clap_version;
    const char* id;   // unique, reverse domain; never null nor empty
    const char* name; // never null nor empty
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    const char* const* features; // ends with null
};

// Thread marks: [main thread], [audio thread]; "active" is between activate and deactivate,
// "processing" between start_processing and stop_processing.
struct Plugin {
    const PluginDescriptor* desc;
    void* plugin_data; // the plug-in's own

    // After creation; false: the host destroys the plug-in. [main thread]
    bool(KAVET_CLAP_CALL* init)(const Plugin* plugin);
    // [main thread, not active]
    void(KAVET_CLAP_CALL* destroy)(const Plugin* plugin);
    // The sample rate and block sizes hold until deactivate; block sizes are in
    // [min, max] within [1, 2^31 - 1]. [main thread, not active]
    bool(KAVET_CLAP_CALL* activate)(const Plugin* plugin, double sample_rate,
                                    uint32 min_frames_count, uint32 max_frames_count);
    // [main thread, active]
    void(KAVET_CLAP_CALL* deactivate)(const Plugin* plugin);
    // [audio thread, active, not processing]
    bool(KAVET_CLAP_CALL* start_processing)(const Plugin* plugin);
    // [audio thread, active, processing]
    void(KAVET_CLAP_CALL* stop_processing)(const Plugin* plugin);
    // Clears the processing state (not the parameters). [audio thread, active]
    void(KAVET_CLAP_CALL* reset)(const Plugin* plugin);
    // [audio thread, active, processing]
    ProcessStatus(KAVET_CLAP_CALL* process)(const Plugin* plugin, const Process* process);
    // One of the plug-in's extensions by its id, or null; not before init. [any thread]
    const void*(KAVET_CLAP_CALL* get_extension)(const Plugin* plugin, const char* id);
    // The answer to Host::request_callback. [main thread]
    void(KAVET_CLAP_CALL* on_main_thread)(const Plugin* plugin);
};

static_assert(offsetof(PluginDescriptor, id) == (sizeof(void*) == 8 ? 16 : 12));
static_assert(sizeof(PluginDescriptor) == (sizeof(void*) == 8 ? 88 : 48));
static_assert(offsetof(Plugin, process) == 9 * sizeof(void*));
static_assert(sizeof(Plugin) == 12 * sizeof(void*));

} // namespace kavet::clap
