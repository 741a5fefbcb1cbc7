#include "chunk.h"

#include <cmath>
#include <cstring>

namespace kavet {

bool chunkNeedsByteSwap(const StateChunk& chunk) {
    for (float word : chunk.params) {
        if (!std::isfinite(word) || (word == 0.0f && std::signbit(word))) return true;
    }
    return false;
}

void byteSwapChunk(StateChunk& chunk) {
    std::uint32_t words[kChunkWords];
    std::memcpy(words, &chunk, sizeof words);
    for (std::uint32_t& w : words) {
        w = (w >> 24) | ((w >> 8) & 0xFF00u) | ((w << 8) & 0xFF0000u) | (w << 24);
    }
    std::memcpy(&chunk, words, sizeof words);
}

} // namespace kavet
