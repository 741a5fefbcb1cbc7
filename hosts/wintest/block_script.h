// Scripts of blocks and parameter changes that an effect of a host format (VST 3, CLAP) and
// the VST 2.4 effect of the same configuration must turn into the same output, to the bit:
// the format's effect gets each change at its sample offset within its block (vst3_script.h,
// clap_script.h); the VST 2.4 effect gets the same block split at every offset that has
// changes, with setParameter between the pieces. The values at the first block's start are
// the effect's starting point: the format's effect takes them before it starts processing,
// the VST 2.4 effect gets them before it is resumed, as hosts of each kind give them. Plain
// C++ on the host library and the effect record only, so that the native tests and the
// Windows test host both compile it.
#pragma once

#include "vst/aeffect.h"

#include <cstdint>
#include <vector>

namespace kavet::script {

struct ScriptChange {
    int offset; // the sample of the block from which the value holds
    int index;  // the parameter: its VST 2.4 index, VST 3 id and CLAP id
    float value;
};

struct ScriptBlock {
    int frames; // 0 allowed: its changes still apply
    std::vector<ScriptChange> changes;
};

inline constexpr double kScriptSampleRate = 44100.0;
inline constexpr int kScriptMaxBlock = 4096;

// Gain, trim, phase, mute, bypass and pan (index 5, which the mono effects do not have)
// moved on the blocks' boundaries, in blocks of `frames` each; for 0, each change rides on
// a block of no samples, followed by a block of 300.
std::vector<ScriptBlock> boundaryScript(int frames);

// Changes within blocks of 512, one block after another: a gain at sample 100, phase and
// bypass at samples 37 and 300, the gain twice in one block, mute at sample 1, pan (stereo)
// at the last sample; the first block sets the glides going, the last shows where they went.
std::vector<ScriptBlock> midBlockScript();

// The output of every block, channel by channel, each sample's bytes as stored, and whether
// every process call was answered as it should be.
struct Rendering {
    std::vector<unsigned char> bytes;
    bool ok = true;
    // Blocks of at least one sample whose output silence flags (VST 3) or constant mask
    // (CLAP) differ from the channels that are exact silence.
    int wrongSilenceFlags = 0;
};

// Through the effect record (opened by the caller): processReplacing or
// processDoubleReplacing, between effMainsChanged 1 and 0, the first block's changes at
// sample 0 made before effMainsChanged 1. Changes of parameters the effect does not have
// are left out.
Rendering renderVst2(AEffect* effect, bool wide, const std::vector<ScriptBlock>& blocks);

} // namespace kavet::script
