// The block scripts (block_script.h) through a VST 3 effect: each change a point of its
// block's parameter changes, at its sample offset.
#pragma once

#include "block_script.h"

#include "hosts/common/vst3_plugin.h"

namespace kavet::script {

// Sets up (44.1 kHz, kScriptMaxBlock, 32- or 64-bit samples), activates, runs the blocks on
// the signal, deactivates. The effect starts where the caller left it.
Rendering renderVst3(host::Vst3Plugin& plugin, bool wide, const std::vector<ScriptBlock>& blocks);

} // namespace kavet::script
