// The state chunk: N parameter words (floats), two editor words (floats: Pre, then Fine),
// then the seven preference words (integers); 32-bit little-endian, no header. The size
// alone identifies the layout: 60 bytes stereo, 56 bytes mono.
#pragma once

#include "config.h"
#include "prefs.h"

#include <cstdint>

namespace kavet {

inline constexpr int kEditorWords = 2;
inline constexpr int kChunkWords = kNumParams + kEditorWords + kPrefWords;
inline constexpr int kChunkBytes = kChunkWords * 4;
static_assert(kChunkBytes == (kStereo ? 60 : 56));

struct StateChunk {
    float params[kNumParams];
    float editor[kEditorWords]; // Pre switch (tag 500), Fine switch (tag 501)
    std::int32_t prefs[kPrefWords];
};
static_assert(sizeof(StateChunk) == kChunkBytes);

// True when a parameter word reads as a NaN, an infinity or a negative zero: such a chunk
// was written with the other byte order, and every word is reversed before use.
bool chunkNeedsByteSwap(const StateChunk& chunk);
void byteSwapChunk(StateChunk& chunk);

} // namespace kavet
