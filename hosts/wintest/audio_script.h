// One fixed script of parameter changes and blocks through the three processing entry
// points of an effect, whose output bytes every build of a module must produce alike, to the
// bit: the Windows builds (kavet-wintest --render, under Wine) and the Linux module (the
// native test suite). Plain C++ on the effect record only, so both sides compile it.
#pragma once

#include "vst/aeffect.h"

#include <vector>

namespace kavet::script {

// Runs the script on `effect`, created and opened (effOpen) by the caller at its defaults
// with the user's preferences at theirs, and answers every output sample of every block in
// order (block by block, channel by channel, each sample's bytes as the processor stores
// them). Leaves the effect suspended, for the caller to close.
std::vector<unsigned char> renderAudioScript(AEffect* effect);

} // namespace kavet::script
