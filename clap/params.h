// The params extension: the plug-in's parameters, their values and texts, and the flush that
// carries parameter events while the plug-in is not processing. The host's half: rescans,
// clears, and the request for a flush.
#pragma once

#include "plugin.h"

namespace kavet::clap {

inline constexpr const char* kExtParams = "clap.params";

// ParamInfo::flags.
inline constexpr uint32 kParamIsStepped = 1u << 0; // whole values only
inline constexpr uint32 kParamIsPeriodic = 1u << 1;
inline constexpr uint32 kParamIsHidden = 1u << 2;
inline constexpr uint32 kParamIsReadonly = 1u << 3;
inline constexpr uint32 kParamIsBypass = 1u << 4; // the host's bypass: 0 off, 1 on; stepped
inline constexpr uint32 kParamIsAutomatable = 1u << 5;
inline constexpr uint32 kParamIsAutomatablePerNoteId = 1u << 6;
inline constexpr uint32 kParamIsAutomatablePerKey = 1u << 7;
inline constexpr uint32 kParamIsAutomatablePerChannel = 1u << 8;
inline constexpr uint32 kParamIsAutomatablePerPort = 1u << 9;
inline constexpr uint32 kParamIsModulatable = 1u << 10;
inline constexpr uint32 kParamIsModulatablePerNoteId = 1u << 11;
inline constexpr uint32 kParamIsModulatablePerKey = 1u << 12;
inline constexpr uint32 kParamIsModulatablePerChannel = 1u << 13;
inline constexpr uint32 kParamIsModulatablePerPort = 1u << 14;
inline constexpr uint32 kParamRequiresProcess = 1u << 15;
inline constexpr uint32 kParamIsEnum = 1u << 16; // with kParamIsStepped

struct ParamInfo {
    Id id; // stable for ever
    uint32 flags;
    void* cookie; // the plug-in's, handed back in the parameter's events
    char name[kNameSize];
    char module[kPathSize]; // "/" between levels; empty for none
    double min_value;       // plain values, finite
    double max_value;
    double default_value;
};

struct PluginParams {
    // [main thread], except flush.
    uint32(KAVET_CLAP_CALL* count)(const Plugin* plugin);
    // False for an index out of range.
    bool(KAVET_CLAP_CALL* get_info)(const Plugin* plugin, uint32 param_index, ParamInfo* info);
    bool(KAVET_CLAP_CALL* get_value)(const Plugin* plugin, Id param_id, double* out_value);
    // The value's text, zero-terminated within `capacity` bytes (UTF-8).
    bool(KAVET_CLAP_CALL* value_to_text)(const Plugin* plugin, Id param_id, double value,
                                         char* out_buffer, uint32 capacity);
    // The value a user's text stands for.
    bool(KAVET_CLAP_CALL* text_to_value)(const Plugin* plugin, Id param_id, const char* text,
                                         double* out_value);
    // Takes `in` and answers into `out` without audio; never at the same time as process().
    // [audio thread when active, else main thread]
    void(KAVET_CLAP_CALL* flush)(const Plugin* plugin, const InputEvents* in,
                                 const OutputEvents* out);
};

// HostParams::rescan's flags.
inline constexpr uint32 kParamRescanValues = 1u << 0;
inline constexpr uint32 kParamRescanText = 1u << 1;
inline constexpr uint32 kParamRescanInfo = 1u << 2;
inline constexpr uint32 kParamRescanAll = 1u << 3; // only while not active

// HostParams::clear's flags.
inline constexpr uint32 kParamClearAll = 1u << 0;
inline constexpr uint32 kParamClearAutomations = 1u << 1;
inline constexpr uint32 kParamClearModulations = 1u << 2;

struct HostParams {
    // [main thread]
    void(KAVET_CLAP_CALL* rescan)(const Host* host, uint32 flags);
    // [main thread]
    void(KAVET_CLAP_CALL* clear)(const Host* host, Id param_id, uint32 flags);
    // Call process() or flush() soon. [any thread but the audio thread]
    void(KAVET_CLAP_CALL* request_flush)(const Host* host);
};

static_assert(offsetof(ParamInfo, cookie) == 8);
static_assert(offsetof(ParamInfo, name) == 8 + sizeof(void*));
static_assert(offsetof(ParamInfo, module) == 8 + sizeof(void*) + 256);
#if !defined(__i386__) || defined(_WIN32)
static_assert(offsetof(ParamInfo, min_value) == 1296 && sizeof(ParamInfo) == 1320);
#endif
static_assert(sizeof(PluginParams) == 6 * sizeof(void*));
static_assert(sizeof(HostParams) == 3 * sizeof(void*));

} // namespace kavet::clap
