// The audio-ports extension: the plug-in's audio inputs and outputs. A plug-in without it has
// none. Ports change only while the plug-in is not active.
#pragma once

#include "plugin.h"

namespace kavet::clap {

inline constexpr const char* kExtAudioPorts = "clap.audio-ports";
inline constexpr const char* kPortMono = "mono"; // AudioPortInfo::port_type
inline constexpr const char* kPortStereo = "stereo";

// AudioPortInfo::flags.
inline constexpr uint32 kAudioPortIsMain = 1u << 0; // the one main port, at index 0
inline constexpr uint32 kAudioPortSupports64Bits = 1u << 1;
inline constexpr uint32 kAudioPortPrefers64Bits = 1u << 2;
inline constexpr uint32 kAudioPortRequiresCommonSampleSize = 1u << 3;

struct AudioPortInfo {
    Id id; // stable; inputs and outputs may share ids
    char name[kNameSize];
    uint32 flags;
    uint32 channel_count;
    const char* port_type; // kPortMono, kPortStereo, or null for any
    Id in_place_pair;      // the port of the other direction that may share this one's
                           // buffers, or kInvalidId
};

struct PluginAudioPorts {
    // [main thread]
    uint32(KAVET_CLAP_CALL* count)(const Plugin* plugin, bool is_input);
    // False for an index out of range. [main thread]
    bool(KAVET_CLAP_CALL* get)(const Plugin* plugin, uint32 index, bool is_input,
                               AudioPortInfo* info);
};

// HostAudioPorts::rescan's flags.
inline constexpr uint32 kAudioPortsRescanNames = 1u << 0;
inline constexpr uint32 kAudioPortsRescanFlags = 1u << 1;
inline constexpr uint32 kAudioPortsRescanChannelCount = 1u << 2;
inline constexpr uint32 kAudioPortsRescanPortType = 1u << 3;
inline constexpr uint32 kAudioPortsRescanInPlacePair = 1u << 4;
inline constexpr uint32 kAudioPortsRescanList = 1u << 5;

struct HostAudioPorts {
    // [main thread]
    bool(KAVET_CLAP_CALL* is_rescan_flag_supported)(const Host* host, uint32 flag);
    // [main thread]
    void(KAVET_CLAP_CALL* rescan)(const Host* host, uint32 flags);
};

static_assert(offsetof(AudioPortInfo, flags) == 260);
static_assert(offsetof(AudioPortInfo, port_type) == (sizeof(void*) == 8 ? 272 : 268));
static_assert(sizeof(AudioPortInfo) == (sizeof(void*) == 8 ? 288 : 276));

} // namespace kavet::clap
