// The audio the editor benchmarks run between idles: stereo blocks whose level changes every
// block, so that every idle finds new meter values to draw.
#pragma once

#include "vst/aeffect.h"

namespace kavet::bench {

// One block of 1024 frames through processReplacing, at the level of block number `step`.
void processBlock(AEffect* effect, int step);

} // namespace kavet::bench
