// The module's plug-ins as its factory lists them: Kavet Stereo and Kavet Mono. Shared by
// both configurations' parts and the factory, so it names no configuration's code.
#pragma once

#include "clap/plugin.h"

namespace kavet::clapplugin {

inline constexpr int kPluginCount = 2;
// Stereo, then mono.
extern const clap::PluginDescriptor kDescriptors[kPluginCount];

// What each configuration's part of the module gives the factory. `create` makes a plug-in
// for `host` described by `descriptor` (one of kDescriptors); null when allocation fails.
// [any thread]: the plug-in touches neither the host nor the effect's editor until its init.
struct PartEntry {
    const clap::Plugin* (*create)(const clap::Host* host, const clap::PluginDescriptor* descriptor);
};

} // namespace kavet::clapplugin

// Each configuration's part, prelinked into one object whose only outside name is this.
extern "C" const kavet::clapplugin::PartEntry* kavet_clap_part_stereo();
extern "C" const kavet::clapplugin::PartEntry* kavet_clap_part_mono();
