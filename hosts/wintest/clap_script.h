// The block scripts (block_script.h) through a CLAP plug-in: each change a parameter value
// event of its block, at its sample time (the value the VST 2.4 effect gets, as a double).
#pragma once

#include "block_script.h"

#include "hosts/common/clap_plugin.h"

namespace kavet::script {

// Adds events of the caller's to block `index`'s list, after the script's.
using ExtraEvents = void (*)(std::size_t index, host::EventList& events, const void* context);

// Activates (44.1 kHz, blocks of 1 to kScriptMaxBlock), starts processing, runs the blocks on
// the signal in 32- or 64-bit samples (a block of no samples too), stops and deactivates. The
// plug-in starts where the caller left it. ok: every block was processed and answered without
// an error.
Rendering renderClap(host::ClapPlugin& plugin, bool wide, const std::vector<ScriptBlock>& blocks,
                     ExtraEvents extra = nullptr, const void* context = nullptr);

} // namespace kavet::script
